#pragma once
// The settings window's decisions, apart from its controls: which rows the list holds, which
// editor a row gets, what the labels say, what value an edit stores and whether a save may go on.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "worldsettings/world_settings_text.h"

namespace tidemoor {

enum class ValueEditor { None, TextBox, NumberBox, CheckBox, ChoiceBox, TickBoxes };

// A list offers at most this many tick boxes; a longer one is edited as text.
inline constexpr size_t kMostTickBoxes = 6;

// What the window shows for the selected row.
struct RowView {
  ValueEditor editor = ValueEditor::None;
  std::string keyLabel;
  std::string helpLabel;
  std::string text;     // the edit box's content, for text and number rows
  bool ticked = false;  // the check box, for choice rows
  bool readOnly = false;
  // The choice box's entries, or the tick boxes' captions; the chosen entry (-1: none) or which
  // boxes are ticked.
  std::vector<std::string> choices;
  int chosen = -1;
  std::vector<bool> tickedChoices;
};

// A number row holding something else, which a save must not write.
struct SaveRefusal {
  int row;
  std::string message;  // " 「<项目名>」的值必须是数字 "
};

// What a number row's edit box lets the user type: digits, "-" and ".". Control keys such as
// backspace (below a blank) always pass.
bool IsNumberInput(char32_t character);

// A decimal number as the server reads one: an optional "-", digits and at most one ".", with at
// least one digit; blanks around it do not count.
bool IsNumberText(std::string_view text);

class WorldSettingsEditor {
 public:
  explicit WorldSettingsEditor(WorldSettings settings) : settings_(std::move(settings)) {}

  const WorldSettings& Settings() const { return settings_; }
  int EditedRow() const { return editedRow_; }

  // The list's rows: the settings' rows, then one per option the tool does not know, named by its
  // key and holding its value as the file spells it.
  int RowCount() const;
  SettingEntry ListedRow(int index) const;

  // A row became the selected one; -1 when none is. The row edited last stays the edited one
  // while nothing is selected.
  RowView SelectRow(int index);

  // Whether the edit box may take this content. A number row refuses a change that brings in
  // anything but digits, "-" and ".", however it came (pasted, dropped); deleting from a value
  // the file held with letters in it is still possible.
  bool AcceptsContent(std::string_view content) const;
  // The edit box's content last shown or accepted, to put back after a refused change.
  const std::string& BoxText() const { return boxText_; }

  // The user changed the edit box's content; returns the edited row's new value.
  const std::string& EditValue(std::string_view content);

  // The user clicked the check box, which now shows the given state; returns the new value.
  const std::string& TickValue(bool ticked);

  // The user picked entry `choice` of the choice box; returns the new value.
  const std::string& ChooseValue(int choice);

  // The user ticked or cleared tick box `choice` of a list row; returns the new value.
  const std::string& TickChoice(int choice, bool ticked);

  // The first row whose value a save must not write, if any.
  std::optional<SaveRefusal> RefuseSave() const;

 private:
  std::string& EditedValue();
  ValueKind EditedKind() const;
  std::vector<std::string> ListChoices(const SettingEntry& row) const;

  WorldSettings settings_;
  int editedRow_ = 0;
  std::string boxText_;
};

}  // namespace tidemoor
