#pragma once
// Valve's key-value text (VDF), as Steam and SteamCMD write it: app infos, app manifests, the
// list of Steam libraries and the record of Workshop items. Comments, platform conditions after a
// value and odd spacing are expected; a text that is not VDF yields nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

struct VdfBlock {
  // Key and text value, or key and nested block; keys keep their order and may repeat.
  struct Entry {
    std::string key;
    std::string value;
    std::vector<Entry> block;
    bool isBlock = false;
  };
  std::vector<Entry> entries;
};

// The entries of a VDF text; nullopt when it is not one (unbalanced braces, a key without a
// value, nesting deeper than any real file). Inside quotes a backslash escapes the character
// after it, as Steam writes them: \\ is one backslash, \" a quote, \n and \t a line break and a
// tab.
std::optional<VdfBlock> ReadVdf(std::string_view text);

// The first key and its value or block at the start of the text, whatever follows it.
std::optional<VdfBlock> ReadFirstVdfEntry(std::string_view text);

// The text value at the end of the path of keys (compared without case, as Steam does).
std::optional<std::string> VdfValue(const VdfBlock& root,
                                    const std::vector<std::string_view>& path);

// A value that is a whole number and nothing else, as build ids, sizes and times are.
std::optional<uint64_t> VdfNumber(const std::optional<std::string>& text);

}  // namespace tidemoor
