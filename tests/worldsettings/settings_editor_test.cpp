#include "worldsettings/settings_editor.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

int Row(const WorldSettingsEditor& editor, std::string_view key) {
  return FindSettingRow(editor.Settings().Rows, key);
}

TEST(WorldSettingsEditor, ShowsTheEditorThatFitsTheRow) {
  WorldSettingsEditor editor{WorldSettings{}};
  const RowView day = editor.SelectRow(1);
  EXPECT_EQ(day.editor, ValueEditor::NumberBox);
  EXPECT_EQ(day.keyLabel, "DayTimeSpeedRate");
  EXPECT_EQ(day.helpLabel, "更改白天的持续时间，越小越长");
  EXPECT_EQ(day.text, "1.000000");

  EXPECT_EQ(editor.SelectRow(Row(editor, "Region")).editor, ValueEditor::TextBox);
  EXPECT_EQ(editor.SelectRow(Row(editor, "bIsPvP")).editor, ValueEditor::CheckBox);
  EXPECT_EQ(editor.EditedRow(), Row(editor, "bIsPvP"));

  const RowView none = editor.SelectRow(-1);
  EXPECT_EQ(none.editor, ValueEditor::None);
  EXPECT_EQ(none.keyLabel, "未选择项设置目");
  EXPECT_EQ(none.helpLabel, "请选择一个设置项目来查看它的帮助");
  EXPECT_EQ(editor.EditedRow(), Row(editor, "bIsPvP"));  // kept while nothing is selected
}

// The list's last row is a real row; one past it is no row at all and must neither be read nor
// become the row that edits land in.
TEST(WorldSettingsEditor, SelectsTheLastRowButNothingPastIt) {
  WorldSettingsEditor editor{WorldSettings{}};
  const int count = static_cast<int>(editor.Settings().Rows.size());
  ASSERT_EQ(editor.Settings().Rows.back().Key, "bShowPlayerList");

  const RowView last = editor.SelectRow(count - 1);
  EXPECT_EQ(last.editor, ValueEditor::CheckBox);
  EXPECT_EQ(last.keyLabel, "bShowPlayerList");
  EXPECT_TRUE(last.ticked);
  EXPECT_EQ(editor.EditedRow(), count - 1);

  for (const int pastTheEnd : {count, count + 1}) {
    const RowView none = editor.SelectRow(pastTheEnd);
    EXPECT_EQ(none.editor, ValueEditor::None) << pastTheEnd;
    EXPECT_EQ(none.keyLabel, "未选择项设置目") << pastTheEnd;
    EXPECT_EQ(editor.EditedRow(), count - 1) << pastTheEnd;
  }
  EXPECT_EQ(editor.TickValue(false), "False");
  EXPECT_EQ(editor.Settings().Rows.back().Value, "False");
}

TEST(WorldSettingsEditor, TicksChoicesThatSayTrueInAnyCase) {
  WorldSettings settings;
  const int row = FindSettingRow(settings.Rows, "bIsPvP");
  WorldSettingsEditor probe{settings};
  for (const auto& [value, ticked] :
       std::initializer_list<std::pair<const char*, bool>>{{"TRUE", true},
                                                           {"true", true},
                                                           {"isTrue", true},
                                                           {"False", false},
                                                           {"", false},
                                                           {"1", false}}) {
    settings.Rows[row].Value = value;
    WorldSettingsEditor editor{settings};
    EXPECT_EQ(editor.SelectRow(row).ticked, ticked) << value;
  }
  probe.SelectRow(row);
  EXPECT_EQ(probe.TickValue(true), "True");
  EXPECT_EQ(probe.TickValue(false), "False");
  EXPECT_EQ(probe.Settings().Rows[row].Value, "False");
}

TEST(WorldSettingsEditor, EmptiedBoxesStoreAStandIn) {
  WorldSettingsEditor editor{WorldSettings{}};
  editor.SelectRow(Row(editor, "ExpRate"));
  EXPECT_EQ(editor.EditValue(""), "0.00000");
  EXPECT_EQ(editor.EditValue("1.2.3"), "1.2.3");  // stored as typed

  editor.SelectRow(Row(editor, "ServerDescription"));
  EXPECT_EQ(editor.EditValue(""), "\"\"");
  EXPECT_EQ(editor.EditValue("我的服务器"), "我的服务器");

  editor.SelectRow(-1);  // edits still land in the row edited last
  editor.EditValue("x");
  EXPECT_EQ(editor.Settings().Rows[Row(editor, "ServerDescription")].Value, "x");
  EXPECT_EQ(editor.Settings().Rows[Row(editor, "ExpRate")].Value, "1.2.3");
}

TEST(WorldSettingsEditor, NumberRowsRefuseForeignCharacters) {
  for (char32_t c : {U'0', U'9', U'-', U'.', U'\b'})
    EXPECT_TRUE(IsNumberInput(c)) << static_cast<int>(c);
  for (char32_t c : {U'a', U',', U' ', U'１', U'。'})
    EXPECT_FALSE(IsNumberInput(c)) << static_cast<int>(c);

  WorldSettings settings;
  settings.Rows[FindSettingRow(settings.Rows, "RCONPort")].Value = "1e5";
  WorldSettingsEditor editor{settings};
  editor.SelectRow(Row(editor, "ExpRate"));
  EXPECT_TRUE(editor.AcceptsContent("-1.2.3"));
  EXPECT_FALSE(editor.AcceptsContent("1,5"));
  EXPECT_FALSE(editor.AcceptsContent("１"));

  editor.SelectRow(Row(editor, "RCONPort"));  // the file put a letter in it
  EXPECT_TRUE(editor.AcceptsContent("15"));
  EXPECT_TRUE(editor.AcceptsContent("1e55"));
  EXPECT_FALSE(editor.AcceptsContent("1ee5"));
  editor.EditValue("15");
  EXPECT_FALSE(editor.AcceptsContent("1e5"));
  EXPECT_EQ(editor.BoxText(), "15");

  editor.SelectRow(Row(editor, "Difficulty"));
  EXPECT_TRUE(editor.AcceptsContent("Hard, (very)"));
}

}  // namespace
}  // namespace tidemoor
