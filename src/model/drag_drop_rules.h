// What dragging the piece out of the window and dropping files on it mean,
// without the window: the name the dragged MIDI file carries, when a drag
// or a drop may happen, and which command a dropped file runs.
#ifndef TESSAVAR_MODEL_DRAG_DROP_RULES_H_
#define TESSAVAR_MODEL_DRAG_DROP_RULES_H_

#include <string>
#include <vector>

#include "model/command_state.h"

namespace tessavar {

// The name of a piece that has not been saved under a name of its own.
inline constexpr char kUntitledPieceName[] = "Untitled";

// The composition's name, which exported files carry ("dir/My Tune.tvx"
// gives "My Tune"); "Untitled" while it has none.
std::string PieceName(const std::string& composition_path);

// The file name the working MIDI file is dragged out under: the
// composition's name with ".mid" ("dir/My Tune.tvx" gives "My Tune.mid"),
// "Untitled.mid" while the composition has no name.
std::string DraggedMidiFileName(const std::string& composition_path);

enum class DropCommand {
  kRefuse,
  // File > Load with the dropped file's name: a composition loads with its
  // MIDI file, and a MIDI file with the composition of the same name (or,
  // without one, alone, to listen to).
  kLoadComposition,
};

struct DropDecision {
  DropCommand command = DropCommand::kRefuse;
  std::string path;  // the file to load
};

// What a drop of `local_files` does (an entry is empty for an item that is
// not a local file). Exactly one .tvx or .mid file is taken, and only when
// loading is available; a drag that started in this window is refused, so
// the piece never loads its own dragged copy.
DropDecision DecideDrop(const std::vector<std::string>& local_files,
                        const CommandAvailability& commands,
                        bool from_this_window);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_DRAG_DROP_RULES_H_
