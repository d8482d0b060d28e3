#include "platform/recycle_bin_win.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/automation_win.h"
#include "platform/codepage_win.h"
#include "platform/system_error_win.h"

namespace tidemoor {

Outcome MoveToRecycleBin(std::string_view path) {
  std::wstring full = Widen(path);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  if (::GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES) return LastSystemError();
  wchar_t volume[MAX_PATH] = {};
  if (!::GetVolumePathNameW(full.c_str(), volume, MAX_PATH)) return LastSystemError();
  // Without a bin on the drive the shell would delete for good, without a word.
  SHQUERYRBINFO bin{sizeof(bin)};
  if (const HRESULT query = ::SHQueryRecycleBinW(volume, &bin); FAILED(query)) {
    return SystemErrorOf(static_cast<DWORD>(query));
  }
  ComScope com;
  full.push_back(L'\0');  // the list of paths ends with an empty one
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = full.c_str();
  operation.fFlags =
      FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_WANTNUKEWARNING;
  if (const int result = ::SHFileOperationW(&operation); result != 0) {
    return SystemErrorOf(static_cast<DWORD>(result));
  }
  if (operation.fAnyOperationsAborted) return SystemErrorOf(ERROR_CANCELLED);
  if (::GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return SystemErrorOf(ERROR_DIR_NOT_EMPTY);  // part of it stayed, held open
  }
  return {};
}

}  // namespace tidemoor
