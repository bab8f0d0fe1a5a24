#include "lookup/site_address.h"

#include <windows.h>

#include <string>

namespace tonvia {

Text SiteBaseAddress(const char* settingsFile) {
  // GetPrivateProfileStringA signals a cut value by filling the buffer to size - 1, so grow it
  // until the whole value fits.
  std::string buffer(256, '\0');
  for (;;) {
    const DWORD length = GetPrivateProfileStringA("查询", "站点", "", buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), settingsFile);
    if (length + 1 < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.assign(buffer.size() * 2, '\0');
  }
  Text base = TextFromBytes(buffer.data(), buffer.size());
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base.empty() ? Text(kDefaultSiteAddress) : base;
}

Text SongPageAddress(const Text& baseAddress, const Text& songTitle) {
  return baseAddress + "/dianyin_" + songTitle + ".html";
}

}  // namespace tonvia
