#include "lookup/lookup_pass.h"

#include "lookup/fetch_page.h"
#include "lookup/key_text.h"
#include "lookup/page_decode.h"
#include "lookup/site_address.h"

namespace tonvia {

// Every step reads its input from a field and writes its result into one, so a tick nested in
// the fetch's message processing sees and leaves the fields as the window shows them.
void RunLookupPass(FieldStore& fields, TickState& state, const char* settingsFile) {
  if (fields.Read(Field::准确歌名).empty()) return;

  const Text address =
      SongPageAddress(SiteBaseAddress(settingsFile), fields.Read(Field::准确歌名));
  fields.Write(Field::编辑框5, DecodePageText(FetchPage(address)));

  ExtractBetweenMarkers(fields.Read(Field::编辑框5), fields.Read(Field::编辑框3),
                        fields.Read(Field::编辑框4), state.keyTexts);
  state.joinedKeyText = JoinKeyTexts(state.keyTexts);
  fields.Write(Field::编辑框2, state.joinedKeyText);

  fields.Write(Field::编辑框2, InsertBeforeEach(fields.Read(Field::编辑框2), kTitleBracket,
                                                kTitleBreak, kTitleBreakLimit, true));

  if (!HasKeyWord(fields.Read(Field::编辑框2))) fields.Write(Field::编辑框2, kNotFoundMessage);
}

}  // namespace tonvia
