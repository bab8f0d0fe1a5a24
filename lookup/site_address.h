// Where the key-database site is, and the address of one song's page on it. Win32 only.
#pragma once

#include "text/text.h"

namespace tonvia {

// Used when the settings file holds no site address.
inline constexpr char kDefaultSiteAddress[] = "http://127.0.0.1:8976";

// The base address from key "站点" of section "查询" in settingsFile, read afresh at every call
// and never written; kDefaultSiteAddress when the file, the key or its value is missing. Trailing
// "/" are dropped so that the page path joins cleanly.
Text SiteBaseAddress(const char* settingsFile);

// base + "/dianyin_" + title + ".html", with the title put in as it is (no escaping).
Text SongPageAddress(const Text& baseAddress, const Text& songTitle);

}  // namespace tonvia
