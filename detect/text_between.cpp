#include "detect/text_between.h"

namespace tonvia {
namespace {

// Markers typed into a single-line field cannot easily hold a double quote, so they spell it
// with this placeholder.
Text ExpandQuotePlaceholder(const Text& marker) {
  return ReplaceText(marker, "#引号", "\"");
}

}  // namespace

Text TextBetween(const Text& source, const Text& leftMarker, const Text& rightMarker,
                 int startPosition, bool matchCase) {
  const Text left = ExpandQuotePlaceholder(leftMarker);
  const Text right = ExpandQuotePlaceholder(rightMarker);

  const int leftAt = FindText(source, left, startPosition, !matchCase);
  if (leftAt < 0) return Text();
  const int afterLeft = static_cast<int>(source.size()) - leftAt - static_cast<int>(left.size()) + 1;
  const Text remainder = RightText(source, afterLeft);

  // The start position has already been applied to the source: the right marker is the first
  // one after the left-marker occurrence, wherever that lies.
  const int rightAt = FindText(remainder, right, 1, !matchCase);
  if (rightAt < 0) return Text();
  return LeftText(remainder, rightAt - 1);
}

}  // namespace tonvia
