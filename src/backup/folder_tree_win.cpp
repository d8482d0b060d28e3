#include "backup/folder_tree_win.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <array>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

using Microsoft::WRL::ComPtr;

// COM for the calling thread for as long as the scope lives. A thread already in another
// apartment keeps it, and is not uninitialised here.
class ComScope {
 public:
  ComScope() : initialized_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~ComScope() {
    if (initialized_) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialized_;
};

class TextVariant {
 public:
  explicit TextVariant(std::string_view text) {
    ::VariantInit(&value_);
    value_.vt = VT_BSTR;
    const std::wstring wide = Widen(text);
    value_.bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  }
  ~TextVariant() { ::VariantClear(&value_); }
  TextVariant(const TextVariant&) = delete;
  TextVariant& operator=(const TextVariant&) = delete;
  const VARIANT& get() const { return value_; }

 private:
  VARIANT value_;
};

bool IsRootPath(std::wstring_view path) {
  const auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  if (path.size() == 1) return isSeparator(path[0]);  // the current drive's root
  const bool letter = (path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z');
  return letter && path[1] == L':' &&
         (path.size() == 2 || (path.size() == 3 && isSeparator(path[2])));
}

bool DeleteTreeBelow(const std::wstring& directory) {
  WIN32_FIND_DATAW entry;
  UniqueFindHandle search(::FindFirstFileW((directory + L"\\*").c_str(), &entry));
  if (search) {
    do {
      const std::wstring_view name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = directory + L"\\" + entry.cFileName;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::DeleteFileW(child.c_str());
      } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        ::RemoveDirectoryW(child.c_str());  // the link only, not what it points at
      } else {
        DeleteTreeBelow(child);
      }
    } while (::FindNextFileW(search.get(), &entry));
  }
  search.reset();
  return ::RemoveDirectoryW(directory.c_str()) != FALSE;
}

}  // namespace

bool CopyFolderTree(std::string_view source, std::string_view destination) {
  const ComScope com;
  CLSID classId;
  if (FAILED(::CLSIDFromProgID(L"scripting.FileSystemObject", &classId))) return false;
  ComPtr<IDispatch> fileSystem;
  if (FAILED(::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_PPV_ARGS(&fileSystem)))) {
    return false;
  }
  wchar_t methodName[] = L"CopyFolder";
  LPOLESTR names[] = {methodName};
  DISPID method;
  if (FAILED(fileSystem->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &method))) {
    return false;
  }
  const TextVariant from(source);
  const TextVariant to(destination);
  // IDispatch takes its arguments last first.
  std::array<VARIANT, 2> arguments = {to.get(), from.get()};
  DISPPARAMS parameters{arguments.data(), nullptr, 2, 0};
  EXCEPINFO exception{};
  const HRESULT result = fileSystem->Invoke(method, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &parameters, nullptr, &exception, nullptr);
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  return SUCCEEDED(result);
}

bool DeleteDirectoryTree(std::string_view path) {
  std::wstring directory = Widen(path);
  directory.erase(0, directory.find_first_not_of(L' '));
  if (directory.empty() || IsRootPath(directory)) return false;
  while (directory.size() > 1 && (directory.back() == L'\\' || directory.back() == L'/')) {
    directory.pop_back();
  }
  if (IsRootPath(directory)) return false;
  const DWORD attributes = ::GetFileAttributesW(directory.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return ::RemoveDirectoryW(directory.c_str()) != FALSE;
  }
  return DeleteTreeBelow(directory);
}

bool MoveDirectory(std::string_view from, std::string_view to) {
  return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) != FALSE;
}

bool DirectoryExists(std::string_view path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace tidemoor
