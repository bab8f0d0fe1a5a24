#include "app/drive_letter_setting.h"

#include <windows.h>

#include <vector>

namespace tonvia {
namespace {

constexpr char kSection[] = "酷狗";
constexpr char kKey[] = "酷狗盘符";
constexpr DWORD kBufferSize = 10240;

}  // namespace

void LoadDriveLetter(FieldStore& fields, const char* settingsFile) {
  std::vector<char> buffer(kBufferSize, '\0');
  DWORD length = GetPrivateProfileStringA(kSection, kKey, "", buffer.data(), kBufferSize, settingsFile);
  fields.Write(Field::编辑框1, TextFromBytes(buffer.data(), length < kBufferSize ? length : 0));
}

void SaveDriveLetter(const FieldStore& fields, const char* settingsFile) {
  Text letter = fields.Read(Field::编辑框1);
  WritePrivateProfileStringA(kSection, kKey, letter.c_str(), settingsFile);
}

bool SettingsFileExists(const char* settingsFile) {
  return GetFileAttributesA(settingsFile) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tonvia
