// The "About Tessavar Composer" window. It opens modally from the Help menu
// and without blocking as the start-up splash, which the main window hides
// after five seconds. A click anywhere in it or its close button hides it.
#ifndef TESSAVAR_UI_DIALOGS_ABOUT_WINDOW_H_
#define TESSAVAR_UI_DIALOGS_ABOUT_WINDOW_H_

#include <QDialog>

class QLabel;
class QPushButton;

namespace tessavar {

class AboutWindow : public QDialog {
  Q_OBJECT

 public:
  explicit AboutWindow(QWidget* parent = nullptr);

  // The Help menu command: shows the window modally until the user closes
  // it (or something hides it).
  void Run();

  // The start-up splash: shows the window without blocking and returns.
  void ShowAsSplash();

  QLabel* product_label() const { return product_label_; }
  QLabel* version_label() const { return version_label_; }
  QLabel* notice_label() const { return notice_label_; }
  QPushButton* close_button() const { return close_button_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QLabel* product_label_ = nullptr;
  QLabel* tagline_label_ = nullptr;
  QLabel* version_label_ = nullptr;
  QLabel* notice_label_ = nullptr;
  QPushButton* close_button_ = nullptr;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_DIALOGS_ABOUT_WINDOW_H_
