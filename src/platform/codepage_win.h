#pragma once
// Conversions at the Win32 boundary. In memory every text is UTF-8; W functions take UTF-16;
// the files the tool keeps in GBK get their bytes through the explicit code page 936.

#include <windows.h>

#include <string>
#include <string_view>

namespace tidemoor {

inline constexpr UINT kGbkCodePage = 936;

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Bytes in the code page <-> UTF-8. Characters the code page lacks become its default character.
std::string Utf8ToCodePage(std::string_view utf8, UINT codePage);
std::string CodePageToUtf8(std::string_view bytes, UINT codePage);

inline std::string Utf8ToGbk(std::string_view utf8) {
  return Utf8ToCodePage(utf8, kGbkCodePage);
}
inline std::string GbkToUtf8(std::string_view gbk) {
  return CodePageToUtf8(gbk, kGbkCodePage);
}

// A window's text (GetWindowTextW) as UTF-8, and the reverse.
std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

}  // namespace tidemoor
