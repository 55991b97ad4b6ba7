// The composition's settings under the names the command line uses
// ("mapping", "volume.3", "note-pitch"), and how a NAME=VALUE goes into the
// panel through the panel's own rules.
#ifndef TESSAVAR_CLI_FIELD_NAMES_H_
#define TESSAVAR_CLI_FIELD_NAMES_H_

#include <optional>
#include <string>
#include <vector>

#include "files/file_fields.h"
#include "model/program_state.h"

namespace tessavar::cli {

struct NamedField {
  std::string name;   // as typed: "tempo", "instrument.2"
  std::string label;  // as the window shows it: "Instrument of track 2"
  FileField field;
};

// Every setting of a composition that a user can set, in file order.
const std::vector<NamedField>& NamedFields();
const NamedField* FindNamedField(const std::string& name);

// What went wrong storing a value.
struct SetProblem {
  bool unknown_name = false;  // else the value was refused
  std::string message;
};

// Stores the value as typing or choosing it in the window would: a text box
// takes the text, and a value outside its range is brought in as leaving
// the box does (a track's box clamps, a mapped box falls back to its
// lowest value), a list
// its entry (by index or by its text), a check box on/off/0/1/2. The
// Compose checks run later, as in the window.
std::optional<SetProblem> SetNamedField(ProgramState& state,
                                        const std::string& name,
                                        const std::string& value);

// The values a shell offers for a setting: a list's entries, on and off.
std::vector<std::string> SettingWords(const std::string& name);

// The value as a user would type it back: the box's text, the list's index.
std::string NamedFieldValue(const ProgramState& state, const NamedField& field);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_FIELD_NAMES_H_
