#include "app/single_tool.h"

#include <cstdint>

namespace tidemoor {

std::string SingleToolObjectName(std::u16string_view folded) {
  while (!folded.empty() && (folded.back() == u'\\' || folded.back() == u'/')) {
    folded.remove_suffix(1);
  }
  // FNV-1a over the UTF-16 units: object names are limited in length, paths are not.
  uint64_t hash = 14695981039346656037ull;
  for (const char16_t unit : folded) {
    hash ^= static_cast<uint64_t>(unit);
    hash *= 1099511628211ull;
  }
  constexpr char kHex[] = "0123456789abcdef";
  std::string name = "Global\\Tidemoor-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 15];
  return name;
}

SecondStart DecideSecondStart(const HoldingToolSeen& seen) {
  if (seen.released) return SecondStart::Run;
  if (seen.windowShown) return SecondStart::BringForward;
  // Waiting would not help: that window can never appear on this desktop.
  if (seen.session == HoldingSession::Other) return SecondStart::TellOtherSession;
  if (seen.waited >= kHoldingToolWait) return SecondStart::TellStillBusy;
  return SecondStart::KeepWaiting;
}

}  // namespace tidemoor
