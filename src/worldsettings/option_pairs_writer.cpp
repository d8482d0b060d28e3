#include "worldsettings/option_pairs_writer.h"

#include <vector>

#include "platform/text.h"
#include "worldsettings/option_list_place.h"

namespace tidemoor {

std::optional<std::string> WithOptionPairs(std::string_view fileText,
                                           std::span<const OptionPair> wanted) {
  std::vector<OptionPair> pairs = ReadOptionList(fileText);
  bool changed = false;
  for (const OptionPair& pair : wanted) {
    bool named = false;
    // A key named twice counts with its later value, so every mention gets the wanted one.
    for (OptionPair& held : pairs) {
      if (!EqualsIgnoringCase(held.Key, pair.Key)) continue;
      named = true;
      if (held.Value != pair.Value) {
        held.Value = pair.Value;
        changed = true;
      }
    }
    if (!named) {
      pairs.push_back(pair);
      changed = true;
    }
  }
  if (!changed) return std::nullopt;
  std::vector<std::string> written;
  written.reserve(pairs.size());
  for (const OptionPair& pair : pairs) written.push_back(pair.Key + "=" + pair.Value);
  return WithOptionListLine(fileText, "OptionSettings=(" + JoinTexts(written) + ")");
}

}  // namespace tidemoor
