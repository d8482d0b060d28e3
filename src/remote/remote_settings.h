#pragma once
// What the host chose for control from a chat app: whether the KOOK bot runs, its token, the
// channels it answers in and the people who may change anything. Kept as typed; the lists are
// read when they are used.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/product.h"

namespace tidemoor {

struct RemoteSettings {
  bool kook = false;
  std::string kookToken;
  std::string kookChannels;  // channel ids, comma separated
  std::string admins;        // user ids, comma separated
  std::string kookApi = kKookApiAddress;

  bool operator==(const RemoteSettings&) const = default;
};

// The ids of a list as typed: separated by commas (also "，" and "、"), blanks or line breaks;
// empty entries and repeats dropped, order kept.
std::vector<std::string> IdList(std::string_view typed);

// Whether the bot may talk to this API address: https:// anywhere, plain http:// only to this
// PC (127.0.0.1), where a local proxy or a test stands; the token travels in every request.
bool KookApiAllowed(std::string_view address);

// The address the bot uses: the default when empty, the host's when allowed (trailing slashes
// cut), nothing when not allowed: the token never goes where the host did not mean it to.
std::optional<std::string> KookApiBase(std::string_view typed);

}  // namespace tidemoor
