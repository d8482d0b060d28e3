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

WorldSettingsEditor EditorOn(std::string_view fileText) {
  WorldSettings settings;
  ApplyWorldSettingsText(fileText, settings);
  return WorldSettingsEditor{std::move(settings)};
}

TEST(WorldSettingsEditor, EachKindGetsItsEditor) {
  struct Case {
    const char* file;
    ValueEditor editor;
    std::vector<std::string> choices;
    int chosen;
    std::vector<bool> ticked;
    bool readOnly;
  };
  using E = ValueEditor;
  for (const Case& c : std::initializer_list<Case>{
           {"RandomizerType=Region", E::ChoiceBox, {"None", "Region", "All"}, 1, {}, false},
           {"LogFormatType=json", E::ChoiceBox, {"Text", "Json"}, 1, {}, false},
           {"LogFormatType=Xml", E::ChoiceBox, {"Text", "Json", "Xml"}, 2, {}, false},
           {"CrossplayPlatforms=(Steam,PS5)",
            E::TickBoxes,
            {"Steam", "Xbox", "PS5", "Mac"},
            -1,
            {true, false, true, false},
            false},
           {"CrossplayPlatforms=(steam,Switch)",
            E::TickBoxes,
            {"Steam", "Xbox", "PS5", "Mac", "Switch"},
            -1,
            {true, false, false, false, true},
            false},
           {"CrossplayPlatforms=(A,B,C,D,E,F)", E::TextBox, {}, -1, {}, false},
           {"DenyTechnologyList=", E::TextBox, {}, -1, {}, false},
           {"ServerName=\"x\"", E::TextBox, {}, -1, {}, true},
           {"AdminPassword=\"x\"", E::TextBox, {}, -1, {}, true},
           {"PublicIP=\"\"", E::TextBox, {}, -1, {}, false},
           {"bHardcore=True", E::CheckBox, {}, -1, {}, false},
           {"AutoSaveSpan=30", E::NumberBox, {}, -1, {}, false},
           {"FutureOption=(1,2)", E::TextBox, {}, -1, {}, false}}) {
    WorldSettingsEditor editor = EditorOn(std::string("OptionSettings=(") + c.file + ")");
    const RowView view = editor.SelectRow(editor.RowCount() - 1);
    EXPECT_EQ(view.editor, c.editor) << c.file;
    EXPECT_EQ(view.choices, c.choices) << c.file;
    if (c.editor == E::ChoiceBox) {
      EXPECT_EQ(view.chosen, c.chosen) << c.file;
    }
    EXPECT_EQ(view.tickedChoices, c.ticked) << c.file;
    EXPECT_EQ(view.readOnly, c.readOnly) << c.file;
  }
}

TEST(WorldSettingsEditor, TickBoxesAndChoicesWriteTheValue) {
  WorldSettingsEditor editor =
      EditorOn("OptionSettings=(CrossplayPlatforms=(Steam,Mac),LogFormatType=Text)");
  const int list = editor.RowCount() - 2;
  editor.SelectRow(list);
  EXPECT_EQ(editor.TickChoice(1, true), "(Steam,Xbox,Mac)");
  EXPECT_EQ(editor.TickChoice(0, false), "(Xbox,Mac)");
  EXPECT_EQ(editor.TickChoice(9, true), "(Xbox,Mac)");
  EXPECT_EQ(editor.TickChoice(1, false), "(Mac)");
  EXPECT_EQ(editor.TickChoice(3, false), "()");

  editor.SelectRow(list + 1);
  EXPECT_EQ(editor.ChooseValue(1), "Json");
  EXPECT_EQ(editor.ChooseValue(-1), "Json");
}

TEST(WorldSettingsEditor, RefusesToSaveANumberRowThatHoldsNoNumber) {
  for (const char* number : {"0", "-1", "1.000000", "15000.", ".5", " 1 "}) {
    EXPECT_TRUE(IsNumberText(number)) << number;
  }
  for (const char* other : {"", "-", ".", "1.2.3", "1e5", "--1", "1-", "1 2", "１"}) {
    EXPECT_FALSE(IsNumberText(other)) << other;
  }
  WorldSettingsEditor editor = EditorOn("OptionSettings=(AutoSaveSpan=30,ServerName=\"s\")");
  EXPECT_FALSE(editor.RefuseSave());
  editor.SelectRow(57);
  editor.EditValue("3.0.");
  ASSERT_TRUE(editor.RefuseSave());
  EXPECT_EQ(editor.RefuseSave()->row, 57);
  EXPECT_EQ(editor.RefuseSave()->message, " 「自动存档间隔（秒）」的值必须是数字 ");
  editor.SelectRow(3);
  editor.EditValue("1.2.3");  // an earlier row is named first
  EXPECT_EQ(editor.RefuseSave()->message, " 「玩家经验值获取倍率」的值必须是数字 ");
}

// The main window writes the server name and passwords before each start; the settings window
// neither edits them nor saves the values it read over newer ones.
TEST(WorldSettingsEditor, ValuesWrittenAtStartKeepTheFilesValue) {
  WorldSettingsEditor editor = EditorOn("OptionSettings=(ServerName=\"Old\")");
  editor.SelectRow(57);
  EXPECT_EQ(editor.EditValue("Mine"), "\"Old\"");

  WorldSettings toSave = editor.Settings();
  WorldSettings onDisk;
  ApplyWorldSettingsText("OptionSettings=(ServerName=\"New\",AdminPassword=\"pw\")", onDisk);
  KeepValuesWrittenAtStart(onDisk, toSave);
  const std::string saved = WorldSettingsFileText(toSave);
  EXPECT_NE(saved.find(",ServerName=\"New\",AdminPassword=\"pw\")"), std::string::npos);
}

TEST(WorldSettingsEditor, EditsOfUnknownOptionsAreWrittenSafely) {
  for (const auto& [typed, written] :
       std::initializer_list<std::pair<const char*, const char*>>{{"\"a, (b)\"", "\"a, (b)\""},
                                                                  {"\"a\\\"b\"", "\"a\\\"b\""},
                                                                  {"\"a\"b\"", "＂a＂b＂"},
                                                                  {"( x, y )", "(x,y)"},
                                                                  {"a,b(", "a，b（"},
                                                                  {"", ""}}) {
    WorldSettingsEditor editor = EditorOn("OptionSettings=(Future=1)");
    editor.SelectRow(57);
    EXPECT_EQ(editor.EditValue(typed), written) << typed;
    EXPECT_EQ(editor.ListedRow(57).Value, written) << typed;
  }
}

}  // namespace
}  // namespace tidemoor
