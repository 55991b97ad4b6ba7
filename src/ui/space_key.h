// Space for the transport: it plays and pauses wherever the focus is in
// the window, except in a text box, where it is typed, and on a button,
// check box or list the user reached with Tab, which takes it as its own
// (a button is pressed, a list opens). A button that got the focus any other
// way (a click, the program itself at start-up) leaves Space to the transport,
// so that Space never recomposes by surprise.
#ifndef TESSAVAR_UI_SPACE_KEY_H_
#define TESSAVAR_UI_SPACE_KEY_H_

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace tessavar {

class SpaceKey : public QObject {
 public:
  SpaceKey(QWidget* window, std::function<void()> play_pause);
  ~SpaceKey() override;

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  std::function<void()> play_pause_;
  // The widget that last got the focus by Tab or Backtab, while it has it.
  QPointer<QWidget> tabbed_to_;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_SPACE_KEY_H_
