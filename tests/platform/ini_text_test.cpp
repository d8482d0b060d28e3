#include "platform/ini_text.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace tidemoor {
namespace {

TEST(IniRead, FindsTheKeyOnlyInTheFirstSectionOfItsName) {
  const std::string text =
      "Time=before any section\r\n"
      "[OTHER]\r\nTime=other\r\n"
      "[INFO]\r\nTime=first\r\nTime=second\r\n"
      "[INFO]\r\nTime=third\r\nLater=x\r\n";
  EXPECT_EQ(ReadIniValue(text, "INFO", "Time", "-"), "first");
  EXPECT_EQ(ReadIniValue(text, "OTHER", "Time", "-"), "other");
  EXPECT_EQ(ReadIniValue(text, "INFO", "Later", "-"), "-");
  EXPECT_EQ(ReadIniValue(text, "Missing", "Time", "-"), "-");
  EXPECT_EQ(ReadIniValue("", "INFO", "Time", "-"), "-");
}

TEST(IniRead, NamesMatchWithoutAsciiCaseAndBlanksAroundThem) {
  const std::string text =
      "  [ 服务器启动参数 ]  ; launch\r\n"
      "\tPort_Game \t=\t 8211 \t\r\n"
      "  server_name=Alpha=Beta\r\n";
  EXPECT_EQ(ReadIniValue(text, "服务器启动参数", "port_game", "-"), "8211");
  EXPECT_EQ(ReadIniValue(text, " 服务器启动参数\t", " PORT_GAME ", "-"), "8211");
  EXPECT_EQ(ReadIniValue(text, "服务器启动参数", "Server_Name", "-"), "Alpha=Beta");
  EXPECT_EQ(ReadIniValue(text, "服务器启动参", "Port_Game", "-"), "-");
}

TEST(IniRead, ValuesLikeTheProfileFunctionsGiveThem) {
  const std::string text =
      "[S]\r\n"
      "Double=\"a \"b\" c\"\r\n"
      "Single= 'x' \r\n"
      "Mixed=\"x'\r\n"
      "Lone=\"\r\n"
      "EmptyQuotes=''\r\n"
      "Empty=\r\n"
      "Wide=　全角　\r\n"
      "NoEquals\r\n"
      ";Comment=1\r\n";
  EXPECT_EQ(ReadIniValue(text, "S", "Double", "-"), "a \"b\" c");
  EXPECT_EQ(ReadIniValue(text, "S", "Single", "-"), "x");
  EXPECT_EQ(ReadIniValue(text, "S", "Mixed", "-"), "\"x'");
  EXPECT_EQ(ReadIniValue(text, "S", "Lone", "-"), "\"");
  EXPECT_EQ(ReadIniValue(text, "S", "EmptyQuotes", "-"), "");
  EXPECT_EQ(ReadIniValue(text, "S", "Empty", "-"), "") << "an empty value is still a value";
  EXPECT_EQ(ReadIniValue(text, "S", "Wide", "-"), "　全角　") << "only ASCII blanks are trimmed";
  EXPECT_EQ(ReadIniValue(text, "S", "NoEquals", "-"), "-");
  EXPECT_EQ(ReadIniValue(text, "S", ";Comment", "-"), "-");
  EXPECT_EQ(ReadIniValue(text, "S", "Missing", " 默认 \t "), " 默认");
  EXPECT_EQ(ReadIniValue(text, "S", "Missing", "   "), "");
}

TEST(IniRead, AnyLineBreakEndsALine) {
  for (const char* text : {"[A]\nk=1\n[B]\nk=2", "[A]\rk=1\r[B]\rk=2\r", "[A]\r\nk=1\n[B]\rk=2"}) {
    EXPECT_EQ(ReadIniValue(text, "A", "k", "-"), "1") << text;
    EXPECT_EQ(ReadIniValue(text, "B", "k", "-"), "2") << text;
  }
}

TEST(IniWrite, BuildsTheFileSectionBySection) {
  std::string text = WriteIniValue("", "INFO", "Time", "2024年1月23日13时5分9秒");
  EXPECT_EQ(text, "[INFO]\r\nTime=2024年1月23日13时5分9秒\r\n");

  text = WriteIniValue(text, "主程序设置", "Window_Title", "标题");
  EXPECT_EQ(text,
            "[INFO]\r\nTime=2024年1月23日13时5分9秒\r\n[主程序设置]\r\nWindow_Title=标题\r\n");

  text = WriteIniValue(text, "info", "Note", "x");
  text = WriteIniValue(text, "INFO", "time", "2024年1月23日");
  EXPECT_EQ(text,
            "[INFO]\r\nTime=2024年1月23日\r\nNote=x\r\n[主程序设置]\r\nWindow_Title=标题\r\n");

  EXPECT_EQ(WriteIniValue(text, "INFO", "Time", "2024年1月23日"), text) << "same value, same text";
}

// The key's own line becomes name=value in the key's spelling; nothing else moves.
TEST(IniWrite, LeavesEveryOtherLineAsItWas) {
  const std::string text =
      "; kept by hand\n"
      "\n"
      "[Main]   ; the window\n"
      "  ; the title follows\n"
      "   Window_TITLE   =   old   \r\n"
      "\n"
      "[Other]\r\n"
      "x = y\r\n";
  EXPECT_EQ(WriteIniValue(text, " main ", "window_title ", "new"),
            "; kept by hand\n"
            "\n"
            "[Main]   ; the window\n"
            "  ; the title follows\n"
            "Window_TITLE=new\r\n"
            "\n"
            "[Other]\r\n"
            "x = y\r\n");
}

TEST(IniWrite, NewKeyFollowsTheLastKeyOfItsSection) {
  // Blank lines and the comment that introduces the next section stay where they are.
  EXPECT_EQ(WriteIniValue("[A]\r\nk=1\r\n\r\n; about B\r\n[B]\r\nk=2\r\n", "A", "n", "v"),
            "[A]\r\nk=1\r\nn=v\r\n\r\n; about B\r\n[B]\r\nk=2\r\n");
  EXPECT_EQ(WriteIniValue("[A]\r\n\r\n[B]\r\n", "A", "n", "v"), "[A]\r\nn=v\r\n\r\n[B]\r\n");
  EXPECT_EQ(WriteIniValue("[A]\r\nk=1\r\n[A]\r\nn=old\r\n", "A", "n", "v"),
            "[A]\r\nk=1\r\nn=v\r\n[A]\r\nn=old\r\n")
      << "only the first section of a name is used";
  // A last line without a line break gets one before anything follows it.
  EXPECT_EQ(WriteIniValue("[A]\nk=1", "A", "n", "v"), "[A]\nk=1\r\nn=v\r\n");
  EXPECT_EQ(WriteIniValue("[A]", "A", "n", "v"), "[A]\r\nn=v\r\n");
  EXPECT_EQ(WriteIniValue("[A]\nk=1", "B", "n", "v"), "[A]\nk=1\r\n[B]\r\nn=v\r\n");
  EXPECT_EQ(WriteIniValue("[A]\nk=1", "A", "k", "2"), "[A]\nk=2");
}

TEST(IniWrite, ValuesComeBackAsTheProfileFunctionsReadThem) {
  for (const char* value : {"Alpha 【EU】", "a=b", "; not a comment", "", "中文　【标题】"}) {
    const std::string text = WriteIniValue("[S]\r\nk=old\r\n", "S", "k", value);
    EXPECT_EQ(ReadIniValue(text, "S", "k", "-"), value) << value;
  }
  const std::string quoted = WriteIniValue("", "S", "k", "\"My Server\"");
  EXPECT_EQ(quoted, "[S]\r\nk=\"My Server\"\r\n");
  EXPECT_EQ(ReadIniValue(quoted, "S", "k", "-"), "My Server");

  const std::string broken = WriteIniValue("[S]\r\nk=old\r\n", "S", "k", "first\r\n[S]\r\nk=x");
  EXPECT_EQ(broken, "[S]\r\nk=first\r\n") << "a line break cannot add lines";
}

TEST(GbkPrefix, NeverEndsInsideADoubleByteCharacter) {
  const std::string text = "a\xD6\xD0\xCE\xC4";  // a中文
  EXPECT_EQ(GbkPrefix(text, 10), text);
  EXPECT_EQ(GbkPrefix(text, 5), text);
  EXPECT_EQ(GbkPrefix(text, 4), "a\xD6\xD0");
  EXPECT_EQ(GbkPrefix(text, 2), "a");
  EXPECT_EQ(GbkPrefix(text, 0), "");
  EXPECT_EQ(GbkPrefix("\xD6\xD0"
                      "abc",
                      3),
            "\xD6\xD0"
            "a")
      << "ASCII after a pair";
  EXPECT_EQ(GbkPrefix("\x80\xFF"
                      "a",
                      2),
            "\x80\xFF")
      << "single-byte characters";
  EXPECT_EQ(GbkPrefix("ab\xD6", 3), "ab\xD6") << "a lead byte at the very end stands alone";
}

}  // namespace
}  // namespace tidemoor
