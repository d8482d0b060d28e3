#include "server/crash_report.h"

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::string_view kXmlBlanks = " \t\r\n";

// The engine may write the file as UTF-16 with a byte-order mark; UTF-8 keeps its bytes.
std::string AsUtf8(std::string_view bytes) {
  const bool little = bytes.starts_with("\xFF\xFE");
  if (little || bytes.starts_with("\xFE\xFF")) {
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const auto low = static_cast<uint8_t>(bytes[little ? i : i + 1]);
      const auto high = static_cast<uint8_t>(bytes[little ? i + 1 : i]);
      units += static_cast<char16_t>(high << 8 | low);
    }
    return Utf16ToUtf8(units);
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return std::string(bytes);
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// &#NNN; or &#xHH; without the ampersand and semicolon; nothing when it is no number.
std::optional<uint32_t> CharacterReference(std::string_view name) {
  if (!name.starts_with('#') || name.size() < 2) return std::nullopt;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t code = 0;
  for (const char c : digits) {
    uint32_t digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    code = code * (hex ? 16 : 10) + digit;
  }
  return code;
}

// An unknown or unfinished reference stays as written.
std::string Unescape(std::string_view text) {
  constexpr std::pair<std::string_view, char> kNamed[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t semicolon = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
    if (semicolon == std::string_view::npos || semicolon - i > 12) {
      out += text[i++];
      continue;
    }
    const std::string_view name = text.substr(i + 1, semicolon - i - 1);
    bool known = false;
    for (const auto& [entity, character] : kNamed) {
      if (name == entity) {
        out += character;
        known = true;
      }
    }
    if (const std::optional<uint32_t> code = CharacterReference(name)) {
      AppendUtf8(out, *code);
      known = true;
    }
    if (!known) {
      out += text[i++];
      continue;
    }
    i = semicolon + 1;
  }
  return out;
}

// The raw text of the first element of that name, empty for <Name/>; nothing when there is none
// or it is never closed.
std::optional<std::string_view> ElementText(std::string_view xml, std::string_view name) {
  std::string open = "<";
  open.append(name);
  std::string close = "</";
  close.append(name);
  for (size_t at = xml.find(open); at != std::string_view::npos; at = xml.find(open, at + 1)) {
    const size_t after = at + open.size();
    if (after >= xml.size()) return std::nullopt;
    if (xml[after] != '>' && xml[after] != '/' &&
        kXmlBlanks.find(xml[after]) == std::string::npos) {
      continue;  // a longer name that starts the same
    }
    const size_t end = xml.find('>', after);
    if (end == std::string_view::npos) return std::nullopt;
    if (xml[end - 1] == '/') return std::string_view();
    const size_t closing = xml.find(close, end + 1);
    if (closing == std::string_view::npos) return std::nullopt;
    return xml.substr(end + 1, closing - end - 1);
  }
  return std::nullopt;
}

bool IsContinuationByte(char c) {
  return (static_cast<uint8_t>(c) & 0xC0) == 0x80;
}

}  // namespace

std::optional<CrashReport> ParseCrashContext(std::string_view text) {
  const std::string xml = AsUtf8(text);
  if (!TrimBlanks(xml, kXmlBlanks).starts_with('<')) return std::nullopt;
  const std::optional<std::string_view> message = ElementText(xml, "ErrorMessage");
  if (!message) return std::nullopt;
  CrashReport report;
  report.message = TrimBlanks(Unescape(*message), kXmlBlanks);
  if (report.message.empty()) return std::nullopt;
  if (const std::optional<std::string_view> type = ElementText(xml, "CrashType")) {
    report.type = TrimBlanks(Unescape(*type), kXmlBlanks);
  }
  return report;
}

std::optional<std::string> NewestCrashFolder(const std::vector<CrashFolder>& folders,
                                             int64_t since) {
  const CrashFolder* newest = nullptr;
  for (const CrashFolder& folder : folders) {
    if (FindIgnoringCase(folder.name, "UECC-") != 0 || folder.writeTime < since) continue;
    if (!newest || folder.writeTime > newest->writeTime ||
        (folder.writeTime == newest->writeTime && folder.name > newest->name)) {
      newest = &folder;
    }
  }
  if (!newest) return std::nullopt;
  return newest->name;
}

std::optional<CrashReport> FindCrashReport(CrashReports& reports, int64_t since) {
  const std::optional<std::string> folder = NewestCrashFolder(reports.Folders(), since);
  if (!folder) return std::nullopt;
  const std::optional<std::string> text = reports.ContextText(*folder);
  if (!text) return std::nullopt;
  std::optional<CrashReport> report = ParseCrashContext(*text);
  if (report) report->folder = *folder;
  return report;
}

bool ReportsCorruptSave(const CrashReport& report) {
  return FindIgnoringCase(report.message, "corrupt") != std::string::npos;
}

std::string ShownCrashMessage(const CrashReport& report, size_t characters) {
  const std::string shown = EscapeControlCharacters(report.message);
  size_t counted = 0;
  size_t cut = std::string::npos;  // where the characters before the ellipsis end
  for (size_t i = 0; i < shown.size(); ++i) {
    if (IsContinuationByte(shown[i])) continue;
    if (counted == characters - 1) cut = i;
    if (++counted > characters) return shown.substr(0, cut) + "…";
  }
  return shown;
}

}  // namespace tidemoor
