// The Redo command: applies the current instruments and pans of the 16
// tracks to the working MIDI file without composing again, then reopens the
// file in the player and, with "Autoplay after Redo", plays it.
#ifndef TESSAVAR_MODEL_REDO_COMMAND_H_
#define TESSAVAR_MODEL_REDO_COMMAND_H_

#include <functional>

namespace tessavar {

struct ProgramState;
class Player;
class UiHost;
class ErrorReporter;

inline constexpr char kRedoStatusText[] = "re-generating MIDI file...";

// Runs the command. The panel (with Compose and Save) is disabled while the
// file is patched; set_load_and_redo_enabled, when given, receives false
// and true for the Load and Redo buttons, which the panel model does not
// hold. A missing or locked working file is reported with Retry and Cancel;
// after Cancel the interface is restored as before, Save keeps its earlier
// state and nothing plays. Returns true when the file was patched.
bool RedoCommand(
    ProgramState& state, Player& player, UiHost& ui, ErrorReporter& errors,
    const std::function<void(bool)>& set_load_and_redo_enabled = {});

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_REDO_COMMAND_H_
