#include "ui/dialogs/midi_map_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <vector>

#include "ui/dialogs/modal_answer.h"
#include "ui/dialogs/recording_user_dialogs.h"

namespace tessavar {
namespace {

using testing::AnswerNextModal;
using testing::RecordingUserDialogs;

ChannelMap AllChannels(int channel) {
  ChannelMap map;
  map.fill(channel);
  return map;
}

class MidiMapDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_.LoadBoxes();
    dialog_.show();
  }

  void SetBox(int track, const char* text) {
    dialog_.channel_box(track)->setText(text);
  }
  QString Box(int track) const { return dialog_.channel_box(track)->text(); }

  ChannelMap map_ = DefaultChannelMap();
  RecordingUserDialogs dialogs_;
  MidiMapDialog dialog_{map_, dialogs_};
};

TEST_F(MidiMapDialogTest, OutOfRangeBoxesAreRefusedAndTheDialogStaysOpen) {
  for (const char* text : {"0", "17", "", "letters"}) {
    dialogs_.messages.clear();
    SetBox(4, text);
    dialog_.ok_button()->click();
    ASSERT_EQ(dialogs_.messages.size(), 1u) << '"' << text << '"';
    EXPECT_EQ(dialogs_.messages[0].text,
              "MIDI channel number must be 1 to 16.");
    EXPECT_EQ(dialogs_.messages[0].title, "MIDI Map Error");
    EXPECT_FALSE(dialog_.accepted());
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_EQ(Box(4), QString(text));
    EXPECT_EQ(map_, DefaultChannelMap());
  }
}

TEST_F(MidiMapDialogTest, SixteenAndOnePassAndAreStored) {
  SetBox(0, "16");
  SetBox(15, "1");
  dialog_.ok_button()->click();
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(dialog_.accepted());
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);
  EXPECT_EQ(map_[0], 16);
  EXPECT_EQ(map_[15], 1);
  EXPECT_EQ(map_[7], 8);
}

TEST_F(MidiMapDialogTest, DefaultThenOkStoresOneToSixteen) {
  map_ = AllChannels(5);
  dialog_.LoadBoxes();
  dialog_.default_button()->click();
  EXPECT_EQ(map_, AllChannels(5)) << "Default alone changes nothing";
  EXPECT_EQ(Box(0), "1");
  EXPECT_EQ(Box(15), "16");
  EXPECT_TRUE(dialog_.isVisible());
  dialog_.ok_button()->click();
  EXPECT_EQ(map_, DefaultChannelMap());
}

TEST_F(MidiMapDialogTest, DefaultThenCancelRestoresTheBoxes) {
  map_ = AllChannels(9);
  map_[3] = 2;
  dialog_.LoadBoxes();
  dialog_.default_button()->click();
  dialog_.cancel_button()->click();
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(dialog_.result(), QDialog::Rejected);
  EXPECT_EQ(map_[0], 9);
  EXPECT_EQ(map_[3], 2);
  EXPECT_EQ(Box(0), "9");
  EXPECT_EQ(Box(3), "2");
  EXPECT_EQ(Box(15), "9");
}

TEST_F(MidiMapDialogTest, SharedChannelsAreAccepted) {
  for (int track = 0; track < 16; ++track) SetBox(track, "10");
  dialog_.ok_button()->click();
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(map_, AllChannels(10));
}

TEST_F(MidiMapDialogTest, CancelValidatesToo) {
  SetBox(11, "0");
  dialog_.cancel_button()->click();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_TRUE(dialog_.isVisible());
  EXPECT_EQ(Box(11), "0");
  EXPECT_EQ(map_, DefaultChannelMap());
}

TEST_F(MidiMapDialogTest, OnlyTheFirstBadBoxIsReported) {
  SetBox(2, "0");
  SetBox(9, "99");
  dialog_.ok_button()->click();
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST_F(MidiMapDialogTest, FractionalValuesAreStoredRounded) {
  SetBox(0, "2.5");
  SetBox(1, "3.5");
  SetBox(2, "0.6");
  dialog_.ok_button()->click();
  EXPECT_EQ(map_[0], 2);
  EXPECT_EQ(map_[1], 4);
  EXPECT_EQ(map_[2], 1);
}

TEST_F(MidiMapDialogTest, EscapeActsAsCancel) {
  SetBox(6, "x");
  QTest::keyClick(&dialog_, Qt::Key_Escape);
  EXPECT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_TRUE(dialog_.isVisible());
  SetBox(6, "12");
  QTest::keyClick(&dialog_, Qt::Key_Escape);
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(map_, DefaultChannelMap());
  EXPECT_EQ(Box(6), "7");
}

TEST_F(MidiMapDialogTest, BoxesSelectTheirWholeTextOnFocus) {
  dialog_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
  SetBox(5, "13");
  dialog_.channel_box(5)->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(dialog_.channel_box(5)->selectedText(), "13");
  // A mouse click places the cursor, yet the whole text ends up selected.
  SetBox(12, "4");
  QTest::mouseClick(dialog_.channel_box(12), Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_TRUE(dialog_.channel_box(12)->hasFocus());
  EXPECT_EQ(dialog_.channel_box(12)->selectedText(), "4");
}

TEST_F(MidiMapDialogTest, LayoutHasTwoColumnsOfEightLabelledBoxes) {
  EXPECT_EQ(dialog_.windowTitle(), "TVX Track to MIDI Channel Map");
  // Headings: "TVX" ends where the track numbers end, "MIDI" is centred
  // over the boxes, in both columns.
  std::vector<QLabel*> tvx;
  std::vector<QLabel*> midi;
  for (QLabel* label : dialog_.findChildren<QLabel*>()) {
    if (label->text() == "TVX") tvx.push_back(label);
    if (label->text() == "MIDI") midi.push_back(label);
  }
  ASSERT_EQ(tvx.size(), 2u);
  ASSERT_EQ(midi.size(), 2u);
  std::sort(tvx.begin(), tvx.end(),
            [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
  std::sort(midi.begin(), midi.end(),
            [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
  for (int column = 0; column < 2; ++column) {
    const QLineEdit* box = dialog_.channel_box(column * 8);
    const QWidget* number = box->parentWidget()->childAt(
        box->x() - 10, box->y() + box->height() / 2);
    ASSERT_NE(number, nullptr);
    EXPECT_NEAR(tvx[column]->geometry().right(), number->geometry().right(), 1);
    EXPECT_NEAR(midi[column]->geometry().center().x(),
                box->geometry().center().x(), 1);
    EXPECT_LT(midi[column]->geometry().bottom(), box->y());
  }
  for (int track = 0; track < 16; ++track) {
    const QWidget* box = dialog_.channel_box(track);
    const QWidget* first_of_column = dialog_.channel_box(track < 8 ? 0 : 8);
    EXPECT_EQ(box->x(), first_of_column->x()) << track;
    if (track % 8 != 0) {
      EXPECT_GT(box->y(), dialog_.channel_box(track - 1)->y()) << track;
    }
    auto* label = qobject_cast<QLabel*>(
        dialog_.channel_box(track)->parentWidget()->childAt(
            box->x() - 10, box->y() + box->height() / 2));
    ASSERT_NE(label, nullptr) << track;
    EXPECT_EQ(label->text(), QString::number(track + 1));
  }
  EXPECT_GT(dialog_.channel_box(8)->x(), dialog_.channel_box(0)->x());
  EXPECT_EQ(dialog_.channel_box(8)->y(), dialog_.channel_box(0)->y());
  EXPECT_EQ(dialog_.ok_button()->text(), "OK");
  EXPECT_EQ(dialog_.cancel_button()->text(), "Cancel");
  EXPECT_EQ(dialog_.default_button()->text(), "Default");
}

TEST_F(MidiMapDialogTest, PlacedCentredAtAThirdOfTheScreen) {
  const QRect screen = dialog_.screen()->geometry();
  const QRect frame = dialog_.frameGeometry();
  EXPECT_EQ(frame.x() - screen.x(), (screen.width() - frame.width()) / 2);
  EXPECT_EQ(frame.y() - screen.y(), (screen.height() - frame.height()) / 3);
}

TEST(MidiMapDialogRunTest, RunLoadsTheMapAndReturnsWhenClosed) {
  ChannelMap map = AllChannels(3);
  RecordingUserDialogs dialogs;
  MidiMapDialog dialog(map, dialogs);
  dialog.channel_box(0)->setText("stale text");
  bool answered = false;
  AnswerNextModal([&](QWidget* modal) {
    ASSERT_EQ(modal, &dialog);
    EXPECT_EQ(dialog.channel_box(0)->text(), "3");
    dialog.channel_box(1)->setText("14");
    dialog.ok_button()->click();
    answered = true;
  });
  dialog.Run();
  EXPECT_TRUE(answered);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(map[1], 14);
  EXPECT_EQ(map[0], 3);
}

}  // namespace
}  // namespace tessavar
