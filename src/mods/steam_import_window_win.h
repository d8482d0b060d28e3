#pragma once
// The window 从 Steam 导入模组: the Palworld Workshop items the host's Steam keeps, with a button
// that brings the chosen ones (several may be chosen) into Mods\Workshop, and the import's
// progress while it runs.

#include <windows.h>

#include <functional>
#include <string_view>
#include <vector>

#include "mods/mod_import_win.h"
#include "mods/mods_on_disk_win.h"
#include "platform/prompt.h"
#include "platform/tool_window_win.h"

namespace tidemoor {

inline constexpr char kSteamImportTitle[] = "从 Steam 导入模组";

// Child-window ids (and the progress timer's), so tests find them.
enum class SteamImportControl : int {
  List = 1201,
  Progress,
  ProgressText,
  ImportButton,
  ProgressTimer,
};

struct SteamImportSetup {
  HWND owner = nullptr;
  Prompt* prompt = nullptr;
  const ModImporter* importer = nullptr;  // its progress is shown while it works
  std::function<void(std::vector<SteamWorkshopItem>)> import;  // the items chosen
};

// While the importer works, the bar and the text show how far it is; the bar hides otherwise.
void ShowImportProgress(const ModImporter* importer, HWND bar, HWND text);

class SteamImportWindow : public ToolWindow<SteamImportWindow> {
 public:
  static constexpr ToolWindowKind kKind{L"TidemoorSteamMods", kSteamImportTitle, 640, 430};

  // Opens the window on the items, or shows them in the one open already and brings it forward.
  HWND Open(SteamImportSetup setup, std::vector<SteamWorkshopItem> items);
  // An import began or ended: the button and the progress follow it; outcome: what became of it.
  void FollowImport(std::string_view outcome = {});

 private:
  friend class ToolWindow<SteamImportWindow>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Fill();
  void ImportChosen();

  SteamImportSetup setup_;
  std::vector<SteamWorkshopItem> items_;
  UniqueGdiObject font_;
};

}  // namespace tidemoor
