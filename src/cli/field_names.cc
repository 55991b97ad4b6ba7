#include "cli/field_names.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "base/status.h"
#include "model/panel_fields.h"
#include "model/panel_model.h"

namespace tessavar::cli {
namespace {

// "Phrase Len." -> "phrase-len"
std::string Slug(const std::string& caption) {
  std::string slug;
  for (char c : caption) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      slug += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!slug.empty() && slug.back() != '-') {
      slug += '-';
    }
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return slug;
}

// The command-line name of a field; empty for fields a user never sets.
std::string NameOf(const FileField& field) {
  const std::string track = "." + std::to_string(field.index + 1);
  switch (field.target) {
    case FieldTarget::kVersion:
    case FieldTarget::kHiddenAuto:
      return "";
    case FieldTarget::kSmoothing:
      return "smooth";  // the window's label
    case FieldTarget::kMeter:
      return "phrase";
    case FieldTarget::kMappedAuto:
      return "auto";
    case FieldTarget::kInstrument:
      return "instrument" + track;
    case FieldTarget::kOctave:
      return "transposition" + track;
    case FieldTarget::kVolume:
      return "volume" + track;
    case FieldTarget::kTie:
      return "tie" + track;
    case FieldTarget::kPan:
      return "pan" + track;
    case FieldTarget::kChannel:
      return "channel" + track;
    case FieldTarget::kMapped:
      return Slug(kMappedParameterRows.at(field.index).caption);
    default:
      return Slug(FieldName(field));
  }
}

std::optional<List> ListOf(FieldTarget target) {
  switch (target) {
    case FieldTarget::kSmoothing:
      return List::kSmoothing;
    case FieldTarget::kMeter:
      return List::kMeter;
    case FieldTarget::kTonality:
      return List::kTonality;
    case FieldTarget::kFade:
      return List::kFade;
    case FieldTarget::kInstrument:
      return List::kInstrument;
    default:
      return std::nullopt;
  }
}

std::string Trimmed(std::string text) {
  auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
  text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(),
             text.end());
  return text;
}

bool SameText(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](unsigned char x, unsigned char y) {
                      return std::tolower(x) == std::tolower(y);
                    });
}

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// An instrument's name without its program number: "42 Cello" -> "Cello".
std::string WithoutNumber(const std::string& entry) {
  std::string text = Trimmed(entry);
  size_t space = text.find(' ');
  if (space == std::string::npos ||
      !std::isdigit(static_cast<unsigned char>(text.front()))) {
    return text;
  }
  return text.substr(space + 1);
}

// The number a number field stores for the typed value: a list entry's
// index (or its text), a check box's state, a channel.
std::optional<int> NumberFor(const FileField& field, const std::string& value) {
  if (std::optional<int> number = ParseInt(value)) return number;
  if (field.target == FieldTarget::kMappedAuto ||
      field.target == FieldTarget::kTie) {
    if (SameText(value, "on")) return 1;
    if (SameText(value, "off")) return 0;
  }
  if (std::optional<List> list = ListOf(field.target)) {
    const std::vector<std::string>& entries = ListEntries(*list);
    for (size_t i = 0; i < entries.size(); ++i) {
      if (SameText(Trimmed(entries[i]), Trimmed(value)) ||
          SameText(WithoutNumber(entries[i]), Trimmed(value))) {
        return static_cast<int>(i);
      }
    }
  }
  return std::nullopt;
}

// What a number field takes, for messages.
std::string ValuesOf(const FileField& field) {
  if (std::optional<List> list = ListOf(field.target)) {
    const std::vector<std::string>& entries = ListEntries(*list);
    std::string text = "0 to " + std::to_string(entries.size() - 1) +
                       ", or an entry: " + Trimmed(entries.front());
    for (size_t i = 1; i < entries.size(); ++i) {
      text += ", " + Trimmed(entries[i]);
    }
    return text;
  }
  if (field.target == FieldTarget::kChannel) return "a MIDI channel number";
  return "on or off";
}

std::string Refused(const NamedField& field, const std::string& value) {
  return field.label + ": '" + value + "' is not one of its values (" +
         ValuesOf(field.field) + ")";
}

}  // namespace

const std::vector<NamedField>& NamedFields() {
  static const std::vector<NamedField> fields = [] {
    std::vector<NamedField> named;
    for (const FileField& field : CompositionFields()) {
      std::string name = NameOf(field);
      if (!name.empty()) named.push_back({name, FieldName(field), field});
    }
    return named;
  }();
  return fields;
}

const NamedField* FindNamedField(const std::string& name) {
  for (const NamedField& field : NamedFields()) {
    if (SameText(field.name, name)) return &field;
  }
  return nullptr;
}

std::optional<SetProblem> SetNamedField(ProgramState& state,
                                        const std::string& name,
                                        const std::string& value) {
  const NamedField* named = FindNamedField(name);
  if (!named) {
    return SetProblem{true, "unknown setting '" + name +
                                "' (tessavar-cli fields lists them)"};
  }
  FieldValue stored;
  if (FormOf(named->field.target) == FieldForm::kNumber) {
    std::optional<int> number = NumberFor(named->field, value);
    if (!number) return SetProblem{false, Refused(*named, value)};
    stored.number = *number;
  }
  stored.text = value;
  try {
    TypeField(state, named->field, stored);
  } catch (const RunTimeError&) {
    return SetProblem{false, Refused(*named, value)};
  }
  return std::nullopt;
}

std::vector<std::string> SettingWords(const std::string& name) {
  const NamedField* named = FindNamedField(name);
  if (named == nullptr) return {};
  if (std::optional<List> list = ListOf(named->field.target)) {
    std::vector<std::string> words;
    for (const std::string& entry : ListEntries(*list)) {
      words.push_back(Trimmed(entry));
    }
    return words;
  }
  if (FormOf(named->field.target) == FieldForm::kNumber) return {"on", "off"};
  return {};
}

std::string NamedFieldValue(const ProgramState& state,
                            const NamedField& field) {
  FieldValue value = FieldValuesOf(state, {field.field}).front();
  if (FormOf(field.field.target) == FieldForm::kNumber) {
    return std::to_string(value.number);
  }
  return value.text;
}

}  // namespace tessavar::cli
