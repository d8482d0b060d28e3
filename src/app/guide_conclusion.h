#pragma once
// How the first-start guide ends: the connection doctor's verdict in one sentence and what the
// host sends their friends, or, where friends outside cannot reach this PC, why and the ways out.

#include <string>

#include "net/check_verdict.h"

namespace tidemoor {

struct ConnectionFacts {
  NatFindings nat;            // the public address in it is empty when the lookup found none
  std::string publicFailure;  // then why
  std::string lanConnect;     // a.b.c.d:port for players at home; empty without a LAN address
};

struct GuideConclusion {
  Verdict verdict = Verdict::Unknown;
  std::string text;
  std::string copyText;  // what 复制联机地址 copies; empty when there is nothing to copy
  bool operator==(const GuideConclusion&) const = default;
};

GuideConclusion ConcludeConnection(const ConnectionFacts& facts);

}  // namespace tidemoor
