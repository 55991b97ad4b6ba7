// Window managers cut a title that is wider than its window, and Qt's size
// hints never count the title. These widen a window to show it whole.
#ifndef TESSAVAR_PLATFORM_QT_TITLE_FIT_H_
#define TESSAVAR_PLATFORM_QT_TITLE_FIT_H_

#include <QString>

class QWidget;

namespace tessavar {

// The width a window needs for its title: the text in a bold title font
// plus room for the window icon and the title bar's buttons.
int TitleBarWidth(const QString& title);

// Makes a window at least as wide as its title bar needs, and as the
// minimum width set on it. Message boxes and input boxes size themselves
// from their layouts and ignore a minimum width set on the window, so the
// room is added inside their layouts instead. Call it once the window has
// its title and contents.
void FitTitle(QWidget* window);

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_QT_TITLE_FIT_H_
