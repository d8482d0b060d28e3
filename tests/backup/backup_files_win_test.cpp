// The copy engine on a real disk under a real save's awkward corners: nested folders, a read-only
// file, a Chinese name, a path beyond MAX_PATH and a directory link.

#include "backup/backup_files_win.h"

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "backup/folder_tree_win.h"
#include "backup/point_maker.h"
#include "platform/codepage_win.h"
#include "platform/system_error_win.h"
#include "platform/unique_handle_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

constexpr char kSave[] = "Pal\\Saved";
constexpr char kReadOnly[] = "SaveGames\\0\\ABCD\\WorldOption.sav";
constexpr char kChinese[] = "SaveGames\\0\\ABCD\\Players\\玩家一.sav";
constexpr char kLevel[] = "SaveGames\\0\\ABCD\\Level.sav";

struct Identity {
  DWORD volume = 0;
  uint64_t index = 0;
  DWORD links = 0;
  uint64_t lastWrite = 0;
  DWORD attributes = 0;
};

Identity IdentityOf(const std::string& path) {
  UniqueFileHandle file(::CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !::GetFileInformationByHandle(file.get(), &info)) return {};
  return {
      info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
      info.nNumberOfLinks,
      (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime,
      info.dwFileAttributes};
}

bool SameFile(const Identity& a, const Identity& b) {
  return a.links > 0 && a.volume == b.volume && a.index == b.index;
}

void WriteLong(const std::string& path, std::string_view bytes) {
  const std::wstring wide = LongPath(path);
  for (size_t slash = wide.find(L'\\', 7); slash != std::wstring::npos;
       slash = wide.find(L'\\', slash + 1)) {
    ::CreateDirectoryW(wide.substr(0, slash).c_str(), nullptr);
  }
  UniqueFileHandle file(
      ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadLong(const std::string& path) {
  UniqueFileHandle file(::CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  std::string bytes(1 << 16, '\0');
  DWORD read = 0;
  if (!file ||
      !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return {};
  }
  bytes.resize(read);
  return bytes;
}

bool IsReparsePoint(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A junction, as Windows makes one for any user. Wine 8 keeps no reparse data (setting a mount
// point fails, CreateSymbolicLinkW succeeds and makes nothing), but shows a Unix symbolic link to a
// directory as a reparse point: there the link is made by /bin/ln, started and waited for. Wine
// cannot remove such a link, so one left by an earlier run with the same process id is replaced,
// not followed.
bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  const std::wstring wideLink = LongPath(link);
  if (::CreateDirectoryW(wideLink.c_str(), nullptr)) {
    UniqueFileHandle handle(
        ::CreateFileW(wideLink.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    const std::wstring substitute = L"\\??\\" + Widen(target);
    const auto bytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
    std::vector<BYTE> buffer(16 + bytes + 2 * sizeof(wchar_t));
    auto* words = reinterpret_cast<USHORT*>(buffer.data());
    *reinterpret_cast<DWORD*>(buffer.data()) = IO_REPARSE_TAG_MOUNT_POINT;
    words[2] = static_cast<USHORT>(buffer.size() - 8);        // ReparseDataLength
    words[4] = 0;                                             // SubstituteNameOffset
    words[5] = bytes;                                         // SubstituteNameLength
    words[6] = static_cast<USHORT>(bytes + sizeof(wchar_t));  // PrintNameOffset
    words[7] = 0;                                             // PrintNameLength
    std::memcpy(buffer.data() + 16, substitute.c_str(), bytes);
    DWORD returned = 0;
    if (handle &&
        ::DeviceIoControl(handle.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                          static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr)) {
      return IsReparsePoint(link);
    }
    handle.reset();
    ::RemoveDirectoryW(wideLink.c_str());
  }
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return false;
  char* unixLink = unixName(Widen(link).c_str());
  char* unixTarget = unixName(Widen(target).c_str());
  std::wstring commandLine =
      L"/bin/ln -sfn \"" + Widen(unixTarget) + L"\" \"" + Widen(unixLink) + L"\"";
  ::HeapFree(::GetProcessHeap(), 0, unixLink);
  ::HeapFree(::GetProcessHeap(), 0, unixTarget);
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION raw{};
  if (!::CreateProcessW(L"Z:\\bin\\ln", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &raw)) {
    return false;
  }
  UniqueProcessInformation ln;
  ln.Adopt(raw);
  ::WaitForSingleObject(ln.process.get(), 10000);
  // Wine may report the Unix program's end before the link is visible.
  return testing::WaitUntil([&] { return IsReparsePoint(link); }, std::chrono::seconds(5));
}

class CopyEngineOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    save = tool.File(kSave);
    WriteLong(In(save, kLevel), std::string(40000, 'L'));
    WriteLong(In(save, kChinese), "玩家一");
    WriteLong(In(save, "SaveGames\\0\\ABCD\\Players\\0002.sav"), "player two");
    WriteLong(In(save, "SaveGames\\0\\ABCD\\backup\\world\\2024.01.23-13.05.09\\Level.sav"),
              "snapshot");
    WriteLong(In(save, kReadOnly), "options");
    ::SetFileAttributesW(LongPath(In(save, kReadOnly)).c_str(), FILE_ATTRIBUTE_READONLY);
    // 300 characters below the save, the file's name included.
    longPath = "Deep";
    while (longPath.size() < 280) longPath += "\\" + std::string(40, 'd');
    longPath += "\\" + std::string(299 - longPath.size(), 'f');
    ASSERT_EQ(longPath.size(), 300u);
    WriteLong(In(save, longPath), "far down");
    WriteLong(tool.File("Elsewhere\\outside.sav"), "not part of the save");
    linked = MakeDirectoryLink(In(save, "Mods"), tool.File("Elsewhere"));
  }
  void TearDown() override {
    // The harness deletes the directory with paths it can reach; the engine reaches the rest.
    files.DeleteTree(tool.Path());
  }

  static std::string In(const std::string& root, const std::string& relative) {
    return root + "\\" + relative;
  }
  std::string PointSaved(const PointReport& report) const {
    return tool.File("PaLWorld_Saved_Backups\\" + report.folderName + "\\Saved");
  }
  PointReport Make() {
    return MakeBackupPoint(files, {tool.Path(), save, PointKind::Automatic, {}}, {});
  }

  testing::TempToolDirectory tool{"engine 存档"};
  WindowsBackupFiles files;
  std::string save;
  std::string longPath;
  bool linked = false;
};

TEST_F(CopyEngineOnDisk, APointIsAnExactCopyThatNeverFollowsALink) {
  ASSERT_TRUE(linked) << "no directory link could be made here";
  const PointReport report = Make();
  ASSERT_EQ(report.outcome, PointOutcome::Made) << report.failedPath;
  const std::string copy = PointSaved(report);

  for (const std::string& relative :
       {std::string(kLevel), std::string(kChinese), std::string(kReadOnly), longPath,
        std::string("SaveGames\\0\\ABCD\\backup\\world\\2024.01.23-13.05.09\\Level.sav")}) {
    EXPECT_EQ(ReadLong(In(copy, relative)), ReadLong(In(save, relative))) << relative;
    const Identity original = IdentityOf(In(save, relative));
    const Identity copied = IdentityOf(In(copy, relative));
    EXPECT_EQ(copied.lastWrite, original.lastWrite) << relative;
    EXPECT_FALSE(SameFile(copied, original)) << "the live save is never shared: " << relative;
  }
  EXPECT_NE(IdentityOf(In(copy, kReadOnly)).attributes & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(report.copiedFiles, 6);
  EXPECT_EQ(report.sharedFiles, 0);
  // The snapshot the copy read from is gone, and with it the second names of the live files.
  EXPECT_FALSE(
      files.Exists(tool.File("PaLWorld_Saved_Backups\\" + report.folderName + "\\Snapshot")));
  EXPECT_EQ(IdentityOf(In(save, kReadOnly)).links, 1u);
  EXPECT_NE(IdentityOf(In(save, kReadOnly)).attributes & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(IdentityOf(In(save, longPath)).links, 1u);

  EXPECT_FALSE(files.Exists(In(copy, "Mods")));
  EXPECT_FALSE(files.Exists(In(copy, "Mods\\outside.sav")));
  EXPECT_EQ(report.skippedLinks, std::vector<std::string>{"Mods"});
  EXPECT_EQ(ReadLong(tool.File("Elsewhere\\outside.sav")), "not part of the save");
}

TEST_F(CopyEngineOnDisk, TheNextPointSharesUnchangedFilesAndOutlivesTheFirst) {
  const PointReport first = Make();
  ASSERT_EQ(first.outcome, PointOutcome::Made) << first.failedPath;
  ::Sleep(20);
  WriteLong(In(save, kLevel), std::string(40000, 'M'));  // the server rewrote the world
  const PointReport second = Make();
  ASSERT_EQ(second.outcome, PointOutcome::Made) << second.failedPath;
  ASSERT_NE(second.folderName, first.folderName);
  EXPECT_EQ(second.copiedFiles, 1);
  EXPECT_EQ(second.sharedFiles, 5);
  EXPECT_EQ(second.bytesCopied, 40000u);

  const std::string a = PointSaved(first), b = PointSaved(second);
  for (const std::string& relative : {std::string(kChinese), std::string(kReadOnly), longPath}) {
    const Identity inFirst = IdentityOf(In(a, relative));
    const Identity inSecond = IdentityOf(In(b, relative));
    EXPECT_TRUE(SameFile(inFirst, inSecond)) << relative;
    EXPECT_EQ(inSecond.links, 2u) << relative;
  }
  EXPECT_FALSE(SameFile(IdentityOf(In(a, kLevel)), IdentityOf(In(b, kLevel))));
  EXPECT_EQ(IdentityOf(In(b, kLevel)).links, 1u);
  EXPECT_EQ(ReadLong(In(b, kLevel)), std::string(40000, 'M'));

  // Deleting the first point, read-only file and long path included, leaves the second whole.
  ASSERT_TRUE(DeleteWholePoint(files, tool.Path(), first.folderName));
  EXPECT_FALSE(files.Exists(tool.File("PaLWorld_Saved_Backups\\" + first.folderName)));
  EXPECT_FALSE(files.Exists(tool.File("PaLWorld_Saved_Backups\\" + first.folderName + ".partial")));
  EXPECT_EQ(ReadLong(In(b, kLevel)), std::string(40000, 'M'));
  EXPECT_EQ(ReadLong(In(b, kChinese)), "玩家一");
  EXPECT_EQ(ReadLong(In(b, longPath)), "far down");
  const Identity readOnly = IdentityOf(In(b, kReadOnly));
  EXPECT_EQ(readOnly.links, 1u);
  EXPECT_NE(readOnly.attributes & FILE_ATTRIBUTE_READONLY, 0u) << "its other name keeps it";
  EXPECT_EQ(ReadLong(In(b, kReadOnly)), "options");
}

TEST_F(CopyEngineOnDisk, ARestoreCopiesEverythingAndSharesNothing) {
  const PointReport point = Make();
  ASSERT_EQ(point.outcome, PointOutcome::Made);
  const std::string restored = tool.File("Restored");
  const CopyResult copy = CopyWholeTree(files, PointSaved(point), restored, {});
  ASSERT_TRUE(copy.complete) << copy.failedPath;
  EXPECT_EQ(copy.copiedFiles, 6);
  EXPECT_EQ(ReadLong(In(restored, longPath)), "far down");
  EXPECT_FALSE(
      SameFile(IdentityOf(In(restored, kChinese)), IdentityOf(In(PointSaved(point), kChinese))));
  EXPECT_EQ(IdentityOf(In(restored, kLevel)).lastWrite, IdentityOf(In(save, kLevel)).lastWrite);
}

// Hosts move their worlds to another disk and leave a link behind: the point reads through the
// link to the folder of worlds, but not through one that leads back up into it.
TEST(SaveBehindALink, APointHoldsTheWorldsTheLinkLeadsTo) {
  testing::TempToolDirectory tool{"linked save"};
  WindowsBackupFiles files;
  const std::string save = tool.File(kSave);
  const std::string elsewhere = tool.File("OtherDisk\\SaveGames");
  WriteLong(save + "\\Config\\WindowsServer\\PalWorldSettings.ini", "settings");
  WriteLong(elsewhere + "\\0\\ABCD\\Level.sav", "the world");
  ASSERT_TRUE(MakeDirectoryLink(save + "\\SaveGames", elsewhere))
      << "no directory link could be made here";
  ASSERT_TRUE(MakeDirectoryLink(elsewhere + "\\0\\Loop", elsewhere));

  const PointReport report = MakeBackupPoint(files, {tool.Path(), save, PointKind::Manual, {}}, {});
  ASSERT_EQ(report.outcome, PointOutcome::Made) << report.failedPath;
  const std::string copy = tool.File("PaLWorld_Saved_Backups\\" + report.folderName + "\\Saved");
  EXPECT_EQ(ReadLong(copy + "\\SaveGames\\0\\ABCD\\Level.sav"), "the world");
  EXPECT_FALSE(IsReparsePoint(copy + "\\SaveGames")) << "the point holds a folder, not a link";
  EXPECT_EQ(report.skippedLinks, std::vector<std::string>{"SaveGames\\0\\Loop"});

  // Deleting the point, or the live save, never reaches into the other disk.
  ASSERT_TRUE(DeleteWholePoint(files, tool.Path(), report.folderName));
  files.DeleteTree(save);
  EXPECT_EQ(ReadLong(elsewhere + "\\0\\ABCD\\Level.sav"), "the world");
}

// The server may delete, rename or rewrite a file while a point reads it: the copy's open allows
// all three, and fails only against a program that lets nobody read the file.
TEST(CopyOfAFileHeldOpen, ReadsWhateverTheHolderLetsOthersDo) {
  testing::TempToolDirectory tool("held");
  tool.WriteBytes("world.sav", "the world");
  WindowsBackupFiles files;
  const struct {
    const char* holder;
    DWORD access, sharing, code;
  } cases[] = {
      {"deleting or renaming it", DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
       ERROR_SUCCESS},
      {"writing it", GENERIC_WRITE, FILE_SHARE_READ, ERROR_SUCCESS},
      {"keeping it to itself", GENERIC_READ, 0, ERROR_SHARING_VIOLATION},
  };
  for (const auto& c : cases) {
    UniqueFileHandle held(::CreateFileW(Widen(tool.File("world.sav")).c_str(), c.access, c.sharing,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held) << c.holder;
    const std::string copy = tool.File(std::string(c.holder) + ".sav");
    const Outcome copied = files.CopyOneFile(tool.File("world.sav"), copy);
    EXPECT_EQ(copied ? ERROR_SUCCESS : copied.Error().code, c.code) << c.holder;
    EXPECT_EQ(ReadLong(copy), copied ? "the world" : "") << c.holder;
  }
}

// What the user reads after a failed copy or delete is Windows' own reason for it.
TEST(FailedFileOperations, SayWhyWithTheSystemsCodeAndWords) {
  testing::TempToolDirectory tool("why");
  tool.WriteBytes("held\\open.sav", "x");
  UniqueFileHandle held(::CreateFileW(Widen(tool.File("held\\open.sav")).c_str(), GENERIC_READ, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  tool.WriteBytes("taken.sav", "x");
  WindowsBackupFiles files;
  struct Case {
    const char* what;
    std::function<Outcome()> call;
    DWORD code;
  };
  const Case cases[] = {
      {"copy of a missing file",
       [&] { return files.CopyOneFile(tool.File("missing.sav"), tool.File("copy.sav")); },
       ERROR_FILE_NOT_FOUND},
      {"copy onto an existing file",
       [&] { return files.CopyOneFile(tool.File("taken.sav"), tool.File("taken.sav")); },
       ERROR_FILE_EXISTS},
      {"delete of a tree with a file held open",
       [&] { return files.DeleteTree(tool.File("held")); }, ERROR_SHARING_VIOLATION},
      {"rename of a missing folder",
       [&] { return files.Rename(tool.File("nowhere"), tool.File("elsewhere")); },
       ERROR_FILE_NOT_FOUND},
      {"listing of a missing folder",
       [&] {
         std::vector<DirectoryEntry> entries;
         return files.ListDirectory(tool.File("nowhere"), entries);
       },
       ERROR_PATH_NOT_FOUND},
  };
  for (const Case& c : cases) {
    const Outcome outcome = c.call();
    ASSERT_FALSE(outcome) << c.what;
    EXPECT_EQ(outcome.Error().code, c.code) << c.what;
    EXPECT_EQ(outcome.Error().text, SystemErrorOf(c.code).text) << c.what;
    EXPECT_FALSE(outcome.Error().text.empty()) << c.what;
    EXPECT_EQ(outcome.Error().text.find_last_of("\r\n"), std::string::npos) << c.what;
  }
}

}  // namespace
}  // namespace tidemoor
