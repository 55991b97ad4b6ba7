// The Redo command: applies the current instruments and pans of the 16
// tracks to the working MIDI file without composing again, then reopens the
// file in the player and, with "Autoplay after Redo", plays it.
#ifndef TESSAVAR_MODEL_REDO_COMMAND_H_
#define TESSAVAR_MODEL_REDO_COMMAND_H_

namespace tessavar {

struct ProgramState;
class Player;
class UiHost;
class ErrorReporter;

inline constexpr char kRedoStatusText[] = "re-generating MIDI file...";

// Runs the command, marked running in the command state from start to end.
// The panel (with Compose, Save, Load and Redo) is disabled while the file
// is patched. A missing or locked working file is reported with Retry and
// Cancel; after Cancel the interface is restored as before, Save keeps its
// earlier state and nothing plays. Does nothing while another command runs.
// Returns true when the file was patched.
bool RedoCommand(ProgramState& state, Player& player, UiHost& ui,
                 ErrorReporter& errors);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_REDO_COMMAND_H_
