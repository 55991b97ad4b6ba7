// The Compose command (the "&Compose" button): validates the panel,
// composes, writes the working MIDI file, reopens it in the player and
// optionally plays it. While it runs the same button reads "&Cancel" and a
// click on it asks the running compose to stop.
#ifndef TESSAVAR_MODEL_COMPOSE_COMMAND_H_
#define TESSAVAR_MODEL_COMPOSE_COMMAND_H_

#include <string>

#include "model/error_reporter.h"
#include "model/panel_model.h"
#include "model/program_state.h"
#include "model/ui_host.h"
#include "model/player.h"

namespace tessavar {

inline constexpr char kComposeCaption[] = "&Compose";
inline constexpr char kCancelCaption[] = "&Cancel";
inline constexpr char kGeneratingStatus[] = "generating MIDI file...";

// The command buttons the Compose command touches that the panel model does
// not hold. The Compose button's enabled state is the panel's
// compose_enabled(); the Save button and the "Save Composition" menu item
// share the panel's save_enabled().
struct CommandButtons {
  std::string compose_caption = kComposeCaption;  // CompileButton
  bool load_enabled = true;                       // Command1 "Load"
  bool redo_enabled = true;                       // RedoButton
};

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
    kStopRequested,  // the button read "&Cancel"
    kInvalid,        // validation failed (see `validation`)
    kFinished,       // composed and written when `result` > 0
  };
  Kind kind = Kind::kFinished;
  ComposeValidation validation;
  int result = -1;  // CompileScore / SaveScoreInMIDIFormat result
};

class ComposeCommand {
 public:
  ComposeCommand(ProgramState& state, Player& player, UiHost& host,
                 ErrorReporter& errors, CommandButtons& buttons)
      : state_(state),
        player_(player),
        host_(host),
        errors_(errors),
        buttons_(buttons) {}

  // The CompileButton click. A message-box failure is returned for the
  // caller to show (and to move the focus); a "Note:" failure is put in the
  // status line here.
  ComposeOutcome Click();

 private:
  void Prepare();
  int ComposeAndWrite();
  void OpenWorkingFile();
  void Restore();
  void Autoplay();

  ProgramState& state_;
  Player& player_;
  UiHost& host_;
  ErrorReporter& errors_;
  CommandButtons& buttons_;
};

// The player's start position for the slider (0..1000): the slider's share
// of the length, rounded.
int64_t StartPositionFromSlider(int slider, int64_t length_ms);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_COMPOSE_COMMAND_H_
