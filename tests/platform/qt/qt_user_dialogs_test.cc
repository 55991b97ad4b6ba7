#include "platform/qt/qt_user_dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "platform/qt/qt_error_reporter.h"
#include "ui/dialogs/modal_answer.h"

namespace tessavar {
namespace {

using testing::AnswerNextModal;

FileDialogRequest Request(bool must_exist) {
  return FileDialogRequest{"Load Composition", "Compositions (*.tvx)", "tvx",
                           must_exist, ""};
}

// Types a name into a file dialog and presses its accept button.
void ChooseFile(QFileDialog* dialog, const QString& name) {
  auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(edit, nullptr);
  edit->setText(name);
  // accept() is protected in QFileDialog; QDialog's is public and virtual.
  static_cast<QDialog*>(dialog)->accept();
}

class QtUserDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    existing_ = dir_.filePath("song.tvx");
    std::ofstream(existing_.toStdString()) << "x";
  }

  QWidget parent_;
  QtUserDialogs dialogs_{&parent_};
  QTemporaryDir dir_;
  QString existing_;
};

TEST_F(QtUserDialogsTest, MessageShowsTextTitleAndIcon) {
  bool answered = false;
  AnswerNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Composition info cannot exceed 127 bytes.");
    EXPECT_EQ(box->windowTitle(), "Tessavar Composer");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->parentWidget(), &parent_);
    box->button(QMessageBox::Ok)->click();
    answered = true;
  });
  dialogs_.ShowMessage("Composition info cannot exceed 127 bytes.", "",
                       MessageIcon::kExclamation);
  EXPECT_TRUE(answered);

  AnswerNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "MIDI Map Error");
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    box->button(QMessageBox::Ok)->click();
  });
  dialogs_.ShowMessage("MIDI channel number must be 1 to 16.", "MIDI Map Error",
                       MessageIcon::kNone);
}

TEST_F(QtUserDialogsTest, InputBoxReturnsTheTextOrEmptyOnCancel) {
  AnswerNextModal([](QWidget* modal) {
    auto* input = qobject_cast<QInputDialog*>(modal);
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->windowTitle(), "User-Defined Scale");
    EXPECT_EQ(input->labelText(), "Enter the notes of the scale.");
    EXPECT_EQ(input->textValue(), "C D E G A");
    input->setTextValue("C E G");
    input->accept();
  });
  EXPECT_EQ(dialogs_.InputBox("Enter the notes of the scale.",
                              "User-Defined Scale", "C D E G A"),
            "C E G");

  AnswerNextModal([](QWidget* modal) {
    auto* input = qobject_cast<QInputDialog*>(modal);
    ASSERT_NE(input, nullptr);
    input->setTextValue("typed but cancelled");
    input->reject();
  });
  EXPECT_EQ(dialogs_.InputBox("prompt", "title", "default"), "");
}

TEST_F(QtUserDialogsTest, OpenDialogIsSetUpFromTheRequest) {
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Load Composition");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Compositions (*.tvx)"});
    EXPECT_EQ(dialog->defaultSuffix(), "tvx");
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    ChooseFile(dialog, existing_);
  });
  std::optional<std::string> chosen = dialogs_.OpenFileName(Request(true));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, existing_.toStdString());
}

TEST_F(QtUserDialogsTest, OpenDialogRefusesAMissingFileWhenItMustExist) {
  bool stayed_open = false;
  bool warned = false;
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    // The dialog says the file does not exist and stays open.
    AnswerNextModal(
        [&](QWidget* warning) {
          auto* box = qobject_cast<QMessageBox*>(warning);
          ASSERT_NE(box, nullptr);
          warned = true;
          box->button(QMessageBox::Ok)->click();
        },
        dialog);
    ChooseFile(dialog, dir_.filePath("missing.tvx"));
    stayed_open = dialog->isVisible();
    static_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_FALSE(dialogs_.OpenFileName(Request(true)).has_value());
  EXPECT_TRUE(warned);
  EXPECT_TRUE(stayed_open);
}

// The name chosen is not always the file written (lower-cased, with a
// companion), so the dialog does not ask: the command asks with AskYesNo.
TEST_F(QtUserDialogsTest, SaveDialogLeavesTheReplaceQuestionToTheCommand) {
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    ChooseFile(dialog, existing_);
  });
  FileDialogRequest request{"Save Composition As", "*.tvx", "tvx", false, ""};
  std::optional<std::string> chosen = dialogs_.SaveFileName(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, existing_.toStdString());

  for (QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
    AnswerNextModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text(), "song.tvx already exists.");
      EXPECT_EQ(box->windowTitle(), "Save Composition As");
      EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
                box->button(QMessageBox::No));
      box->button(answer)->click();
    });
    EXPECT_EQ(dialogs_.AskYesNo("song.tvx already exists.",
                                "Save Composition As"),
              answer == QMessageBox::Yes);
  }
}

TEST_F(QtUserDialogsTest, SaveDialogAddsTheDefaultExtension) {
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    ChooseFile(dialog, dir_.filePath("NEWSONG"));
  });
  FileDialogRequest request{"Save Composition As", "*.tvx", "tvx", false, ""};
  std::optional<std::string> chosen = dialogs_.SaveFileName(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, dir_.filePath("NEWSONG.tvx").toStdString());

  // With several filters, the one the user picks gives the extension.
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    types->setCurrentIndex(1);
    emit types->textActivated(types->currentText());
    ChooseFile(dialog, dir_.filePath("NEWSONG"));
  });
  request.filter = "WAV audio (*.wav);;FLAC audio (*.flac)";
  request.default_extension = "wav";
  chosen = dialogs_.SaveFileName(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, dir_.filePath("NEWSONG.flac").toStdString());
}

TEST_F(QtUserDialogsTest, CancelledFileDialogGivesNothing) {
  AnswerNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    static_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_FALSE(dialogs_.SaveFileName(Request(false)).has_value());
}

// Where each kind of start path opens the dialog: a file is pre-selected
// in its folder, a folder is opened, a path in a missing folder falls back
// to the current directory.
TEST_F(QtUserDialogsTest, DialogOpensAtTheRequestedFileOrFolder) {
  struct Case {
    QString start;
    QString directory;
    QString selected;  // empty: no file pre-selected
  };
  const Case cases[] = {{existing_, dir_.path(), existing_},
                        {dir_.filePath("new name.tvx"), dir_.path(),
                         dir_.filePath("new name.tvx")},
                        {dir_.path(), dir_.path(), ""},
                        {"/nonexistent-folder/x.sf2", QDir::currentPath(), ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start.toStdString());
    AnswerNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(QDir(dialog->directory()).canonicalPath(),
                QDir(c.directory).canonicalPath());
      const QStringList selected = dialog->selectedFiles();
      if (c.selected.isEmpty()) {
        EXPECT_TRUE(selected.isEmpty() || QFileInfo(selected[0]).isDir());
      } else {
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(QFileInfo(selected[0]).fileName(),
                  QFileInfo(c.selected).fileName());
      }
      static_cast<QDialog*>(dialog)->reject();
    });
    FileDialogRequest request = Request(false);
    request.start_path = c.start.toStdString();
    dialogs_.SaveFileName(request);
  }
}

// Window managers cut titles wider than the window; the boxes make room for
// the whole title, and the input box for its requested width as well.
TEST_F(QtUserDialogsTest, BoxesAreWideEnoughForTheirWholeTitle) {
  const QString long_title = "Melody-to-Structure Translation";
  AnswerNextModal([&](QWidget* modal) {
    const int title = modal->fontMetrics().horizontalAdvance(long_title);
    EXPECT_GE(modal->width(), title + 100);
    EXPECT_GE(modal->width(), 420);
    qobject_cast<QInputDialog*>(modal)->reject();
  });
  dialogs_.InputBox("Notes?", long_title.toStdString(), "");

  AnswerNextModal([&](QWidget* modal) {
    EXPECT_GE(modal->width(), modal->fontMetrics().horizontalAdvance(
                                  QApplication::applicationDisplayName()) +
                                  100);
    qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
  });
  dialogs_.ShowMessage("OK", "", MessageIcon::kNone);

  QtErrorReporter reporter;
  AnswerNextModal([&](QWidget* modal) {
    EXPECT_GE(modal->width(), modal->fontMetrics().horizontalAdvance(
                                  QApplication::applicationDisplayName()) +
                                  100);
    qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Cancel)->click();
  });
  reporter.ShowError("x");
}

TEST(QtErrorReporterTest, RetryAndCancel) {
  QtErrorReporter reporter;
  AnswerNextModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Disk full");
    EXPECT_EQ(box->windowTitle(), "");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Retry | QMessageBox::Cancel);
    box->button(QMessageBox::Retry)->click();
  });
  EXPECT_EQ(reporter.ShowError("Disk full"), ErrorChoice::kRetry);

  AnswerNextModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Cancel)->click();
  });
  EXPECT_EQ(reporter.ShowError("Error #5: Invalid procedure call"),
            ErrorChoice::kCancel);

  // Where retrying cannot help, only OK.
  AnswerNextModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Input past end of file\n/music/song.tvx");
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    box->button(QMessageBox::Ok)->click();
  });
  reporter.ShowFailure("Input past end of file\n/music/song.tvx");
}

}  // namespace
}  // namespace tessavar
