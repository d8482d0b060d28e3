#include "platform/verdict_tone.h"

#include <array>
#include <utility>

namespace tidemoor {

VerdictTone ToneOfVerdictWord(std::string_view word) {
  static constexpr std::array<std::pair<std::string_view, VerdictTone>, 7> kWords = {{
      {"完成", VerdictTone::Good},
      {"通过", VerdictTone::Good},
      {"注意", VerdictTone::Caution},
      {"跳过", VerdictTone::Caution},
      {"失败", VerdictTone::Bad},
      {"未通过", VerdictTone::Bad},
      {"无法判断", VerdictTone::Unknown},
  }};
  for (const auto& [text, tone] : kWords) {
    if (word == text) return tone;
  }
  return VerdictTone::Plain;
}

}  // namespace tidemoor
