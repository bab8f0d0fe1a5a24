// A settings file of its own in the temporary folder that names the key-database site to use,
// removed again when the object goes away. Win32 only.
#pragma once

#include <windows.h>

#include "text/text.h"

namespace tonvia::testing {

class SettingsFile {
 public:
  // site == nullptr: no file at all.
  explicit SettingsFile(const char* site) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    path_ = Text(folder) + "tonvia_lookup_test.ini";
    DeleteFileA(path_.c_str());
    if (site) WritePrivateProfileStringA("查询", "站点", site, path_.c_str());
  }
  ~SettingsFile() { DeleteFileA(path_.c_str()); }
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  const char* path() const { return path_.c_str(); }

 private:
  Text path_;
};

}  // namespace tonvia::testing
