#include "platform/version_info_win.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

constexpr int kFileVersionKind = 4;
constexpr WORD kChinesePrc = 2052;
constexpr WORD kEnglishUs = 1033;

const wchar_t* const kStringKeys[] = {L"Comments",
                                      L"CompanyName",
                                      L"FileDescription",
                                      L"",  // kind 4: fixed version
                                      L"InternalName",
                                      L"LegalCopyright",
                                      L"LegalTrademarks",
                                      L"OriginalFilename",
                                      L"PrivateBuild",
                                      L"ProductName",
                                      L"",
                                      L"SpecialBuild"};

std::string FixedFileVersion(const void* block) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block, L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return {};
  }
  char text[64];
  std::snprintf(text, sizeof(text), "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS));
  return text;
}

std::string StringItem(const void* block, const wchar_t* key) {
  WORD* translation = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block, L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
      !translation || length < 2 * sizeof(WORD)) {
    return {};
  }
  const WORD ownLanguage = translation[0];
  const WORD codePage = translation[1];
  std::vector<WORD> languages = {kChinesePrc, kEnglishUs};
  if (ownLanguage != kChinesePrc && ownLanguage != kEnglishUs) languages.push_back(ownLanguage);

  for (WORD language : languages) {
    wchar_t subBlock[128];
    std::swprintf(subBlock, 128, L"\\StringFileInfo\\%04X%04X\\%ls", language, codePage, key);
    wchar_t* value = nullptr;
    UINT characters = 0;
    if (::VerQueryValueW(block, subBlock, reinterpret_cast<void**>(&value), &characters) && value) {
      // The length counts the terminating NUL when there is one; the text ends at it either way.
      std::wstring_view text(value, characters);
      return Narrow(text.substr(0, text.find(L'\0')));
    }
  }
  return {};
}

}  // namespace

std::string ReadVersionInfo(std::string_view executablePath, int kind) {
  if (kind < 1 || kind > 12) kind = 1;
  const std::wstring path = Widen(executablePath);
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), nullptr);
  if (size == 0) return {};
  std::vector<unsigned char> block(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
  if (kind == kFileVersionKind || kind == 11) return FixedFileVersion(block.data());
  return StringItem(block.data(), kStringKeys[kind - 1]);
}

}  // namespace tidemoor
