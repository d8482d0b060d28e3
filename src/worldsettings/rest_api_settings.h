#pragma once
// The three pairs of PalWorldSettings.ini that turn the server's REST API on: RESTAPIEnabled,
// RESTAPIPort and AdminPassword. The server reads them as it starts; the tool then asks it to save
// and shut down instead of ending it.

#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

// The file's text with RESTAPIEnabled=True, RESTAPIPort=<port> and AdminPassword="<password>"
// (each pair where the file names it, whatever the case of its key, or added after the others);
// every other pair and row is kept. nullopt when the file already holds exactly these values, so
// an unchanged file is never rewritten.
std::optional<std::string> WithRestApiEnabled(std::string_view fileText, int port,
                                              std::string_view adminPassword);

// Whether the file's text turns the REST API on (RESTAPIEnabled=True, whatever the case); a file
// without the pair leaves it off, as the server does.
bool RestApiEnabledIn(std::string_view fileText);

}  // namespace tidemoor
