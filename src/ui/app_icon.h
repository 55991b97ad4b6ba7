// The program's icon, drawn in code (the same design as share/tessavar.svg)
// so that the window needs no image plugin.
#ifndef TESSAVAR_UI_APP_ICON_H_
#define TESSAVAR_UI_APP_ICON_H_

#include <QIcon>
#include <QPixmap>

namespace tessavar {

QPixmap ApplicationIconPixmap(int size);
QIcon ApplicationIcon();

}  // namespace tessavar

#endif  // TESSAVAR_UI_APP_ICON_H_
