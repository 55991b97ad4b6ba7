#include "platform/qt/qt_error_reporter.h"

#include <QMessageBox>

namespace tessavar {

ErrorChoice QtErrorReporter::ShowError(const std::string& message) {
  QMessageBox box(QMessageBox::Warning, QString(),
                  QString::fromStdString(message),
                  QMessageBox::Retry | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Retry);
  box.setEscapeButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Retry ? ErrorChoice::kRetry
                                          : ErrorChoice::kCancel;
}

}  // namespace tessavar
