#include "platform/qt/qt_user_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTreeView>

#include "model/program_state.h"
#include "platform/qt/title_fit.h"

namespace tessavar {
namespace {

// The prompts are long sentences; a wide box keeps them to a few lines.
constexpr int kInputBoxWidth = 420;
// File dialogs big enough that the name column shows whole names.
constexpr int kFileDialogWidth = 860;
constexpr int kFileDialogHeight = 520;
constexpr int kNameColumnWidth = 420;

QString ToQString(const std::string& text) {
  return QString::fromStdString(text);
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

// Where the dialog opens: the requested file (pre-selected, its name in
// the name box) or folder while its folder exists, else the current
// directory.
QString StartPath(const FileDialogRequest& request) {
  if (request.start_path.empty()) return QDir::currentPath();
  const QFileInfo start(QFile::decodeName(request.start_path.c_str()));
  if (start.isDir()) return start.absoluteFilePath();
  if (start.absoluteDir().exists()) return start.absoluteFilePath();
  return QDir::currentPath();
}

// The detailed view, with a name column wide enough to read the names.
void WidenColumns(QFileDialog& dialog) {
  dialog.setViewMode(QFileDialog::Detail);
  dialog.resize(kFileDialogWidth, kFileDialogHeight);
  for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
    view->header()->setMinimumSectionSize(60);
    view->header()->resizeSection(0, kNameColumnWidth);
  }
}

std::optional<std::string> Chosen(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return QFile::encodeName(files.first()).toStdString();
}

std::optional<std::string> RunFileDialog(QWidget* parent,
                                         const FileDialogRequest& request,
                                         bool save) {
  QFileDialog dialog(parent, ToQString(request.title), StartPath(request));
  WidenColumns(dialog);
  dialog.setNameFilter(ToQString(request.filter));
  dialog.setDefaultSuffix(ToQString(request.default_extension));
  // With several filters (audio formats), a name typed without an
  // extension gets the one of the filter chosen.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& filter) {
                     const QRegularExpressionMatch match =
                         QRegularExpression("\\*\\.(\\w+)").match(filter);
                     if (match.hasMatch()) {
                       dialog.setDefaultSuffix(match.captured(1));
                     }
                   });
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave
                            : QFileDialog::AcceptOpen);
  dialog.setFileMode(!save && request.must_exist ? QFileDialog::ExistingFile
                                                 : QFileDialog::AnyFile);
  // The commands ask about the files they will really write (lower-cased,
  // with companions).
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  return Chosen(dialog);
}

}  // namespace

void QtUserDialogs::ShowMessage(const std::string& text,
                                const std::string& title, MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon),
                  ToQString(title.empty() ? kProgramCaption : title),
                  ToQString(text), QMessageBox::Ok, parent_);
  FitTitle(&box);
  box.exec();
}

bool QtUserDialogs::AskYesNo(const std::string& text,
                             const std::string& title) {
  QMessageBox box(QMessageBox::Question,
                  ToQString(title.empty() ? kProgramCaption : title),
                  ToQString(text), QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::No);
  FitTitle(&box);
  return box.exec() == QMessageBox::Yes;
}

std::string QtUserDialogs::InputBox(const std::string& prompt,
                                    const std::string& title,
                                    const std::string& default_text) {
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(ToQString(title.empty() ? kProgramCaption : title));
  dialog.setLabelText(ToQString(prompt));
  dialog.setTextValue(ToQString(default_text));
  dialog.setInputMode(QInputDialog::TextInput);
  // The prompts are long sentences; let them wrap.
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    label->setWordWrap(true);
  }
  dialog.setMinimumWidth(kInputBoxWidth);
  FitTitle(&dialog);
  if (dialog.exec() != QDialog::Accepted) return std::string();
  return dialog.textValue().toStdString();
}

std::optional<std::string> QtUserDialogs::OpenFileName(
    const FileDialogRequest& request) {
  return RunFileDialog(parent_, request, false);
}

std::optional<std::string> QtUserDialogs::SaveFileName(
    const FileDialogRequest& request) {
  return RunFileDialog(parent_, request, true);
}

}  // namespace tessavar

namespace tessavar {

std::optional<std::string> QtUserDialogs::FolderName(
    const FileDialogRequest& request) {
  QFileDialog dialog(parent_, ToQString(request.title), StartPath(request));
  WidenColumns(dialog);
  // A save dialog for a folder: a new name can be typed.
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setLabelText(QFileDialog::Accept, QObject::tr("Choose"));
  return Chosen(dialog);
}

std::optional<size_t> QtUserDialogs::ChooseItem(
    const std::string& prompt, const std::string& title,
    const std::vector<std::string>& items) {
  QStringList names;
  for (const std::string& item : items) names << ToQString(item);
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(ToQString(title.empty() ? kProgramCaption : title));
  dialog.setLabelText(ToQString(prompt));
  dialog.setComboBoxItems(names);
  dialog.setComboBoxEditable(false);
  FitTitle(&dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const qsizetype index = names.indexOf(dialog.textValue());
  if (index < 0) return std::nullopt;
  return static_cast<size_t>(index);
}

}  // namespace tessavar
