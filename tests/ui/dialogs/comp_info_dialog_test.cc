#include "ui/dialogs/comp_info_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "ui/dialogs/modal_answer.h"
#include "ui/dialogs/recording_user_dialogs.h"

namespace tessavar {
namespace {

using testing::AnswerNextModal;
using testing::RecordingUserDialogs;

class CompInfoDialogTest : public ::testing::Test {
 protected:
  void Open(const std::string& info) {
    info_ = info;
    dialog_.LoadText();
    dialog_.show();
  }
  void Type(const std::string& text) {
    dialog_.text_box()->setText(QString::fromStdString(text));
  }
  std::string Box() const { return dialog_.text_box()->text().toStdString(); }

  std::string info_;
  RecordingUserDialogs dialogs_;
  CompInfoDialog dialog_{info_, dialogs_};
};

TEST_F(CompInfoDialogTest, OneHundredTwentySevenCharactersAreAccepted) {
  Open("old");
  Type(std::string(127, 'x'));
  dialog_.ok_button()->click();
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(dialog_.accepted());
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(info_, std::string(127, 'x'));
}

// The counter follows the typing in bytes of the stored text: an accented
// letter takes two, trailing spaces none.
TEST_F(CompInfoDialogTest, CounterShowsTheBytesLeft) {
  Open("old");
  EXPECT_EQ(dialog_.bytes_left()->text(), "124 bytes left");
  Type("\u00e9t\u00e9   ");
  EXPECT_EQ(dialog_.bytes_left()->text(), "122 bytes left");
  Type(std::string(126, 'x'));
  EXPECT_EQ(dialog_.bytes_left()->text(), "1 byte left");
  Type(std::string(130, 'x'));
  EXPECT_EQ(dialog_.bytes_left()->text(), "3 bytes too many");
}

TEST_F(CompInfoDialogTest, OneHundredTwentyEightCharactersAreRefused) {
  Open("old");
  Type(std::string(128, 'y') + "   ");
  dialog_.ok_button()->click();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Composition info cannot exceed 127 bytes.");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kExclamation);
  EXPECT_EQ(dialogs_.messages[0].title, "");  // the program's default title
  EXPECT_FALSE(dialog_.accepted());
  EXPECT_TRUE(dialog_.isVisible());
  EXPECT_EQ(info_, "old");
  // The box keeps the text, without its trailing spaces.
  EXPECT_EQ(Box(), std::string(128, 'y'));
}

TEST_F(CompInfoDialogTest, TrailingSpacesAreStripped) {
  Open("");
  Type("  My song   ");
  dialog_.ok_button()->click();
  EXPECT_EQ(info_, "  My song");
  EXPECT_EQ(Box(), "  My song");

  Open("something");
  Type("     ");
  dialog_.ok_button()->click();
  EXPECT_EQ(info_, "");
}

TEST_F(CompInfoDialogTest, ClearThenCancelKeepsTheInformation) {
  Open("Rondo in blue");
  dialog_.clear_button()->click();
  EXPECT_EQ(Box(), "");
  EXPECT_TRUE(dialog_.isVisible()) << "Clear alone keeps the window open";
  EXPECT_EQ(info_, "Rondo in blue");
  dialog_.cancel_button()->click();
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(info_, "Rondo in blue");
  EXPECT_EQ(Box(), "Rondo in blue");
}

TEST_F(CompInfoDialogTest, ClearThenOkStoresTheEmptyText) {
  Open("Rondo in blue");
  dialog_.clear_button()->click();
  dialog_.ok_button()->click();
  EXPECT_EQ(info_, "");
  EXPECT_FALSE(dialog_.isVisible());
}

TEST_F(CompInfoDialogTest, CancelPutsBackTheStoredTextWithoutTrailingSpaces) {
  Open("Etude  ");
  Type("changed");
  dialog_.cancel_button()->click();
  EXPECT_EQ(info_, "Etude  ");
  EXPECT_EQ(Box(), "Etude");
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(CompInfoDialogTest, EscapeAndTheCloseButtonCancel) {
  Open("kept");
  Type("typed");
  QTest::keyClick(&dialog_, Qt::Key_Escape);
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(info_, "kept");
  EXPECT_EQ(Box(), "kept");
}

TEST_F(CompInfoDialogTest, TextOutsideAsciiIsKept) {
  Open("");
  Type("Caf\xC3\xA9 for \xE2\x99\xAB");
  dialog_.ok_button()->click();
  EXPECT_EQ(info_, "Caf\xC3\xA9 for \xE2\x99\xAB");
  dialog_.LoadText();
  EXPECT_EQ(dialog_.text_box()->text(), QString::fromUtf8("Café for ♫"));
}

TEST_F(CompInfoDialogTest, TheTextBoxHasTheFocusWhenActivated) {
  Open("info");
  dialog_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
  EXPECT_TRUE(dialog_.text_box()->hasFocus());
  EXPECT_EQ(dialog_.windowTitle(), "Composition Info");
}

TEST(CompInfoDialogRunTest, RunShowsTheInformationAndStoresOnOk) {
  std::string info = "first";
  RecordingUserDialogs dialogs;
  CompInfoDialog dialog(info, dialogs);
  bool answered = false;
  AnswerNextModal([&](QWidget* modal) {
    ASSERT_EQ(modal, &dialog);
    EXPECT_EQ(dialog.text_box()->text(), "first");
    dialog.text_box()->setText("second");
    dialog.ok_button()->click();
    answered = true;
  });
  dialog.Run();
  EXPECT_TRUE(answered);
  EXPECT_EQ(info, "second");
}

}  // namespace
}  // namespace tessavar
