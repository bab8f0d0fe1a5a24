#include "temp_folder.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>

namespace tonvia {
namespace {

void RemoveTree(const Text& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const Text name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const Text path = folder + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + "\\");
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
  path_ = Text(temp, length) + "tonvia-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(counter++) + "\\";
  if (!CreateDirectoryA(path_.c_str(), nullptr)) throw std::runtime_error("cannot create " + path_);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void TempFolder::MakeFile(const Text& relative, bool readOnly) const {
  const Text path = path_ + relative;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
  CloseHandle(file);
}

void TempFolder::MakeFolder(const Text& relative) const {
  const Text path = path_ + relative;
  if (!CreateDirectoryA(path.c_str(), nullptr)) throw std::runtime_error("cannot create " + path);
}

bool TempFolder::Exists(const Text& relative) const {
  return GetFileAttributesA((path_ + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<Text> TempFolder::List(const Text& relative) const {
  std::vector<Text> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((path_ + relative + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const Text name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tonvia
