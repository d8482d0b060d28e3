#include "worldsettings/settings_editor.h"

#include <algorithm>

#include "platform/text.h"

namespace tidemoor {
namespace {

size_t ForeignToNumbers(std::string_view text) {
  return std::count_if(text.begin(), text.end(),
                       [](char c) { return !IsNumberInput(static_cast<unsigned char>(c)); });
}

}  // namespace

bool IsNumberInput(char32_t character) {
  return character < U' ' || (character >= U'0' && character <= U'9') || character == U'-' ||
         character == U'.';
}

RowView WorldSettingsEditor::SelectRow(int index) {
  if (index < 0 || index >= static_cast<int>(settings_.Rows.size())) {
    return RowView{ValueEditor::None, "未选择项设置目", "请选择一个设置项目来查看它的帮助"};
  }
  editedRow_ = index;
  const SettingEntry& row = settings_.Rows[index];
  RowView view{ValueEditor::None, row.Key, row.Help};
  switch (ParseValueKind(row.Kind)) {
    case ValueKind::Text:
      view.editor = ValueEditor::TextBox;
      view.text = boxText_ = row.Value;
      break;
    case ValueKind::Number:
      view.editor = ValueEditor::NumberBox;
      view.text = boxText_ = row.Value;
      break;
    case ValueKind::Choice:
      view.editor = ValueEditor::CheckBox;
      view.ticked = FindIgnoringCase(row.Value, "true") != std::string_view::npos;
      break;
  }
  return view;
}

bool WorldSettingsEditor::AcceptsContent(std::string_view content) const {
  if (ParseValueKind(settings_.Rows[editedRow_].Kind) != ValueKind::Number) return true;
  return ForeignToNumbers(content) <= ForeignToNumbers(boxText_);
}

const std::string& WorldSettingsEditor::EditValue(std::string_view content) {
  boxText_ = content;
  // An emptied box still leaves a value for the file: an empty quoted text, or zero.
  const bool isText = ParseValueKind(Edited().Kind) == ValueKind::Text;
  Edited().Value = !content.empty() ? std::string(content) : isText ? "\"\"" : "0.00000";
  return Edited().Value;
}

const std::string& WorldSettingsEditor::TickValue(bool ticked) {
  Edited().Value = ticked ? "True" : "False";
  return Edited().Value;
}

}  // namespace tidemoor
