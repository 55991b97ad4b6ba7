#include "ui/dialogs/help_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <filesystem>
#include <string>

namespace tessavar {
namespace {

const std::string kShippedHelp =
    std::string(TESSAVAR_SOURCE_DIR) + "/share/THELP20.RTF";

// 99 percent of the width, and of the height above the Close button.
void ExpectViewerAt99Percent(const HelpWindow& window) {
  const QRect close = window.close_button()->geometry();
  const QSize inner(window.width(), close.top());
  const QRect viewer = window.viewer()->geometry();
  EXPECT_NEAR(viewer.width(), 0.99 * inner.width(), 1.0) << inner.width();
  EXPECT_NEAR(viewer.height(), 0.99 * inner.height(), 1.0) << inner.height();
  EXPECT_TRUE(QRect(QPoint(0, 0), inner).contains(viewer));
  EXPECT_TRUE(window.rect().contains(close));
}

TEST(HelpWindowTest, ResizingKeepsTheViewerAt99Percent) {
  HelpWindow window(kShippedHelp);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ExpectViewerAt99Percent(window);
  for (QSize size : {QSize(400, 300), QSize(640, 480), QSize(231, 517)}) {
    window.resize(size);
    QApplication::processEvents();
    ASSERT_EQ(window.size(), size);
    ExpectViewerAt99Percent(window);
  }
}

TEST(HelpWindowTest, ShippedDocumentLoadsWithItsFormatting) {
  HelpWindow window(kShippedHelp);
  EXPECT_EQ(window.windowTitle(), "TVX Help");
  EXPECT_FALSE(window.isVisible()) << "loaded hidden";
  const QString text = window.viewer()->toPlainText();
  EXPECT_TRUE(text.contains("Tessavar Composer"));
  EXPECT_TRUE(text.contains("MIDI channel number must be 1 to 16."));
  EXPECT_TRUE(text.contains("tessavar-cli"));
  EXPECT_FALSE(text.contains("\\rtf"));
  EXPECT_FALSE(text.contains("fonttbl"));
  // Headings arrive bold and larger than the body text.
  QTextCursor heading = window.viewer()->document()->find(
      "Mapped parameters", 0, QTextDocument::FindCaseSensitively);
  ASSERT_FALSE(heading.isNull());
  EXPECT_EQ(heading.charFormat().fontWeight(), QFont::Bold);
  QTextCursor body = window.viewer()->document()->find("writes music for you");
  ASSERT_FALSE(body.isNull());
  EXPECT_NE(body.charFormat().fontWeight(), QFont::Bold);
  EXPECT_GT(heading.charFormat().fontPointSize(),
            body.charFormat().fontPointSize());
}

TEST(HelpWindowTest, DocumentNameIsFoundWhateverItsCase) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string directory = dir.path().toStdString();
  std::filesystem::copy_file(kShippedHelp, directory + "/thelp20.rtf");
  HelpWindow window(directory + "/THELP20.RTF");
  EXPECT_TRUE(window.viewer()->toPlainText().contains("Melody-to-Structure"));
}

TEST(HelpWindowTest, MissingDocumentShowsANotice) {
  HelpWindow window("/nonexistent/directory/THELP20.RTF");
  const QString text = window.viewer()->toPlainText();
  EXPECT_TRUE(text.contains("could not be opened"));
  EXPECT_TRUE(text.contains("/nonexistent/directory/THELP20.RTF"));
}

TEST(HelpWindowTest, EscapeAndCloseCloseIt) {
  HelpWindow window(kShippedHelp);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(window.viewer(), Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  window.show();
  window.close_button()->click();
  EXPECT_FALSE(window.isVisible());
}

TEST(HelpWindowTest, IsAWindowOfItsOwnThatDoesNotBlock) {
  QWidget main_window;
  HelpWindow window(kShippedHelp, &main_window);
  EXPECT_TRUE(window.isWindow());
  window.show();
  EXPECT_EQ(window.windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  window.hide();
}

}  // namespace
}  // namespace tessavar
