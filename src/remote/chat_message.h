#pragma once
// One message a chat app delivered to the bot, in the shape every channel hands it on.

#include <string>

namespace tidemoor {

struct ChatMessage {
  std::string channel;  // channel id ("" for a private message)
  std::string authorId;
  std::string authorName;  // as the chat app shows it (nickname, else username); from a stranger
  std::string text;        // the message text, mentions of the bot already removed
  std::string messageId;   // for quoting in the reply
  bool isPrivate = false;
  bool mentionsBot = false;

  bool operator==(const ChatMessage&) const = default;
};

}  // namespace tidemoor
