#include "detect/fields.h"

namespace tonvia {

const char* InitialFieldText(Field field) {
  switch (field) {
    case Field::编辑框1: return "E";
    case Field::编辑框6: return ":\\KuGou\\Lyric\\";
    case Field::歌左边: return " - ";
    case Field::歌右边: return "(";
    case Field::歌右边内容2: return "-";
    case Field::歌右边内容3: return " (";
    case Field::全名: return "";
    case Field::准确歌名: return "";
    case Field::编辑框5: return "";
    case Field::编辑框3: return "<div class=\"text\">";
    case Field::编辑框4: return "<br/>";
    case Field::编辑框2: return "";  // the window puts its notice here
  }
  return "";
}

const char* FieldName(Field field) {
  switch (field) {
    case Field::编辑框1: return "编辑框1";
    case Field::编辑框6: return "编辑框6";
    case Field::歌左边: return "歌左边";
    case Field::歌右边: return "歌右边";
    case Field::歌右边内容2: return "歌右边内容2";
    case Field::歌右边内容3: return "歌右边内容3";
    case Field::全名: return "全名";
    case Field::准确歌名: return "准确歌名";
    case Field::编辑框5: return "编辑框5";
    case Field::编辑框3: return "编辑框3";
    case Field::编辑框4: return "编辑框4";
    case Field::编辑框2: return "编辑框2";
  }
  return "";
}

}  // namespace tonvia
