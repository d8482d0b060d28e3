#pragma once
// The four requests the tool makes of a router's WAN connection service, and what its answers
// and faults say.

#include <map>
#include <string>
#include <string_view>

namespace tidemoor {

struct SoapRequest {
  std::string soapAction;  // the SOAPAction header's value, quoted
  std::string body;
};

struct PortMapping {
  std::string protocol;  // UDP or TCP
  unsigned short externalPort = 0;
  unsigned short internalPort = 0;
  std::string internalClient;  // this PC's LAN address
  std::string description;
};

inline constexpr char kMappingDescription[] = "Tidemoor Palworld";

SoapRequest ExternalAddressRequest(std::string_view serviceType);
SoapRequest MappingEntryRequest(std::string_view serviceType, std::string_view protocol,
                                unsigned short externalPort);
// Permanent (lease 0), enabled, from any remote host.
SoapRequest AddMappingRequest(std::string_view serviceType, const PortMapping& mapping);
SoapRequest DeleteMappingRequest(std::string_view serviceType, std::string_view protocol,
                                 unsigned short externalPort);

struct SoapAnswer {
  enum class Kind { Values, Fault, Unreadable } kind = Kind::Unreadable;
  std::map<std::string, std::string> values;  // the response's arguments, trimmed
  int faultCode = 0;                          // UPnPError errorCode, 0 when none was given
  std::string problem;  // for a fault or an unreadable answer: one short, printable line
};

// 714 NoSuchEntryInArray: no mapping for that port.
inline constexpr int kNoSuchMapping = 714;

// The answer to action (e.g. "GetExternalIPAddress") with its HTTP status.
SoapAnswer ReadSoapAnswer(int httpStatus, std::string_view body, std::string_view action);

// Text from the network made fit for one line of the window: control characters dropped, at most
// 60 characters (cut on a character boundary).
std::string PrintableLine(std::string_view text);

}  // namespace tidemoor
