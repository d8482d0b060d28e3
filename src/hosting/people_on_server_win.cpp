#include "hosting/people_on_server_win.h"

#include <string>

#include "platform/date_time.h"
#include "platform/whole_file_win.h"
#include "server/player_records.h"

namespace tidemoor {

struct PeopleOnServer::Records {
  std::string file;
  bool loaded = false;
  PlayerRecords players;
  bool failureTold = false;  // a file that cannot be read or written is told once per run
};

PeopleOnServer::PeopleOnServer(PeopleWiring wiring)
    : wiring_(std::move(wiring)),
      whitelist_(WhitelistWatchWorld{
          wiring_.api, [this](std::string_view text) { wiring_.log.Record(text); },
          [file = WhitelistFile(wiring_.paths)]() -> std::optional<Whitelist> {
            // A few lines, read at each poll: the players window may have changed it since.
            const WholeFile read = ReadWholeFile(file);
            if (read.state == FileState::Unreadable) return std::nullopt;
            return ReadWhitelist(read.bytes);
          },
          [] {
            return std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
          }}),
      records_(std::make_shared<Records>(Records{PlayerRecordsFile(wiring_.paths)})) {}

void PeopleOnServer::Begin() {
  whitelistCheck_.Every(std::chrono::milliseconds(kWhitelistPollMilliseconds), [this] {
    whitelist_.Tick(wiring_.whitelistOn(), endpoint_.has_value(),
                    endpoint_.value_or(RestEndpoint{}));
  });
  onlineCount_.Every(std::chrono::seconds(kPlayerRecordsIntervalSeconds), [this] {
    if (endpoint_)
      Update([](Records& records) { records.players.CountOnline(SecondsSince1970()); });
  });
}

void PeopleOnServer::Follow(const std::optional<RunningServer>& running) {
  const bool stopped = endpoint_ && !running;
  endpoint_.reset();
  if (running) endpoint_ = running->rest;
  if (stopped) Update([](Records& records) { records.players.EveryoneLeft(SecondsSince1970()); });
}

void PeopleOnServer::OnPlayerChange(const PlayerChange& change) {
  Update([change](Records& records) {
    if (change.joined) {
      PlayerInfo player;
      player.name = change.name;
      player.userId = change.userId;
      records.players.Join(player, SecondsSince1970());
    } else {
      records.players.Leave(change.userId, SecondsSince1970());
    }
  });
}

void PeopleOnServer::Cancel() {
  whitelistCheck_.Stop();
  onlineCount_.Stop();
}

void PeopleOnServer::Update(std::function<void(Records&)> change) {
  lane_.Run<std::string>(
      [records = records_, change = std::move(change)]() -> std::string {
        if (!records->loaded) {
          const WholeFile read = ReadWholeFile(records->file);
          // A file that is there but cannot be read is never replaced by what this run saw.
          if (read.state == FileState::Unreadable) {
            if (std::exchange(records->failureTold, true)) return {};
            return WithCause("玩家记录无法读取 - 本次运行不记录玩家: " + records->file, read.error);
          }
          records->players = PlayerRecords::Read(read.bytes);
          records->loaded = true;
        }
        change(*records);
        const Outcome written = ReplaceWholeFile(records->file, records->players.Text());
        if (written || std::exchange(records->failureTold, true)) return {};
        return WithCause("玩家记录无法写入: " + records->file, written.Error());
      },
      [this](std::string failure) {
        if (!failure.empty()) wiring_.log.Record(failure);
      });
}

}  // namespace tidemoor
