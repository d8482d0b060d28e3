#pragma once
// The window 模组管理: the mods under Mods\Workshop with a tick each for the list the server loads,
// the switch for mods as a whole, the save of Mods\PalModSettings.ini, and the buttons that bring
// mods in (from Steam, from the host's files, by Workshop id), update, delete and redeploy them.
// The decisions are the mods area's portable core; this is the Win32 side. Everything that touches
// the disk runs on a worker; the app hands in what reaches beyond the mods (the server, backups,
// SteamCMD) as callbacks.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/server_paths.h"
#include "mods/mod_catalog.h"
#include "mods/mod_import_win.h"
#include "mods/mods_on_disk_win.h"
#include "mods/steam_import_window_win.h"
#include "platform/event_log.h"
#include "platform/prompt.h"
#include "platform/tool_window_win.h"
#include "platform/worker_win.h"

namespace tidemoor {

inline constexpr char kModsWindowTitle[] = "模组管理";

// Child-window ids (and the progress timer's), so tests and the end-to-end driver find them.
enum class ModsControl : int {
  EnableBox = 1101,
  RunningNote,
  List,
  StatusLine,
  Progress,
  SteamButton,
  ImportButton,
  DownloadButton,
  UpdateButton,
  DeleteButton,
  RedeployButton,
  OpenFolderButton,
  SaveButton,
  ProgressTimer,
};

// What SteamCMD's download of a Workshop item came to: the item's folder, or why there is none.
struct WorkshopDownload {
  bool ok = false;
  std::string folder;
  std::string reason;
};

// The callbacks are called, and call their done, on the window's thread.
struct ModsWindowSetup {
  HWND owner = nullptr;
  Prompt* prompt = nullptr;
  EventLog* log = nullptr;
  ServerPaths paths;
  std::function<bool()> serverRunning;
  // Yes to restarting after a save while the server runs: the safe stop, then a start.
  std::function<void()> restartServer;
  // Before the first save of an opening that changes which mods load: a backup point of kind
  // BeforeMods; done(false) when none was made, and then nothing is written.
  std::function<void(std::function<void(bool made)> done)> backupBeforeChange;
  // SteamCMD's download of the item (+workshop_download_item 1623730 <id>), without a window.
  std::function<void(std::string itemId, std::function<void(WorkshopDownload)> done)>
      downloadWorkshopItem;
  // Explorer on a folder; Explorer is started on the tool's pool when none is given.
  std::function<void(const std::string& folder)> openFolder;
  // The folder or .zip archive the host picks to import, nothing when cancelled; a small menu
  // and Windows' Open dialog when none is given.
  std::function<std::optional<std::string>(HWND owner)> pickImport;
  // The Workshop id or address the host types, nothing when cancelled; a text box when none is
  // given.
  std::function<std::optional<std::string>(HWND owner)> askWorkshopItem;
};

class ModsWindow : public ToolWindow<ModsWindow> {
 public:
  static constexpr ToolWindowKind kKind{L"TidemoorMods", kModsWindowTitle, 860, 500};

  // Opens the window, or brings it forward when it is open already. The setup given at the first
  // opening serves every later one.
  HWND Open(ModsWindowSetup setup);

 private:
  friend class ToolWindow<ModsWindow>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnButton(ModsControl id);
  LRESULT OnListNotice(const NMHDR& notice);

  // The listing and the list (mods_window_win.cpp).
  void Refresh();
  void Show(ModsOnDisk disk);
  void FillRows();
  void OnTicked(int row, bool ticked);
  void ShowStatus(std::string_view text);
  void FollowServer();
  void EnableButtons();
  bool Busy() const;
  int SelectedRow() const;
  void Tell(std::string_view text, PromptStyle style);
  void Record(std::string_view text);

  // Saving, deleting and redeploying (mods_window_changes_win.cpp).
  // Runs change at once, or once a backup point has been made when one is due: the first change
  // of an opening that changes what the server loads. Without a point, the refusal is told and
  // nothing changes.
  void WithBackupIfDue(bool changesWhatLoads, std::function<void()> change, std::string refusal);
  void Save();
  void WriteSettings(ModSettings settings);
  void DeleteSelected();
  void DeleteFolder(const ModRow& mod, const std::vector<InstalledMod>& mods);
  void RedeploySelected();
  void OpenModsFolder();

  // Bringing mods in (mods_window_imports_win.cpp).
  void ImportFromSteam();
  void ImportWorkshopItems(std::vector<SteamWorkshopItem> items);
  void ImportFromFiles();
  void DownloadFromWorkshop();
  void UpdateSelected();
  void StartImport(std::vector<ModImport> mods);
  void ImportEnded(const std::vector<ImportResult>& results);
  bool FolderInstalled(std::string_view folderName) const;
  void FollowImport();

  ModsWindowSetup setup_;
  std::optional<Worker> files_;  // the window's reads and writes, one after another
  std::optional<ModImporter> importer_;
  SteamImportWindow steamWindow_;
  UniqueGdiObject font_;

  int opening_ = 0;      // results of an earlier opening are dropped
  bool listed_ = false;  // this opening has read the disk
  bool read_ = false;    // and the settings file, whose settings it edits
  ModsOnDisk disk_;
  ModSettings atOpen_;  // what the file said when this opening read it
  ModSettings edited_;  // what the window shows, saved or not
  bool backupMade_ = false;
  std::vector<ModRow> rows_;
  bool filling_ = false;
  bool saving_ = false;       // a backup point or a write of the settings file under way
  bool changing_ = false;     // a delete or redeploy under way
  bool downloading_ = false;  // SteamCMD downloads an item
  bool reading_ = false;      // a listing of Steam's items or the check of an import under way
};

}  // namespace tidemoor
