#include "remote/remote_window_win.h"

#include <array>

#include "platform/codepage_win.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

using Id = RemoteControlId;
using K = ControlKind;

int N(Id id) {
  return ControlNumber(id);
}

const std::array<ControlDefinition, 14> kControls = {{
    {N(Id::KookBox), K::CheckBox, "启用 KOOK 机器人 (手机上查看状态、重启、备份)", 8, 8, 400, 26},
    {N(Id::TokenLabel), K::Label, "机器人令牌", 8, 44, 96, 20},
    {N(Id::TokenEdit), K::Edit, "", 108, 40, 468, 24, kSecretText},
    {N(Id::ChannelsLabel), K::Label, "频道 ID", 8, 78, 96, 20},
    {N(Id::ChannelsEdit), K::Edit, "", 108, 74, 468, 24},
    {N(Id::AdminsLabel), K::Label, "管理员 ID", 8, 112, 96, 20},
    {N(Id::AdminsEdit), K::Edit, "", 108, 108, 330, 24},
    {N(Id::AddRecentButton), K::Button, "从最近发言者添加", 444, 107, 132, 26},
    {N(Id::ApiLabel), K::Label, "接口地址", 8, 146, 96, 20},
    {N(Id::ApiEdit), K::Edit, "", 108, 142, 468, 24},
    {N(Id::LineLabel), K::Label, "连接状态", 8, 180, 96, 20},
    {N(Id::LineText), K::Label, "", 108, 180, 468, 20, kEndEllipsis},
    {N(Id::GuideLink), K::ClickableLabel, "(如何创建 KOOK 机器人)", 8, 212, 200, 22},
    {N(Id::Hint), K::Label,
     "频道和管理员可填多个, 用逗号分隔。频道里所有人可用 /状态 /玩家 /帮助; 重启、关服、开服、"
     "备份和公告只限管理员, 管理员私信机器人也可以。令牌只保存在本机, 并为当前 Windows 用户加密。",
     8, 242, 568, 70, kParagraph},
}};

}  // namespace

HWND RemoteWindow::Open(RemoteWindowSetup setup) {
  if (BringForwardIfOpen()) return window_;
  if (!setUp_) {
    setup_ = std::move(setup);
    setUp_ = true;
  }
  Make(setup_.owner, setup_.prompt);
  return window_;
}

void RemoteWindow::ShowLine() {
  if (window_ && setup_.lineText) SetWindowTextUtf8(Control(Id::LineText), setup_.lineText());
}

LRESULT RemoteWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (code == BN_CLICKED && id == N(Id::AddRecentButton)) {
        PickRecentAuthor();
      } else if (code == STN_CLICKED && id == N(Id::GuideLink)) {
        if (setup_.openGuide) setup_.openGuide();
      } else if ((code == EN_CHANGE || code == BN_CLICKED) && !filling_ && setup_.changed) {
        setup_.changed(Read());
        if (id == N(Id::KookBox) && setup_.settled) setup_.settled();
      }
      return 0;
    }
    case WM_DESTROY:
      if (setup_.settled) setup_.settled();
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void RemoteWindow::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  for (const Id edit : {Id::TokenEdit, Id::ChannelsEdit, Id::AdminsEdit, Id::ApiEdit}) {
    ::SendMessageW(Control(edit), EM_SETLIMITTEXT, 1000, 0);
  }
  PlaceControls(dpi);
  if (setup_.current) Fill(setup_.current());
  ShowLine();
}

void RemoteWindow::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
}

void RemoteWindow::Fill(const RemoteSettings& settings) {
  filling_ = true;
  ::SendMessageW(Control(Id::KookBox), BM_SETCHECK, settings.kook ? BST_CHECKED : BST_UNCHECKED, 0);
  SetWindowTextUtf8(Control(Id::TokenEdit), settings.kookToken);
  SetWindowTextUtf8(Control(Id::ChannelsEdit), settings.kookChannels);
  SetWindowTextUtf8(Control(Id::AdminsEdit), settings.admins);
  SetWindowTextUtf8(Control(Id::ApiEdit), settings.kookApi);
  filling_ = false;
}

RemoteSettings RemoteWindow::Read() const {
  RemoteSettings settings;
  settings.kook = ::SendMessageW(Control(Id::KookBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
  settings.kookToken = WindowText(Control(Id::TokenEdit));
  settings.kookChannels = WindowText(Control(Id::ChannelsEdit));
  settings.admins = WindowText(Control(Id::AdminsEdit));
  settings.kookApi = WindowText(Control(Id::ApiEdit));
  return settings;
}

// A menu of the people the bot heard lately; the one picked joins the admins.
void RemoteWindow::PickRecentAuthor() {
  const auto authors = setup_.recentAuthors ? setup_.recentAuthors()
                                            : std::vector<std::pair<std::string, std::string>>{};
  const HMENU menu = ::CreatePopupMenu();
  if (authors.empty()) {
    ::AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, L"机器人还没有收到消息 - 请先在频道里对它说话");
  }
  for (size_t i = 0; i < authors.size(); ++i) {
    const std::string item = EscapeControlCharacters(authors[i].second, 40) + " (" +
                             EscapeControlCharacters(authors[i].first, 40) + ")";
    ::AppendMenuW(menu, MF_STRING, i + 1, Widen(item).c_str());
  }
  RECT button{};
  ::GetWindowRect(Control(Id::AddRecentButton), &button);
  const UINT picked = static_cast<UINT>(::TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_NONOTIFY, button.left, button.bottom, 0, window_, nullptr));
  ::DestroyMenu(menu);
  if (picked == 0 || picked > authors.size()) return;
  const std::string id = authors[picked - 1].first;
  std::vector<std::string> admins = IdList(WindowText(Control(Id::AdminsEdit)));
  for (const std::string& admin : admins) {
    if (admin == id) return;
  }
  admins.push_back(id);
  SetWindowTextUtf8(Control(Id::AdminsEdit), JoinTexts(admins, ", "));
}

}  // namespace tidemoor
