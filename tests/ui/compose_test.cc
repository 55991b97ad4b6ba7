// The Compose command through the window: validation messages and focus,
// a composition equal to the command-line composer's, autoplay, and Cancel
// while composing.
#include <QCursor>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "base/file_system.h"
#include "model/composition_file_io.h"
#include "support/cli_process.h"
#include "support/compose_refusals.h"
#include "ui/playback_strip.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

class ComposeTest : public WindowTest {
 protected:
  void ShowWithFactoryDefault() {
    fs::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                  directory_.File("DEFAULT.TVX"));
    ShowWindow();
  }
  void ClickCompose() {
    QTest::mouseClick(window_->compose_button(), Qt::LeftButton);
  }
  std::string WorkingPath() {
    return FindExistingPath(state_.paths.working_midi);
  }
  // Runs `action` once, from the first yield of a running compose (the
  // Compose button then reads "&Cancel").
  void WhileComposing(std::function<void()> action) {
    auto* timer = new QTimer(window_.get());
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [this, timer, action] {
      if (window_->compose_button()->text() != "&Cancel") return;
      timer->stop();
      timer->deleteLater();
      action();
    });
    timer->start();
  }
};

// The whole text arrives at once, as a paste does, so that every refused
// text stays in the box as it is.
TEST_F(ComposeTest, EachInvalidValueIsRefusedWithItsMessageAndFocus) {
  ShowWindow();
  for (const ComposeRefusal& c : kComposeRefusals) {
    SCOPED_TRACE(c.text);
    const std::string valid = Text({c.box});
    QLineEdit* edit = Edit({c.box});
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    edit->insert(c.text);
    ASSERT_EQ(Text({c.box}), c.text);
    dialogs_.messages.clear();
    ClickCompose();
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, c.message);
    EXPECT_EQ(dialogs_.messages[0].title, "");
    EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kExclamation);
    EXPECT_TRUE(Edit({c.box})->hasFocus());
    EXPECT_EQ(Edit({c.box})->selectedText().toStdString(), c.text);
    EXPECT_EQ(window_->compose_button()->text(), "&Compose");
    EXPECT_TRUE(Edit({Box::kStructure})->isEnabled());
    TypeInto({c.box}, QString::fromStdString(valid));
  }
  EXPECT_FALSE(FileExists(WorkingPath()));
  EXPECT_FALSE(player_.open);
}

TEST_F(ComposeTest, OnlyTheFirstFailingCheckIsReported) {
  ShowWindow();
  TypeInto({Box::kTempo}, "500");
  TypeInto({Box::kMapping}, "0");
  ClickCompose();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Mapping should be in the range 1 - 32767.");
  EXPECT_TRUE(Edit({Box::kMapping})->hasFocus());
}

TEST_F(ComposeTest, StructureNotesGoToTheStatusLineOnly) {
  ShowWindow();
  TypeInto({Box::kStructure}, " 11");
  window_->compose_button()->setFocus(Qt::MouseFocusReason);
  window_->compose_button()->click();
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(window_->status_line()->text(),
            "Note:  Structure must be 3 to 32 digits in length");
  EXPECT_TRUE(window_->compose_button()->hasFocus());
  EXPECT_FALSE(FileExists(WorkingPath()));

  // Going back to the structure box clears the note.
  Edit({Box::kStructure})->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(window_->status_line()->text(), "");
}

TEST_F(ComposeTest, WorkingFileEqualsTheCommandLineComposersFile) {
  ShowWithFactoryDefault();
  TypeInto({Box::kStructure}, "31415926");
  TypeInto({Box::kVolume, 1}, "90");
  // The panel as it stands, for the command-line composer.
  std::string problem;
  std::optional<std::string> panel = CompositionFileBytes(state_, &problem);
  ASSERT_TRUE(panel.has_value()) << problem;
  std::ofstream(directory_.File("panel.tvx"), std::ios::binary) << *panel;

  ClickCompose();
  ASSERT_TRUE(errors_.messages.empty());
  ASSERT_TRUE(dialogs_.messages.empty());
  const std::string composed = ReadFile(WorkingPath());
  ASSERT_GT(composed.size(), 100u);

  ASSERT_EQ(testing::RunCliWords({"compose", directory_.File("panel.tvx"), "-o",
                                  directory_.File("cli.mid")},
                                 directory_.path())
                .status,
            0);
  EXPECT_TRUE(ReadFile(directory_.File("cli.mid")) == composed)
      << "the window's working file differs from the command-line file";

  // Composed: Compose waits for a change, Save is offered, the player
  // holds the working file and, without autoplay, is not playing.
  EXPECT_EQ(window_->compose_button()->text(), "&Compose");
  EXPECT_FALSE(window_->compose_button()->isEnabled());
  EXPECT_TRUE(window_->save_button()->isEnabled());
  EXPECT_TRUE(window_->menus().save_composition->isEnabled());
  EXPECT_TRUE(window_->load_button()->isEnabled());
  EXPECT_TRUE(window_->redo_button()->isEnabled());
  EXPECT_TRUE(player_.open);
  EXPECT_EQ(FindExistingPath(player_.file_name), WorkingPath());
  EXPECT_EQ(std::count(player_.log.begin(), player_.log.end(), "Play"), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // Any change makes Compose available again and closes the player.
  TypeInto({Box::kTracks}, "4");
  EXPECT_TRUE(window_->compose_button()->isEnabled());
  EXPECT_FALSE(window_->save_button()->isEnabled());
  EXPECT_FALSE(player_.open);
}

TEST_F(ComposeTest, AutoplayStartsAtTheBeginning) {
  ShowWithFactoryDefault();
  QTest::keyClick(window_.get(), Qt::Key_F2);
  window_->playback_strip().slider()->setValue(500);
  player_.length_ms = 200000;
  player_.log.clear();
  ClickCompose();
  ASSERT_GE(player_.log.size(), 2u);
  EXPECT_EQ(player_.log[player_.log.size() - 2], "From 0");
  EXPECT_EQ(player_.log.back(), "Play");
  EXPECT_EQ(window_->playback_strip().slider()->value(), 0);
}

TEST_F(ComposeTest, CancelStopsTheComposeAndLeavesTheWorkingFile) {
  ShowWithFactoryDefault();
  QTest::keyClick(window_.get(), Qt::Key_F2);  // would play if it finished
  std::ofstream(directory_.File("tvx.mid"), std::ios::binary) << "previous";
  player_.log.clear();

  bool seen_running = false;
  WhileComposing([&] {
    seen_running = true;
    EXPECT_TRUE(window_->compose_button()->isEnabled());
    EXPECT_FALSE(Edit({Box::kStructure})->isEnabled());
    EXPECT_FALSE(window_->load_button()->isEnabled());
    EXPECT_FALSE(window_->redo_button()->isEnabled());
    EXPECT_FALSE(window_->menus().load_composition->isEnabled());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTest::mouseClick(window_->compose_button(), Qt::LeftButton);
  });
  ClickCompose();

  EXPECT_TRUE(seen_running);
  EXPECT_TRUE(ReadFile(directory_.File("tvx.mid")) == "previous");
  EXPECT_EQ(window_->compose_button()->text(), "&Compose");
  EXPECT_TRUE(window_->compose_button()->isEnabled());
  EXPECT_TRUE(Edit({Box::kStructure})->isEnabled());
  EXPECT_TRUE(window_->menus().load_composition->isEnabled());
  EXPECT_FALSE(player_.open);
  EXPECT_EQ(std::count(player_.log.begin(), player_.log.end(), "Play"), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ComposeTest, ClosingWhileComposingStopsAndThenExits) {
  ShowWithFactoryDefault();
  std::ofstream(directory_.File("tvx.mid"), std::ios::binary) << "previous";
  bool closed_while_running = false;
  WhileComposing([&] {
    EXPECT_FALSE(window_->close());  // refused for now
    closed_while_running = window_->isVisible();
  });
  ClickCompose();
  EXPECT_TRUE(closed_while_running);
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(ReadFile(directory_.File("tvx.mid")) == "previous");
  // The stopped compose did not produce that file: it is not kept as the
  // default composition's music.
  EXPECT_FALSE(FileExists(directory_.File("DEFAULT.MID")));
  EXPECT_TRUE(FileExists(directory_.File("tvx.ini")));
}

}  // namespace
}  // namespace tessavar::testing
