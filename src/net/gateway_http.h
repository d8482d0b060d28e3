#pragma once
// HTTP as spoken with a router on the LAN: the request text for its description and control
// addresses, and the answer read back from the raw bytes. Kept apart from the sockets so that
// what a router might send (chunks, odd headers, garbage) is read by tested code.

#include <optional>
#include <string>
#include <string_view>

#include "net/gateway_description.h"
#include "platform/http_answer.h"

namespace tidemoor {

// A GET without a body, or a SOAP POST when soapAction is given. The address and the action come
// from the router's own answers: none when they hold a control character, which could end the
// request line or a header and add lines of the router's choosing.
std::optional<std::string> GatewayRequestText(const HttpUrl& url, std::string_view soapAction = {},
                                              std::string_view body = {});

// Status and body of a complete answer (the connection closed after it). Chunked bodies are
// joined; a Content-Length cuts the body. Status 0 when the bytes are no HTTP answer.
HttpAnswer ReadGatewayAnswer(std::string_view raw);

}  // namespace tidemoor
