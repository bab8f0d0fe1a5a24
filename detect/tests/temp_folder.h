// A uniquely named folder under the temporary folder, removed with everything in it when the
// object goes away. Names are code page 936 texts, as the program sees them.
#pragma once

#include <vector>

#include "text/text.h"

namespace tonvia {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Full path, ending with a backslash.
  const Text& Path() const { return path_; }

  // Paths below are relative to Path().
  void MakeFile(const Text& relative, bool readOnly = false) const;
  void MakeFolder(const Text& relative) const;
  bool Exists(const Text& relative) const;
  // Bare names of the entries of a folder, sorted.
  std::vector<Text> List(const Text& relative = Text()) const;

 private:
  Text path_;
};

}  // namespace tonvia
