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
      {u"D:\\服务器", u"D:\\服务器\\\\", true},
      {u"D:\\PALSERVER", u"D:\\PALSERVER2", false},
      {u"D:\\PALSERVER", u"E:\\PALSERVER", false},
      {u"D:\\A\\B", u"D:\\AB", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SingleToolObjectName(c.a) == SingleToolObjectName(c.b), c.same)
        << SingleToolObjectName(c.a) << " " << SingleToolObjectName(c.b);
  }
  EXPECT_TRUE(SingleToolObjectName(u"C:\\TOOLS").starts_with("Global\\Tidemoor-"));
}

}  // namespace
}  // namespace tidemoor
