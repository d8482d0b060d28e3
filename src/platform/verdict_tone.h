#pragma once
// Results read at a glance: each verdict word has a colour of its own, drawn on the word itself, so
// the word still says it where colour is not seen.

#include <string_view>

namespace tidemoor {

enum class VerdictTone {
  Plain,    // not a verdict word: drawn as any other text
  Good,     // 完成, 通过: green
  Caution,  // 注意, 跳过: amber
  Bad,      // 失败, 未通过: red
  Unknown,  // 无法判断: grey
};

// The tone of a label that holds exactly one verdict word.
VerdictTone ToneOfVerdictWord(std::string_view word);

}  // namespace tidemoor
