#pragma once
// The server that runs now, as it was started: fixed when the tool launches or takes it over and
// the same for everything that reacts to it until it has ended. Nothing that follows the server
// reads the main window's boxes, which the user may have changed since.

#include <cstdint>
#include <string>
#include <string_view>

#include "server/rest_api.h"

namespace tidemoor {

enum class ServerState;

struct RunningServer {
  uint32_t processId = 0;  // the launcher
  uint16_t gamePort = 0;   // 0: not known (an adopted server whose command line Windows withheld)
  uint16_t queryPort = 0;
  RestEndpoint rest;      // where its REST API listens and the password it signs in with
  std::string worldId;    // the world it loads (DedicatedServerName); empty when none is named
  bool adopted = false;   // found running and taken over, not launched by this run of the tool
  int64_t startedAt = 0;  // the controller's monotonic clock at the launch or the adoption
};

// What happened to the server that its host may want to hear of away from the PC.
enum class ServerEvent {
  Crashed,           // ended by itself or from outside, not by the tool
  CrashLoopStopped,  // crashed too often: no more automatic restarts
  Hung,              // stopped answering and was ended by the tool
  IntervalRestart,   // the scheduled restart begins
  Started,           // launched by the tool
  Adopted,           // found running and taken over
};

// Whoever follows the server: told every state it enters with the run it concerns (the one that
// runs, is stopping or has just ended; before the first run an empty value), and every event with a
// line saying what happened.
class ServerListener {
 public:
  virtual ~ServerListener() = default;
  virtual void OnServerStateChanged(ServerState state, const RunningServer& run) = 0;
  virtual void OnServerEvent(ServerEvent event, std::string_view text) = 0;
};

}  // namespace tidemoor
