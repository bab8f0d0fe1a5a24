// Cutting the key paragraphs out of a decoded key-database page, and formatting them for the
// results box.
#pragma once

#include "text/text.h"

namespace tonvia {

// The title bracket that gets a blank line in front of it, the break put before it, and how
// many brackets are treated at most.
inline constexpr char kTitleBracket[] = "《";
inline constexpr char kTitleBreak[] = "\r\n\r\n";
inline constexpr int kTitleBreakLimit = 100;

// A page that knows the song has this word in its key paragraphs.
inline constexpr char kKeyWord[] = "基调";

// Shown in the results box when the lookup found no key paragraph.
extern const char kNotFoundMessage[];

// Appends to keyTexts the text of every paragraph that runs from prefixMarker to the next
// suffixMarker, in page order. The markers are regular-expression syntax (perl, case-
// sensitive) put into the pattern prefixMarker + "(.*?)" + suffixMarker verbatim; "." matches
// line breaks, so a paragraph may span lines. Matches never overlap. A pattern that does not
// compile adds nothing; if the engine gives up part-way, the paragraphs found before stay.
// An empty match is kept and ends the search (it would otherwise be found again forever).
void ExtractBetweenMarkers(const Text& pageText, const Text& prefixMarker,
                           const Text& suffixMarker, TextArray& keyTexts);

// Every item followed by one blank, in order; empty for an empty list.
Text JoinKeyTexts(const TextArray& keyTexts);

// A copy of text with insertion put in front of each occurrence of marker (ASCII letters
// compared without case, occurrences only at character starts). When limited is true only the
// first limit occurrences are treated (none when limit is 0 or less); otherwise all of them.
Text InsertBeforeEach(const Text& text, const Text& marker, const Text& insertion, int limit,
                      bool limited);

// True when resultsText holds kKeyWord (exact bytes, at a character start).
bool HasKeyWord(const Text& resultsText);

}  // namespace tonvia
