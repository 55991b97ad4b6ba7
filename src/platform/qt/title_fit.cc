#include "platform/qt/title_fit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>
#include <algorithm>

namespace tessavar {
namespace {

// Window icon, close, maximise and minimise buttons and the gaps between
// them in common title bars.
constexpr int kTitleBarControlsWidth = 160;

int HorizontalMargins(const QLayout* layout) {
  const QMargins margins = layout->contentsMargins();
  return margins.left() + margins.right();
}

}  // namespace

int TitleBarWidth(const QString& title) {
  QFont font = QApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(title) + kTitleBarControlsWidth;
}

void FitTitle(QWidget* window) {
  // An untitled window shows the program's name; a minimum width asked for
  // on the window counts as well.
  const QString title = window->windowTitle().isEmpty()
                            ? QApplication::applicationDisplayName()
                            : window->windowTitle();
  const int wanted = std::max(TitleBarWidth(title), window->minimumWidth());
  if (auto* box = qobject_cast<QMessageBox*>(window)) {
    // The box fixes its own size from the layout's minimum: a spacer as
    // wide as the title makes that minimum wide enough.
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    if (grid == nullptr) return;
    grid->addItem(new QSpacerItem(wanted - HorizontalMargins(grid), 0,
                                  QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
    return;
  }
  if (auto* input = qobject_cast<QInputDialog*>(window)) {
    // The input box makes its layout only as it is shown, with
    // QLayout::SetMinAndMaxSize: the box's minimum size then comes from its
    // contents alone, replacing any minimum set on the box.
    auto* label = input->findChild<QLabel*>();
    if (label == nullptr) return;
    const QStyle* style = input->style();
    const int margins = style->pixelMetric(QStyle::PM_LayoutLeftMargin) +
                        style->pixelMetric(QStyle::PM_LayoutRightMargin);
    label->setMinimumWidth(std::max(label->minimumWidth(), wanted - margins));
    return;
  }
  window->setMinimumWidth(wanted);
}

}  // namespace tessavar
