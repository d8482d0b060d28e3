#include "server/crash_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemoor {
namespace {

std::string Utf16Le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(CrashReport, TheContextGivesItsTypeAndMessageWithReferencesUndone) {
  const std::string unreal =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<FGenericCrashContext>\r\n"
      "\t<RuntimeProperties>\r\n\t\t<CrashVersion>3</CrashVersion>\r\n"
      "\t\t<CrashTypeName>x</CrashTypeName>\r\n\t\t<CrashType>Crash</CrashType>\r\n"
      "\t\t<ErrorMessage>Save data is corrupted. Please restore from a backup</ErrorMessage>\r\n"
      "\t\t<CrashReporterMessage />\r\n\t</RuntimeProperties>\r\n</FGenericCrashContext>\r\n";
  struct Case {
    std::string text;
    bool found;
    std::string type;
    std::string message;
  };
  const Case cases[] = {
      {unreal, true, "Crash", "Save data is corrupted. Please restore from a backup"},
      {"\xEF\xBB\xBF<R><ErrorMessage>\n  a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos;  \n"
       "</ErrorMessage></R>",
       true, "", "a & b <c> \"d\" 'e'"},
      {"<R><ErrorMessage>&#20013;&#x6587; &#x1F600; &#0; &bogus; &amp</ErrorMessage></R>", true, "",
       "中文 😀 \xEF\xBF\xBD &bogus; &amp"},
      {Utf16Le(u"<R><CrashType>Assert</CrashType><ErrorMessage>存档损坏</ErrorMessage></R>"), true,
       "Assert", "存档损坏"},
      {"<R><ErrorMessageExtra>no</ErrorMessageExtra><ErrorMessage "
       "kind=\"x\">yes</ErrorMessage></R>",
       true, "", "yes"},
      {"", false, "", ""},
      {"MDMP\x93\xA7 binary minidump", false, "", ""},
      {"ErrorMessage: <ErrorMessage>not xml</ErrorMessage>", false, "", ""},
      {"<R><ErrorMessage /><CrashType>Crash</CrashType></R>", false, "", ""},
      {"<R><ErrorMessage>  </ErrorMessage></R>", false, "", ""},
      {"<R><ErrorMessage>cut off", false, "", ""},
      {"<R><CrashType>Crash</CrashType></R>", false, "", ""},
  };
  for (const Case& c : cases) {
    const std::optional<CrashReport> report = ParseCrashContext(c.text);
    ASSERT_EQ(report.has_value(), c.found) << c.text;
    if (!report) continue;
    EXPECT_EQ(report->type, c.type) << c.text;
    EXPECT_EQ(report->message, c.message) << c.text;
  }
}

TEST(CrashReport, TheNewestCrashFolderSinceTheLaunchIsChosen) {
  struct Case {
    std::vector<CrashFolder> folders;
    std::optional<std::string> chosen;
  };
  const Case cases[] = {
      {{}, std::nullopt},
      {{{"UECC-Windows-A", 99}}, std::nullopt},
      {{{"UECC-Windows-A", 100}}, "UECC-Windows-A"},
      {{{"UECC-A", 150}, {"UECC-B", 300}, {"UECC-C", 200}}, "UECC-B"},
      {{{"Dumps", 500}, {"uecc-lower", 120}}, "uecc-lower"},
      {{{"UECC-A", 200}, {"UECC-B", 200}}, "UECC-B"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NewestCrashFolder(c.folders, 100), c.chosen) << c.folders.size();
  }
}

TEST(CrashReport, TheShownMessageIsEscapedAndCutWithAnEllipsis) {
  struct Case {
    std::string message;
    size_t characters;
    std::string shown;
  };
  const Case cases[] = {
      {"short", 5, "short"},
      {"longer", 5, "long…"},
      {"存档已损坏了", 5, "存档已损…"},
      {"line\r\nbreak", 60, "line\\r\\nbreak"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShownCrashMessage(CrashReport{"UECC-A", "", c.message}, c.characters), c.shown);
  }
  EXPECT_TRUE(ReportsCorruptSave({"", "", "Save data is CORRUPTED. Please restore"}));
  EXPECT_FALSE(ReportsCorruptSave({"", "", "Out of video memory"}));
}

}  // namespace
}  // namespace tidemoor
