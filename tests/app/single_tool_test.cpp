#include "app/single_tool.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(SingleTool, OneNamePerFolderWhateverItsTrailingBackslash) {
  struct Case {
    std::u16string a;
    std::u16string b;
    bool same;
  };
  const Case cases[] = {
      {u"D:\\PALSERVER", u"D:\\PALSERVER\\", true},
      {u"D:\\PALSERVER", u"D:\\PALSERVER\\\\", true},
      {u"D:\\PALSERVER", u"D:\\PALSERVER2", false},
      {u"D:\\PALSERVER", u"E:\\PALSERVER", false},
      {u"D:\\服务器", u"D:\\服务器\\", true},
      {u"D:\\服务器", u"D:\\服务", false},
      {u"D:\\A\\B", u"D:\\AB", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SingleToolObjectName(c.a) == SingleToolObjectName(c.b), c.same)
        << SingleToolObjectName(c.a) << " " << SingleToolObjectName(c.b);
  }
  const std::string name = SingleToolObjectName(u"C:\\TOOLS\\TIDEMOOR");
  ASSERT_EQ(name.size(), std::string("Global\\Tidemoor-").size() + 16);
  EXPECT_TRUE(name.starts_with("Global\\Tidemoor-"));
  EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 16), std::string::npos) << name;
}

}  // namespace
}  // namespace tidemoor
