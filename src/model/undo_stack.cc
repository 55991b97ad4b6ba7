#include "model/undo_stack.h"

#include <utility>

namespace tessavar {

void UndoStack::Reset(PanelSnapshot base) {
  base_ = std::move(base);
  undo_.clear();
  redo_.clear();
  last_key_ = {};
}

bool UndoStack::Commit(PanelSnapshot now, ChangeKey key) {
  if (SameSettings(now, base_)) return false;
  redo_.clear();
  const bool merges =
      key.kind != ChangeKey::Kind::kOther && key == last_key_ && !undo_.empty();
  if (!merges) {
    undo_.push_back(std::move(base_));
    if (undo_.size() > depth_) undo_.pop_front();
  }
  base_ = std::move(now);
  last_key_ = key;
  // Typing that ends where it began leaves no step behind.
  if (merges && SameSettings(undo_.back(), base_)) {
    undo_.pop_back();
    last_key_ = {};
  }
  return true;
}

void UndoStack::Absorb(PanelSnapshot now) {
  base_ = std::move(now);
  last_key_ = {};
}

const PanelSnapshot& UndoStack::Move(std::deque<PanelSnapshot>& from,
                                     std::deque<PanelSnapshot>& to) {
  to.push_back(std::move(base_));
  base_ = std::move(from.back());
  from.pop_back();
  last_key_ = {};
  return base_;
}

const PanelSnapshot& UndoStack::Undo() { return Move(undo_, redo_); }

const PanelSnapshot& UndoStack::Redo() { return Move(redo_, undo_); }

}  // namespace tessavar
