#include "remote/kook_api.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "platform/text.h"

namespace tidemoor {
namespace {

using Json = nlohmann::json;

bool SaysDone(const Json& answer) {
  if (!answer.is_object()) return false;
  const auto code = answer.find("code");
  return code != answer.end() && code->is_number_integer() && code->get<int64_t>() == 0;
}

// The data's text field of an answer that says it was done.
std::optional<std::string> AnsweredText(std::string_view body, const char* field) {
  const Json answer = Json::parse(body, nullptr, false);
  if (!SaysDone(answer)) return std::nullopt;
  const auto data = answer.find("data");
  if (data == answer.end() || !data->is_object()) return std::nullopt;
  const auto text = data->find(field);
  if (text == data->end() || !text->is_string() || text->get<std::string>().empty()) {
    return std::nullopt;
  }
  return text->get<std::string>();
}

}  // namespace

std::optional<std::string> ReadKookGateway(std::string_view body) {
  return AnsweredText(body, "url");
}

std::optional<std::string> ReadKookSelf(std::string_view body) {
  return AnsweredText(body, "id");
}

std::string KookSocketUrl(std::string_view gatewayUrl,
                          std::optional<std::pair<uint64_t, std::string>> resume) {
  std::string url(gatewayUrl);
  if (!resume) return url;
  url += url.find('?') == std::string::npos ? "?" : "&";
  return url + "resume=1&sn=" + std::to_string(resume->first) +
         "&session_id=" + UrlEncode(resume->second);
}

KookPost KookReply(const ChatMessage& to, std::string_view text) {
  Json body = {{"type", 1},
               {"target_id", to.isPrivate ? to.authorId : to.channel},
               {"content", std::string(text)}};
  if (!to.messageId.empty()) body["quote"] = to.messageId;
  // Broken UTF-8 in a name must not keep the reply from going out.
  return {to.isPrivate ? "/direct-message/create" : "/message/create",
          body.dump(-1, ' ', false, Json::error_handler_t::replace)};
}

bool KookAnswerOk(std::string_view body) {
  return SaysDone(Json::parse(body, nullptr, false));
}

std::chrono::seconds KookBackOff(int failures) {
  const int doublings = std::clamp(failures, 1, 6);
  return std::chrono::seconds(std::min(60, 1 << doublings));
}

}  // namespace tidemoor
