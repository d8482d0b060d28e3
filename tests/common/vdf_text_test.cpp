#include "common/vdf_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tidemoor {
namespace {

// The build id as an app manifest (steamapps\appmanifest_<app>.acf) holds it.
std::optional<uint64_t> ManifestBuild(std::string_view text) {
  const std::optional<VdfBlock> block = ReadVdf(text);
  if (!block) return std::nullopt;
  return VdfNumber(VdfValue(*block, {"AppState", "buildid"}));
}

TEST(VdfText, ValuesAreFoundOnlyInWellFormedText) {
  struct Case {
    const char* what;
    std::string text;
    std::optional<uint64_t> build;
  };
  const std::string deep = std::string(5000, '{');
  const Case cases[] = {
      {"keys without case, unquoted tokens, a platform condition and comments",
       "// written by Steam\nappstate { BuildID 42 [$WIN32] // now\n }", 42},
      {"escaped quote and backslash inside a value before the build",
       R"("AppState" { "name" "a \"b\" \\ c" "buildid" "7" })", 7},
      {"build id not a number", R"("AppState" { "buildid" "12ab" })", std::nullopt},
      {"build id empty", R"("AppState" { "buildid" "" })", std::nullopt},
      {"build id is a block", R"("AppState" { "buildid" { } })", std::nullopt},
      {"build id out of range", R"("AppState" { "buildid" "99999999999999999999999" })",
       std::nullopt},
      {"key without a value", R"("AppState" { "buildid" })", std::nullopt},
      {"closing brace missing", R"("AppState" { "buildid" "5" )", std::nullopt},
      {"one brace too many", R"("AppState" { "buildid" "5" } })", std::nullopt},
      {"quote never closed", R"("AppState" { "buildid" "5)", std::nullopt},
      {"condition never closed", R"("AppState" { "buildid" "5" [$WIN32 })", std::nullopt},
      {"condition never closed after the block", R"("AppState" { "buildid" "5" } [$WIN32)",
       std::nullopt},
      {"an escaped tab is a tab, not a letter", R"("AppS\tate" { "buildid" "5" })", std::nullopt},
      {"deep nesting as a manifest", "\"AppState\" " + deep, std::nullopt},
      {"binary garbage", std::string("\0\xff\"{\x01}\\", 8), std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ManifestBuild(c.text), c.build) << c.what;
}

// Steam doubles every backslash of a path in libraryfolders.vdf and escapes quotes.
TEST(VdfText, QuotedTextLosesItsEscapesAsSteamWritesThem) {
  const struct {
    const char* file;
    std::optional<std::string> value;
  } cases[] = {
      {R"("l" { "path" "C:\\Program Files (x86)\\Steam" })", R"(C:\Program Files (x86)\Steam)"},
      {R"("l" { "path" "D:\\new\\tools\\" })", R"(D:\new\tools\)"},
      {R"("l" { "path" "say \"hi\"" })", R"(say "hi")"},
      {R"("l" { "path" "a\nb" })", "a\nb"},
      {R"("l" { "path" "unescaped\" })", std::nullopt},  // the quote is part of the text
  };
  for (const auto& c : cases) {
    const std::optional<VdfBlock> block = ReadVdf(c.file);
    EXPECT_EQ(block ? VdfValue(*block, {"l", "path"}) : std::nullopt, c.value) << c.file;
  }
}

// Nesting is read to 32 levels and refused past them, wherever it lies in the manifest.
TEST(VdfText, NestingIsReadToItsLimitExactly) {
  const auto manifest = [](int blocks) {
    // AppState's block is the first level; the others nest beside the build id.
    std::string text = "\"AppState\" { \"buildid\" \"5\" ";
    for (int i = 1; i < blocks; ++i) text += "\"d\" { ";
    for (int i = 1; i < blocks; ++i) text += "} ";
    return text + "}";
  };
  const struct {
    int blocks;
    std::optional<uint64_t> build;
  } cases[] = {{1, 5}, {32, 5}, {33, std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ManifestBuild(manifest(c.blocks)), c.build) << c.blocks;
}

}  // namespace
}  // namespace tidemoor
