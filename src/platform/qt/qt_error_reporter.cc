#include "platform/qt/qt_error_reporter.h"

#include <QMessageBox>

#include "platform/qt/title_fit.h"

namespace tessavar {

ErrorChoice QtErrorReporter::ShowError(const std::string& message) {
  QMessageBox box(QMessageBox::Warning, QString(),
                  QString::fromStdString(message),
                  QMessageBox::Retry | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Retry);
  box.setEscapeButton(QMessageBox::Cancel);
  FitTitle(&box);
  return box.exec() == QMessageBox::Retry ? ErrorChoice::kRetry
                                          : ErrorChoice::kCancel;
}

void QtErrorReporter::ShowFailure(const std::string& message) {
  QMessageBox box(QMessageBox::Warning, QString(),
                  QString::fromStdString(message), QMessageBox::Ok, parent_);
  FitTitle(&box);
  box.exec();
}

}  // namespace tessavar
