// Looks and habits shared by the program's windows: the green-on-black
// text boxes, the placement on the screen and whole-text selection on focus.
#ifndef TESSAVAR_UI_DIALOGS_DIALOG_STYLE_H_
#define TESSAVAR_UI_DIALOGS_DIALOG_STYLE_H_

#include <QColor>

class QLineEdit;
class QWidget;

namespace tessavar {

inline const QColor kBoxTextColor{0, 255, 0};
inline const QColor kBoxBackgroundColor{0, 0, 0};

// Green text on a black background.
void ApplyGreenOnBlack(QWidget* widget);

// Moves a top-level window to left = (screen width - width) / 2 and
// top = (screen height - height) / 3 on its screen, now and again when it
// is first shown (when the size of its frame is known).
void PlaceOnScreen(QWidget* window);

// Moves a window over the middle of another (the main window), kept inside
// the usable area of that window's screen.
void PlaceNear(QWidget* window, const QWidget* anchor);

// Selects the whole text of the box whenever it receives the focus, also
// when the focus comes from a mouse click.
void SelectAllOnFocus(QLineEdit* edit);

}  // namespace tessavar

#endif  // TESSAVAR_UI_DIALOGS_DIALOG_STYLE_H_
