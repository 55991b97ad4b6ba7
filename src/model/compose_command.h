// The Compose command (the Compose button): validates the panel, composes,
// writes the working MIDI file, reopens it in the player and optionally
// plays it. While it composes the same button reads "Cancel" and a click on
// it asks the running compose to stop.
#ifndef TESSAVAR_MODEL_COMPOSE_COMMAND_H_
#define TESSAVAR_MODEL_COMPOSE_COMMAND_H_

#include <string>

#include "model/command_state.h"
#include "model/error_reporter.h"
#include "model/panel_model.h"
#include "model/player.h"
#include "model/program_state.h"
#include "model/ui_host.h"

namespace tessavar {

inline constexpr char kGeneratingStatus[] = "generating MIDI file...";

// The outcome of validating the panel for composing.
struct ComposeValidation {
  enum class Kind {
    kPassed,
    kMessage,  // a message box with `text`; the focus goes to `focus`
    kNote,     // `text` goes to the status line only
  };
  Kind kind = Kind::kPassed;
  std::string text;
  Box focus = Box::kStructure;

  bool passed() const { return kind == Kind::kPassed; }
};

// The checks of the Compose command, in their order.
ComposeValidation ValidateCompose(const PanelModel& panel);

// What a click did.
struct ComposeOutcome {
  enum class Kind {
    kStopRequested,  // the button read "Cancel"
    kBusy,           // another command runs; nothing was done
    kInvalid,        // validation failed (see `validation`)
    kFinished,       // composed and written when `written`
  };
  Kind kind = Kind::kFinished;
  ComposeValidation validation;
  // Composed, and the whole MIDI file written (not stopped, not refused).
  bool written = false;

  // Whether the click was a Compose of its own (validated, maybe composed).
  bool started() const {
    return kind == Kind::kInvalid || kind == Kind::kFinished;
  }
};

class ComposeCommand {
 public:
  ComposeCommand(ProgramState& state, Player& player, UiHost& host,
                 ErrorReporter& errors)
      : state_(state), player_(player), host_(host), errors_(errors) {}

  // The Compose button's click. A message-box failure is returned for the
  // caller to show (and to move the focus); a "Note:" failure is put in the
  // status line here.
  ComposeOutcome Click();

  // Asks a running compose to stop: composing stops after its current
  // phrase, writing after its current track. The only way to stop one.
  void RequestStop() { stop_pending_ = true; }

  // From now on the MIDI file goes to *midi_bytes instead of the working
  // file, which the player then does not open: the command-line composer
  // publishes the file itself.
  void KeepMidiFileIn(std::string* midi_bytes) { midi_bytes_ = midi_bytes; }

 private:
  void Prepare();
  bool ComposeAndWrite();
  void OpenWorkingFile();
  void Restore();
  void Autoplay();

  ProgramState& state_;
  Player& player_;
  UiHost& host_;
  ErrorReporter& errors_;
  std::string* midi_bytes_ = nullptr;
  bool stop_pending_ = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_COMPOSE_COMMAND_H_
