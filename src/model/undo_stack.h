// Undo and redo of the user's changes to the settings. The stack keeps the
// settings as they stand (the base) and the snapshots before each step;
// typing into one box, or dragging one spinner, is merged into one step,
// and changes the program makes itself (Compose writing the mapped boxes)
// are absorbed into the base without becoming steps.
#ifndef TESSAVAR_MODEL_UNDO_STACK_H_
#define TESSAVAR_MODEL_UNDO_STACK_H_

#include <cstddef>
#include <deque>

#include "model/panel_model.h"
#include "model/panel_snapshot.h"

namespace tessavar {

// Which control a user change came from, for merging steps.
struct ChangeKey {
  enum class Kind { kOther, kTyping, kDragging };
  Kind kind = Kind::kOther;
  BoxId box{Box::kStructure};

  static ChangeKey Typing(BoxId id) { return {Kind::kTyping, id}; }
  static ChangeKey Dragging(BoxId id) { return {Kind::kDragging, id}; }
  friend bool operator==(const ChangeKey&, const ChangeKey&) = default;
};

inline constexpr size_t kUndoDepth = 1000;

class UndoStack {
 public:
  explicit UndoStack(size_t depth = kUndoDepth) : depth_(depth) {}

  // The settings as they stand become the base; nothing to undo or redo.
  void Reset(PanelSnapshot base);
  const PanelSnapshot& base() const { return base_; }

  // After a user change. When the settings differ from the base, the base
  // becomes a step (unless the change continues the typing or dragging of
  // the last step) and the redo steps are dropped. True when the settings
  // had changed.
  bool Commit(PanelSnapshot now, ChangeKey key);
  // A change that is no step of its own: the settings become the base.
  void Absorb(PanelSnapshot now);
  // Ends the merging: the next change is a step of its own.
  void Seal() { last_key_ = {}; }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  size_t undo_count() const { return undo_.size(); }

  // The snapshot to restore (it becomes the base); the base before is kept
  // for the opposite direction. Only when CanUndo / CanRedo.
  const PanelSnapshot& Undo();
  const PanelSnapshot& Redo();

 private:
  const PanelSnapshot& Move(std::deque<PanelSnapshot>& from,
                            std::deque<PanelSnapshot>& to);

  size_t depth_;
  PanelSnapshot base_;
  std::deque<PanelSnapshot> undo_;
  std::deque<PanelSnapshot> redo_;
  // The change the last step came from; merging is possible only while
  // nothing else happened since.
  ChangeKey last_key_;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_UNDO_STACK_H_
