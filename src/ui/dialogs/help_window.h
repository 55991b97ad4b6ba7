// The "TVX Help" window: the help document in a rich-text viewer that fills
// the window above its Close button. It does not block the main window.
#ifndef TESSAVAR_UI_DIALOGS_HELP_WINDOW_H_
#define TESSAVAR_UI_DIALOGS_HELP_WINDOW_H_

#include <QWidget>
#include <string>

class QPushButton;
class QTextBrowser;

namespace tessavar {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  // Loads the RTF document at help_file_path (looked up case-insensitively)
  // at once; the window stays hidden until shown. With a parent it is
  // still a window of its own.
  explicit HelpWindow(std::string help_file_path, QWidget* parent = nullptr);

  // Reads the document again; a missing or unreadable document shows a
  // short notice in the viewer instead.
  void LoadDocument();

  // Sizes the viewer to 99 percent of the window's inner width and of the
  // height above the Close button.
  void SizeTextBox();

  QTextBrowser* viewer() const { return viewer_; }
  QPushButton* close_button() const { return close_button_; }
  const std::string& help_file_path() const { return help_file_path_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::string help_file_path_;
  QTextBrowser* viewer_ = nullptr;
  QPushButton* close_button_ = nullptr;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_DIALOGS_HELP_WINDOW_H_
