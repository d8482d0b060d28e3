#include "install/steamcmd_progress.h"

#include <charconv>

#include "platform/text.h"

namespace tidemoor {
namespace {

// Longer than any line SteamCMD writes: what runs on without an end is not its output.
constexpr size_t kLongestLine = 4096;

bool StartsWithNoCase(std::string_view text, std::string_view start) {
  if (text.size() < start.size()) return false;
  for (size_t i = 0; i < start.size(); ++i) {
    const char c =
        text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != start[i]) return false;
  }
  return true;
}

// Reads what the text starts with and moves past it; false when it starts otherwise.
bool Skip(std::string_view& text, std::string_view expected) {
  if (text.substr(0, expected.size()) != expected) return false;
  text.remove_prefix(expected.size());
  return true;
}

template <typename Number>
bool ReadNumber(std::string_view& text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) return false;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  return true;
}

InstallPhase PhaseOf(std::string_view words) {
  if (words.find("downloading") != std::string_view::npos) return InstallPhase::Downloading;
  if (words.find("verifying") != std::string_view::npos) return InstallPhase::Verifying;
  if (words.find("committing") != std::string_view::npos) return InstallPhase::Installing;
  return InstallPhase::Preparing;
}

bool IsErrorLine(std::string_view line) {
  return StartsWithNoCase(line, "error") || StartsWithNoCase(line, "failed") ||
         line.find("Failure") != std::string_view::npos;
}

}  // namespace

std::optional<SteamCmdProgress> ParseProgressLine(std::string_view line) {
  const size_t at = line.find("Update state (0x");
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = line.substr(at + 16);
  const size_t wordsEnd = rest.find(", progress: ");
  const size_t stateEnd = rest.find(") ");
  if (wordsEnd == std::string_view::npos || stateEnd == std::string_view::npos ||
      stateEnd > wordsEnd) {
    return std::nullopt;
  }
  SteamCmdProgress progress;
  progress.phase = PhaseOf(rest.substr(stateEnd + 2, wordsEnd - stateEnd - 2));
  rest.remove_prefix(wordsEnd + 12);
  if (!ReadNumber(rest, progress.percent) || !Skip(rest, " (") ||
      !ReadNumber(rest, progress.doneBytes) || !Skip(rest, " / ") ||
      !ReadNumber(rest, progress.totalBytes) || !Skip(rest, ")")) {
    return std::nullopt;
  }
  if (!(progress.percent >= 0)) progress.percent = 0;
  if (progress.percent > 100) progress.percent = 100;
  return progress;
}

void SteamCmdOutput::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t end = bytes.find_first_of("\r\n");
    const std::string_view piece = bytes.substr(0, end);
    if (!skippingLongLine_) partial_.append(piece);
    if (partial_.size() > kLongestLine) {
      partial_.clear();
      skippingLongLine_ = true;
    }
    if (end == std::string_view::npos) return;
    if (!skippingLongLine_) TakeLine(partial_);
    partial_.clear();
    skippingLongLine_ = false;
    bytes.remove_prefix(end + 1);
  }
}

void SteamCmdOutput::TakeLine(std::string_view line) {
  line = TrimBlanks(line, " \t");
  if (line.empty()) return;
  if (std::optional<SteamCmdProgress> progress = ParseProgressLine(line)) {
    latest_ = *progress;
  } else if (IsErrorLine(line)) {
    lastError_ = std::string(line);
  }
}

}  // namespace tidemoor
