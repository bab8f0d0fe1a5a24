#include "detect/delete_folder_files.h"

// Lean: the common dialog header would turn FindText into a macro.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <memory>

namespace tonvia {
namespace {

struct ReleaseComObject {
  void operator()(IUnknown* object) const { object->Release(); }
};
using DispatchPtr = std::unique_ptr<IDispatch, ReleaseComObject>;

// VARIANTs that free what they hold (a BSTR, for instance) when they go out of scope.
template <std::size_t count>
struct ScopedVariants {
  VARIANT values[count];
  ScopedVariants() {
    for (VARIANT& value : values) VariantInit(&value);
  }
  ~ScopedVariants() {
    for (VARIANT& value : values) VariantClear(&value);
  }
  ScopedVariants(const ScopedVariants&) = delete;
  ScopedVariants& operator=(const ScopedVariants&) = delete;
};

// A BSTR holding text converted from the ANSI code page; null when out of memory.
BSTR AllocBstrFromText(const Text& text) {
  const int length = static_cast<int>(text.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(wideLength));
  if (result != nullptr && wideLength > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, result, wideLength);
  }
  return result;
}

// Checks the last character, not the last byte: a two-byte character may end in 0x5C, and
// taking it for a separator would turn the folder's name into a pattern over its parent.
bool EndsWithBackslash(const Text& text) {
  std::size_t at = 0;
  std::size_t last = 0;
  while (at < text.size()) {
    last = at;
    at += (IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) ? 2 : 1;
  }
  return at - last == 1 && text[last] == '\\';
}

// A pattern with a separator or drive colon would address files outside the folder.
bool StaysInFolder(const Text& pattern) {
  return FindText(pattern, "\\") < 0 && FindText(pattern, "/") < 0 && FindText(pattern, ":") < 0;
}

DispatchPtr CreateFileSystemObject() {
  CLSID classId;
  if (FAILED(CLSIDFromProgID(L"scripting.FileSystemObject", &classId))) return nullptr;
  IDispatch* object = nullptr;
  if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&object)))) {
    return nullptr;
  }
  return DispatchPtr(object);
}

void CallDeleteFile(IDispatch& fileSystem, const Text& fileSpecification) {
  OLECHAR methodName[] = L"DeleteFile";
  LPOLESTR names[] = {methodName};
  DISPID methodId;
  if (FAILED(fileSystem.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &methodId))) return;

  // Arguments go in reverse order: the force flag first, then the file specification.
  ScopedVariants<2> arguments;
  arguments.values[0].vt = VT_BOOL;
  arguments.values[0].boolVal = VARIANT_TRUE;
  arguments.values[1].bstrVal = AllocBstrFromText(fileSpecification);
  if (arguments.values[1].bstrVal == nullptr) return;
  arguments.values[1].vt = VT_BSTR;

  DISPPARAMS parameters = {arguments.values, nullptr, 2, 0};
  ScopedVariants<1> result;
  fileSystem.Invoke(methodId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                    result.values, nullptr, nullptr);
}

}  // namespace

void DeleteFolderFiles(const Text& folder, const Text& pattern) {
  if (folder.empty() || !StaysInFolder(pattern)) return;
  DispatchPtr fileSystem = CreateFileSystemObject();
  if (!fileSystem) return;

  Text fileSpecification = folder;
  if (!EndsWithBackslash(fileSpecification)) fileSpecification += '\\';
  fileSpecification += pattern.empty() ? Text("*.*") : pattern;
  CallDeleteFile(*fileSystem, fileSpecification);
}

}  // namespace tonvia
