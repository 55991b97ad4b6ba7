#include "ui/qt_ui_host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <utility>

namespace tessavar {

QtUiHost::QtUiHost(Clock clock) : clock_(std::move(clock)) {}

QtUiHost::~QtUiHost() { SetBusyPointer(false); }

void QtUiHost::Yield() {
  const auto now = clock_();
  if (last_events_ && now - *last_events_ < kYieldInterval) return;
  last_events_ = now;
  if (before_yield) before_yield();
  ++yield_depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{yield_depth_};
  QCoreApplication::processEvents();
}

void QtUiHost::SetBusyPointer(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    last_events_.reset();  // a command's first yield shows its state
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  } else {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace tessavar
