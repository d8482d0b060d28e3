#pragma once
// The settings window's decisions, apart from its controls: which editor a row gets, what the
// labels say, and what value an edit stores.

#include <string>
#include <string_view>

#include "worldsettings/world_settings_text.h"

namespace tidemoor {

enum class ValueEditor { None, TextBox, NumberBox, CheckBox };

// What the window shows for the selected row.
struct RowView {
  ValueEditor editor = ValueEditor::None;
  std::string keyLabel;
  std::string helpLabel;
  std::string text;     // the edit box's content, for text and number rows
  bool ticked = false;  // the check box, for choice rows
};

// What a number row's edit box lets the user type: digits, "-" and ".". Control keys such as
// backspace (below a blank) always pass.
bool IsNumberInput(char32_t character);

class WorldSettingsEditor {
 public:
  explicit WorldSettingsEditor(WorldSettings settings) : settings_(std::move(settings)) {}

  const WorldSettings& Settings() const { return settings_; }
  int EditedRow() const { return editedRow_; }

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

 private:
  SettingEntry& Edited() { return settings_.Rows[editedRow_]; }

  WorldSettings settings_;
  int editedRow_ = 0;
  std::string boxText_;
};

}  // namespace tidemoor
