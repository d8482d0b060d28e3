#include "worldsettings/settings_editor.h"

#include <algorithm>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr char kUnknownOptionHelp[] =
    "本工具尚未收录的设置项目 - 其值按服务端设置文件的写法编辑（文本请加双引号）";

size_t ForeignToNumbers(std::string_view text) {
  return std::count_if(text.begin(), text.end(),
                       [](char c) { return !IsNumberInput(static_cast<unsigned char>(c)); });
}

int IndexIgnoringCase(const std::vector<std::string>& words, std::string_view word) {
  for (size_t i = 0; i < words.size(); ++i) {
    if (EqualsIgnoringCase(words[i], word)) return static_cast<int>(i);
  }
  return -1;
}

// The words of a list value, read from its normal form "(a,b)".
std::vector<std::string> ListWords(std::string_view key, std::string_view value) {
  const std::string normal = NormalizeRowValue(key, value);
  std::vector<std::string> words;
  if (normal.size() <= 2) return words;
  const std::string_view inner = std::string_view(normal).substr(1, normal.size() - 2);
  size_t start = 0;
  for (size_t comma = 0; comma != std::string_view::npos; start = comma + 1) {
    comma = inner.find(',', start);
    words.emplace_back(inner.substr(start, comma - start));
  }
  return words;
}

}  // namespace

bool IsNumberInput(char32_t character) {
  return character < U' ' || (character >= U'0' && character <= U'9') || character == U'-' ||
         character == U'.';
}

bool IsNumberText(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  const auto digits =
      std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const auto points = std::count(text.begin(), text.end(), '.');
  return digits > 0 && points <= 1 && static_cast<size_t>(digits + points) == text.size();
}

int WorldSettingsEditor::RowCount() const {
  return static_cast<int>(settings_.Rows.size() + settings_.OtherPairs.size());
}

SettingEntry WorldSettingsEditor::ListedRow(int index) const {
  if (index < static_cast<int>(settings_.Rows.size())) return settings_.Rows[index];
  const OptionPair& pair = settings_.OtherPairs[index - settings_.Rows.size()];
  return SettingEntry{pair.Key, pair.Key, kUnknownOptionHelp,
                      std::string(ValueKindText(ValueKind::Text)), pair.Value};
}

// A list's tick boxes: the words the game documents, then any other word the value holds.
std::vector<std::string> WorldSettingsEditor::ListChoices(const SettingEntry& row) const {
  std::vector<std::string> choices = row.Choices;
  for (std::string& word : ListWords(row.Key, row.Value)) {
    if (IndexIgnoringCase(choices, word) < 0) choices.push_back(std::move(word));
  }
  return choices;
}

RowView WorldSettingsEditor::SelectRow(int index) {
  if (index < 0 || index >= RowCount()) {
    return RowView{ValueEditor::None, "未选择项设置目", "请选择一个设置项目来查看它的帮助"};
  }
  editedRow_ = index;
  const SettingEntry row = ListedRow(index);
  RowView view{ValueEditor::None, row.Key, row.Help};
  const bool isRow = index < static_cast<int>(settings_.Rows.size());
  switch (ParseValueKind(row.Kind)) {
    case ValueKind::Text:
      view.editor = ValueEditor::TextBox;
      view.readOnly = isRow && IsWrittenAtStart(row.Key);
      break;
    case ValueKind::Number:
      view.editor = ValueEditor::NumberBox;
      break;
    case ValueKind::Choice:
      view.editor = ValueEditor::CheckBox;
      view.ticked = FindIgnoringCase(row.Value, "true") != std::string_view::npos;
      return view;
    case ValueKind::Enumeration:
      view.editor = ValueEditor::ChoiceBox;
      view.choices = row.Choices;
      // A value the catalogue does not list is offered too, so showing it never changes it.
      view.chosen = IndexIgnoringCase(view.choices, row.Value);
      if (view.chosen < 0 && !row.Value.empty()) {
        view.choices.push_back(row.Value);
        view.chosen = static_cast<int>(view.choices.size()) - 1;
      }
      return view;
    case ValueKind::List:
      view.choices = ListChoices(row);
      if (row.Choices.empty() || view.choices.size() > kMostTickBoxes) {
        view.choices.clear();
        view.editor = ValueEditor::TextBox;
        break;
      }
      view.editor = ValueEditor::TickBoxes;
      view.tickedChoices.assign(view.choices.size(), false);
      for (const std::string& word : ListWords(row.Key, row.Value)) {
        view.tickedChoices[IndexIgnoringCase(view.choices, word)] = true;
      }
      return view;
  }
  view.text = boxText_ = row.Value;
  return view;
}

bool WorldSettingsEditor::AcceptsContent(std::string_view content) const {
  if (EditedKind() != ValueKind::Number) return true;
  return ForeignToNumbers(content) <= ForeignToNumbers(boxText_);
}

std::string& WorldSettingsEditor::EditedValue() {
  if (editedRow_ < static_cast<int>(settings_.Rows.size())) return settings_.Rows[editedRow_].Value;
  return settings_.OtherPairs[editedRow_ - settings_.Rows.size()].Value;
}

ValueKind WorldSettingsEditor::EditedKind() const {
  return ParseValueKind(ListedRow(editedRow_).Kind);
}

const std::string& WorldSettingsEditor::EditValue(std::string_view content) {
  const bool isRow = editedRow_ < static_cast<int>(settings_.Rows.size());
  if (isRow && IsWrittenAtStart(settings_.Rows[editedRow_].Key)) return EditedValue();
  boxText_ = content;
  if (!isRow) return EditedValue() = OtherValueForFile(content);
  // An emptied box still leaves a value for the file: an empty quoted text, an empty list, or 0.
  const ValueKind kind = EditedKind();
  if (!content.empty()) return EditedValue() = content;
  return EditedValue() = kind == ValueKind::Text   ? "\"\""
                         : kind == ValueKind::List ? ""
                                                   : "0.00000";
}

const std::string& WorldSettingsEditor::TickValue(bool ticked) {
  return EditedValue() = ticked ? "True" : "False";
}

const std::string& WorldSettingsEditor::ChooseValue(int choice) {
  const RowView view = SelectRow(editedRow_);
  if (choice >= 0 && choice < static_cast<int>(view.choices.size())) {
    EditedValue() = view.choices[choice];
  }
  return EditedValue();
}

const std::string& WorldSettingsEditor::TickChoice(int choice, bool ticked) {
  RowView view = SelectRow(editedRow_);
  if (view.editor != ValueEditor::TickBoxes || choice < 0 ||
      choice >= static_cast<int>(view.choices.size())) {
    return EditedValue();
  }
  view.tickedChoices[choice] = ticked;
  std::vector<std::string> kept;
  for (size_t i = 0; i < view.choices.size(); ++i) {
    if (view.tickedChoices[i]) kept.push_back(view.choices[i]);
  }
  return EditedValue() = BracketedList(kept);
}

std::optional<SaveRefusal> WorldSettingsEditor::RefuseSave() const {
  for (size_t i = 0; i < settings_.Rows.size(); ++i) {
    const SettingEntry& row = settings_.Rows[i];
    if (ParseValueKind(row.Kind) == ValueKind::Number && !IsNumberText(row.Value)) {
      return SaveRefusal{static_cast<int>(i), " 「" + row.DisplayName + "」的值必须是数字 "};
    }
  }
  return std::nullopt;
}

}  // namespace tidemoor
