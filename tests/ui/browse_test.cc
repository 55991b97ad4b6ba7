// Browsing through the window: the Edit menu's undo and redo, stepping the
// mapping with its keys, the piece history window and recent compositions.
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTreeWidget>

#include "base/file_system.h"
#include "ui/history_window.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

class BrowseTest : public WindowTest {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                               directory_.File("DEFAULT.TVX"));
    ShowWindow();
  }
  void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  }
  std::string WorkingFile() {
    return ReadFile(FindExistingPath(state_.paths.working_midi));
  }
};

TEST_F(BrowseTest, UndoKeysInABoxUndoThePanelNotTheBox) {
  TypeInto({Box::kTempo}, "200");
  LeaveBox({Box::kTempo});
  TypeInto({Box::kMapping}, "4321");
  EXPECT_EQ(SpinnerShown({Box::kMapping}), 4321);

  Key(Edit({Box::kMapping}), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text({Box::kMapping}), "32767");
  EXPECT_EQ(SpinnerShown({Box::kMapping}), 32767);
  EXPECT_EQ(Text({Box::kTempo}), "200");
  Key(Edit({Box::kMapping}), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text({Box::kTempo}), "150");
  Key(Edit({Box::kMapping}), Qt::Key_Y, Qt::ControlModifier);
  Key(Edit({Box::kMapping}), Qt::Key_Z,
      Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text({Box::kMapping}), "4321");
  EXPECT_FALSE(window_->menus().redo_change->isEnabled());
}

TEST_F(BrowseTest, MappingKeysComposeAndTheHistoryBringsPiecesBack) {
  Key(window_.get(), Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(Text({Box::kMapping}), "1");
  const std::string first = WorkingFile();
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(window_->save_button()->isEnabled());
  QTest::mouseClick(window_->previous_mapping_button(), Qt::LeftButton);
  EXPECT_EQ(Text({Box::kMapping}), "32767");
  ASSERT_NE(WorkingFile(), first);

  window_->menus().history->trigger();
  QTreeWidget* list = window_->history_window()->list();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(1)->text(3), "1");
  list->setCurrentItem(list->topLevelItem(1));
  QTest::mouseClick(
      window_->history_window()->findChild<QPushButton*>("HistoryRestore"),
      Qt::LeftButton);
  EXPECT_EQ(Text({Box::kMapping}), "1");
  EXPECT_EQ(WorkingFile(), first);
  EXPECT_TRUE(window_->save_button()->isEnabled());
  EXPECT_EQ(list->topLevelItemCount(), 2) << "nothing was composed";
}

TEST_F(BrowseTest, EveryShortcutIsUniqueAndRecentCompositionsAreListed) {
  QSet<QString> seen;
  for (QAction* action : window_->findChildren<QAction*>()) {
    for (const QKeySequence& key : action->shortcuts()) {
      EXPECT_FALSE(seen.contains(key.toString()))
          << key.toString().toStdString();
      seen.insert(key.toString());
    }
  }
  const std::string kept = directory_.File("kept.tvx");
  std::filesystem::copy_file(directory_.File("DEFAULT.TVX"), kept);
  state_.options.recent_compositions = {kept, directory_.File("gone.tvx")};
  QMenu* recent = window_->menus().recent;
  emit recent->aboutToShow();
  ASSERT_EQ(recent->actions().size(), 2);
  EXPECT_TRUE(recent->actions()[0]->isEnabled());
  EXPECT_TRUE(recent->actions()[1]->text().endsWith(" (missing)"));
  recent->actions()[0]->trigger();
  EXPECT_EQ(state_.composition_path, kept);
  EXPECT_EQ(state_.options.recent_compositions.front(), kept);
}

}  // namespace
}  // namespace tessavar::testing
