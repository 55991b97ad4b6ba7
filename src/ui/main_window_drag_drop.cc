// The main window's drag and drop: the MIDI tile carries a copy of the
// working MIDI file out under the piece's name, and a composition or MIDI
// file dropped on the window loads as File > Load loads it.
#include <QMimeData>
#include <QTimer>

#include "model/drag_drop_rules.h"
#include "ui/file_drop_target.h"
#include "ui/main_window.h"
#include "ui/midi_drag_copies.h"
#include "ui/midi_drag_handle.h"
#include "ui/playback_strip.h"

namespace tessavar {
namespace {

constexpr char kDragCopyFailed[] =
    "The MIDI file could not be copied for dragging.";

}  // namespace

void MainWindow::ConnectDragAndDrop() {
  drag_copies_ = std::make_unique<MidiDragCopies>();
  strip_->midi_handle()->make_mime_data = [this] {
    std::unique_ptr<QMimeData> mime_data =
        drag_copies_->MimeDataFor(state_.paths.working_midi,
                                  DraggedMidiFileName(state_.composition_path));
    if (!mime_data) {
      state_.panel.set_status_text(kDragCopyFailed);
      Refresh();
    }
    return mime_data;
  };

  auto* drop_target = new FileDropTarget(this);
  drop_target->decide = [this](const std::vector<std::string>& files,
                               bool from_this_window) {
    return DecideDrop(files, Availability(), from_this_window);
  };
  // The load runs once the drop has ended, so that its questions and
  // messages do not keep the other program's drag waiting; a command that
  // started meanwhile refuses it.
  drop_target->on_drop = [this](const DropDecision& decision) {
    QTimer::singleShot(0, this, [this, path = decision.path] {
      const DropDecision now = DecideDrop({path}, Availability(), false);
      if (now.command == DropCommand::kLoadComposition) {
        OpenComposition(now.path);
      }
    });
  };
}

}  // namespace tessavar
