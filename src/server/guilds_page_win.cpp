#include "server/guilds_page_win.h"

#include <commctrl.h>

#include <array>

#include "platform/codepage_win.h"
#include "platform/list_cell_win.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

using Id = GuildsControl;

// Below the tabs of the players window.
const std::array<ControlDefinition, 2> kControls = {{
    {ControlNumber(Id::List), ControlKind::ReportList, "", 16, 44, 612, 290, kBordered},
    {ControlNumber(Id::Line), ControlKind::Label, "", 16, 344, 612, 22, kEndEllipsis},
}};

const std::array<ListColumn, 3> kColumns = {{{"公会", 260}, {"在线人数", 100}, {"据点数", 100}}};

}  // namespace

GuildsPage::GuildsPage() : page_(kControls, ControlNumber(Id::List), kColumns) {}

void GuildsPage::Create(HWND parent, UINT dpi, GuildsPageSetup setup) {
  setup_ = std::move(setup);
  page_.Make(parent, dpi);
  ShowGuilds();
}

void GuildsPage::Place(UINT dpi) {
  page_.Place(dpi);
}

void GuildsPage::Show(bool shown) {
  page_.Show(shown);
}

HWND GuildsPage::Control(Id id) const {
  return page_.Control(ControlNumber(id));
}

void GuildsPage::Tick(ServerApi& api, const ApiAccess& access) {
  if (!setup_.on() || !access.serverRunning) {
    if (latest_) Take(std::nullopt, {});
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (asking_ || (lastAsked_ && now - *lastAsked_ < kGameDataPeriod)) return;
  asking_ = true;
  lastAsked_ = now;
  api.Send(GameDataRequest(access.endpoint), [this, opening = opening_](const RestReply& reply) {
    if (opening != opening_) return;
    if (!reply.Answered()) {
      asking_ = false;
      Take(std::nullopt, GameDataFailureLine(reply));
      return;
    }
    // Hundreds of KB of JSON: read beside the window, not in it.
    reader_.Run<RestReading<GameData>>(
        [body = reply.body] { return ReadGameData(body); },
        [this, opening](RestReading<GameData> reading) {
          if (opening != opening_) return;
          asking_ = false;
          Take(std::move(reading.value), GameDataFailureLine({200, {}}, reading.error));
        });
  });
}

void GuildsPage::Forget() {
  ++opening_;
  asking_ = false;
  lastAsked_.reset();
  failureTold_ = false;
}

void GuildsPage::Take(std::optional<GameData> data, std::string why) {
  const bool had = latest_.has_value();
  latest_ = std::move(data);
  if (latest_) {
    failureTold_ = false;
  } else if (!why.empty() && !std::exchange(failureTold_, true)) {
    setup_.tell(why);
  }
  ShowGuilds();
  if (had || latest_) setup_.changed();
}

void GuildsPage::ShowGuilds() {
  if (!page_.Made()) return;
  const HWND list = Control(Id::List);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  int row = 0;
  if (latest_) {
    for (const GuildSummary& guild : Guilds(*latest_)) {
      SetListCell(list, row, 0, EscapeControlCharacters(guild.name), true);
      SetListCell(list, row, 1, std::to_string(guild.playersOnline), false);
      SetListCell(list, row, 2, std::to_string(guild.bases), false);
      ++row;
    }
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
  SetWindowTextUtf8(Control(Id::Line),
                    latest_       ? "公会 " + std::to_string(row) + " 个 (每 30 秒更新)"
                    : setup_.on() ? "开服后显示各公会的在线人数和据点数"
                                  : "勾选 在线玩家 页中的 启用游戏数据接口 并重启服务端后显示");
}

}  // namespace tidemoor
