#include "mods/steam_library.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/text.h"

namespace tidemoor {
namespace {

TEST(SteamLibrary, TheSteamFolderAndTheListedLibrariesEachOnce) {
  // As Steam writes it: every backslash doubled.
  const std::string today = R"("libraryfolders" {
    "0" { "path" "C:\\Program Files (x86)\\Steam" "label" "" "apps" { "1623730" "12345" } }
    "1" { "path" "D:\\SteamLibrary" } "2" { "path" "E:\\" } })";
  const struct {
    const char* what;
    std::string steamPath;
    std::optional<std::string_view> file;
    std::string folders;  // a bar between them
  } cases[] = {
      {"the registry's path and today's file", "c:/program files (x86)/steam", today,
       "c:\\program files (x86)\\steam|D:\\SteamLibrary|E:\\"},
      {"no file: the Steam folder is a library all the same", "c:/steam/", std::nullopt,
       "c:\\steam"},
      {"a file that is not VDF", "C:/Steam", "<html>", "C:\\Steam"},
      {"the file of older Steam clients", "C:/Steam",
       R"("LibraryFolders" { "TimeNextStatsReport" "1700000000" "1" "D:\\Games\\Steam"
           "2" "d:\\games\\steam\\" })",
       "C:\\Steam|D:\\Games\\Steam"},
      {"blocks without a path, empty paths, keys that are not numbers", "C:/Steam",
       R"("libraryfolders" { "0" { "label" "x" } "1" { "path" "" } "contentstatsid" "5"
           "2" { "path" "F:\\Lib" } })",
       "C:\\Steam|F:\\Lib"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JoinTexts(SteamLibraryFolders(c.steamPath, c.file), "|"), c.folders) << c.what;
  }
}

TEST(SteamLibrary, AnItemFolderLaidOutAsSteamDoesHasItsItemsFileBesideIt) {
  EXPECT_EQ(WorkshopContentDir("E:\\"), "E:\\steamapps\\workshop\\content\\1623730");
  EXPECT_EQ(WorkshopItemsFile("D:/Lib/"), "D:\\Lib\\steamapps\\workshop\\appworkshop_1623730.acf");
  const struct {
    const char* folder;
    std::optional<std::string> file;
  } cases[] = {
      {"C:\\SteamCMD\\steamapps\\workshop\\content\\1623730\\3456789012",
       "C:\\SteamCMD\\steamapps\\workshop\\appworkshop_1623730.acf"},
      {"c:/steamcmd/SteamApps/Workshop/Content/1623730/3456789012/",
       "c:\\steamcmd\\steamapps\\workshop\\appworkshop_1623730.acf"},
      {"C:\\SteamCMD\\steamapps\\workshop\\content\\999\\3456789012", std::nullopt},
      {"C:\\SteamCMD\\steamapps\\workshop\\content\\1623730\\Mine", std::nullopt},
      {"steamapps\\workshop\\content\\1623730", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(WorkshopItemsFileOf(c.folder), c.file) << c.folder;
}

TEST(SteamLibrary, WorkshopTimesComeFromTheInstalledItems) {
  constexpr char acf[] = R"("AppWorkshop" { "appid" "1623730"
    "WorkshopItemsInstalled" {
      "3456789012" { "size" "1048576" "timeupdated" "1751000000" "manifest" "99" }
      "3456789013" { "size" "2" } "3456789014" { "timeupdated" "soon" }
      "notanid" { "timeupdated" "5" } }
    "WorkshopItemDetails" { "3456789012" { "timeupdated" "1760000000" } } })";
  EXPECT_EQ(WorkshopItemTimes(acf), (std::map<std::string, uint64_t>{{"3456789012", 1751000000}}));
  EXPECT_TRUE(WorkshopItemTimes(R"("AppWorkshop" { "WorkshopItemsInstalled" )").empty());
  EXPECT_TRUE(WorkshopItemTimes(R"("AppWorkshop" { "WorkshopItemsInstalled" "x" })").empty());
}

TEST(SteamLibrary, AWorkshopItemIsNamedByItsIdOrItsAddress) {
  const std::string address = "https://steamcommunity.com/sharedfiles/filedetails/?id=";
  for (const std::string& pasted : std::vector<std::string>{
           "3456789012", "  3456789012\r\n", "３４５６７８９０１２", "003456789012",
           address + "3456789012&searchtext=",
           "https://steamcommunity.com/workshop/filedetails/?id=3456789012",
           "http://steamcommunity.com/sharedfiles/filedetails?l=schinese&id=3456789012#comments",
           "steamcommunity.com/sharedfiles/filedetails/?id=3456789012",
           "HTTPS://SteamCommunity.com/SharedFiles/FileDetails/?id=3456789012"}) {
    EXPECT_EQ(WorkshopItemId(pasted), "3456789012") << pasted;
  }
  for (const std::string& pasted : std::vector<std::string>{
           "https://steamcommunity.com/sharedfiles/filedetails/?appid=1623730", address + "34567x",
           address,
           "https://steamcommunity.com.evil.example/sharedfiles/filedetails/?id=3456789012",
           "https://evil.example/steamcommunity.com/sharedfiles/filedetails/?id=1",
           "https://steamcommunity.com/app/1623730/workshop/?id=3456789012", "-3456789012", "0", "",
           "123456789012345678901", "34 56"}) {
    EXPECT_EQ(WorkshopItemId(pasted), std::nullopt) << pasted;
  }
}

}  // namespace
}  // namespace tidemoor
