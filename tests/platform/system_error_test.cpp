#include "platform/system_error.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

// The number beside Windows' words is what a host searches for: a Win32 code is shown as the
// HRESULT it becomes, an HRESULT (a COM call's) as it is.
TEST(WithCause, KeepsTheNumberWithWindowsWords) {
  const struct {
    SystemError error;
    std::string text;
  } cases[] = {
      {{5, "拒绝访问。"}, "无法复制 D:\\a (拒绝访问。 (0x80070005))"},
      {{2, "系统找不到指定的文件。"}, "无法复制 D:\\a (系统找不到指定的文件。 (0x80070002))"},
      {{1223, "操作已被用户取消。"}, "无法复制 D:\\a (操作已被用户取消。 (0x800704C7))"},
      {{0x80070005, "拒绝访问。"}, "无法复制 D:\\a (拒绝访问。 (0x80070005))"},
      {{0x80040154, "没有注册类"}, "无法复制 D:\\a (没有注册类 (0x80040154))"},
      {{0xE0001234, "错误代码 3758101044"}, "无法复制 D:\\a (错误代码 3758101044 (0xE0001234))"},
      {{0, "磁盘已满"}, "无法复制 D:\\a (磁盘已满)"},
      {{5, ""}, "无法复制 D:\\a"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithCause("无法复制 D:\\a", c.error), c.text) << c.text;
}

}  // namespace
}  // namespace tidemoor
