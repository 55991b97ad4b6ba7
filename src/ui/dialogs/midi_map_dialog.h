// The "TVX Track to MIDI Channel Map" dialog: one box per track for the MIDI
// channel the track is written to.
#ifndef TESSAVAR_UI_DIALOGS_MIDI_MAP_DIALOG_H_
#define TESSAVAR_UI_DIALOGS_MIDI_MAP_DIALOG_H_

#include <QDialog>
#include <array>

#include "engine/track_count.h"
#include "model/dialog_checks.h"
#include "model/program_state.h"
#include "model/user_dialogs.h"

class QLineEdit;
class QPushButton;

namespace tessavar {

class MidiMapDialog : public QDialog {
  Q_OBJECT

 public:
  // Edits channel_map in place; the range message goes through dialogs.
  MidiMapDialog(ChannelMap& channel_map, UserDialogs& dialogs,
                QWidget* parent = nullptr);

  // The menu command: fills the boxes from the map, shows the dialog
  // modally and returns once it is hidden again.
  void Run();

  // Sets every box to its entry of the channel map.
  void LoadBoxes();

  // Checks the boxes in order; at the first one outside 1..16 shows the
  // range message. Returns whether all boxes were accepted.
  bool CheckChannelBoxes();
  bool accepted() const { return accepted_; }

  QLineEdit* channel_box(int track) const { return boxes_[track]; }
  QPushButton* ok_button() const { return ok_button_; }
  QPushButton* cancel_button() const { return cancel_button_; }
  QPushButton* default_button() const { return default_button_; }

 protected:
  // Escape works as the Cancel button.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OkClicked();
  void CancelClicked();
  void DefaultClicked();
  ChannelBoxTexts BoxTexts() const;

  ChannelMap& channel_map_;
  UserDialogs& dialogs_;
  std::array<QLineEdit*, kTrackCount> boxes_{};
  QPushButton* ok_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QPushButton* default_button_ = nullptr;
  bool accepted_ = true;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_DIALOGS_MIDI_MAP_DIALOG_H_
