#include "ui/dialogs/about_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/dialogs/modal_answer.h"

namespace tessavar {
namespace {

using testing::AnswerNextModal;

TEST(AboutWindowTest, ShowsProductNameInASerifFontAndTheVersion) {
  AboutWindow about;
  EXPECT_EQ(about.windowTitle(), "About Tessavar Composer");
  EXPECT_EQ(about.product_label()->text(), "Tessavar Composer");
  EXPECT_EQ(about.product_label()->font().styleHint(), QFont::Serif);
  EXPECT_EQ(about.version_label()->text(), "Version 2.01");
  EXPECT_TRUE(about.notice_label()->text().contains("MIT License"));
}

TEST(AboutWindowTest, SplashDoesNotBlockAndCanBeHidden) {
  AboutWindow about;
  about.ShowAsSplash();
  EXPECT_TRUE(about.isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  about.hide();  // what the main window's timer does
  EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindowTest, AClickAnywhereClosesIt) {
  AboutWindow about;
  about.ShowAsSplash();
  QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(about.isVisible());
  // On a label the click reaches the window as well.
  about.ShowAsSplash();
  QTest::mouseClick(about.notice_label(), Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindowTest, ModalRunEndsWithTheCloseButton) {
  AboutWindow about;
  bool answered = false;
  AnswerNextModal([&](QWidget* modal) {
    EXPECT_EQ(modal, &about);
    about.close_button()->click();
    answered = true;
  });
  about.Run();
  EXPECT_TRUE(answered);
  EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindowTest, ModalRunWhileTheSplashIsUpBlocks) {
  AboutWindow about;
  about.ShowAsSplash();
  bool answered = false;
  AnswerNextModal([&](QWidget* modal) {
    EXPECT_EQ(modal, &about);
    about.close_button()->click();
    answered = true;
  });
  // Ends the run if the window never became modal.
  QTimer::singleShot(3000, &about, [&about] { about.hide(); });
  about.Run();
  EXPECT_TRUE(answered);
  EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace tessavar
