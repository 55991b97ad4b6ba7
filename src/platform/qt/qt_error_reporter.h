// The error report of the desktop program: a message box with an
// exclamation icon, Retry and Cancel, and an empty title.
#ifndef TESSAVAR_PLATFORM_QT_QT_ERROR_REPORTER_H_
#define TESSAVAR_PLATFORM_QT_QT_ERROR_REPORTER_H_

#include <QPointer>
#include <QWidget>

#include "model/error_reporter.h"

namespace tessavar {

class QtErrorReporter : public ErrorReporter {
 public:
  explicit QtErrorReporter(QWidget* parent = nullptr) : parent_(parent) {}

  void set_parent(QWidget* parent) { parent_ = parent; }

  // Retry when the user presses Retry; Cancel for Cancel, Escape or closing
  // the box.
  ErrorChoice ShowError(const std::string& message) override;
  void ShowFailure(const std::string& message) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_QT_QT_ERROR_REPORTER_H_
