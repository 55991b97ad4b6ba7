#include "ui/midi_drag_copies.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

#include "base/file_system.h"
#include "base/status.h"
#include "base/temporary_files.h"

namespace tessavar {
namespace {

constexpr char kDirectoryTemplate[] = "tessavar-drag-XXXXXX";

}  // namespace

MidiDragCopies::MidiDragCopies()
    : directory_(QDir(QDir::tempPath()).filePath(kDirectoryTemplate)) {
  if (directory_.isValid()) {
    directory_slot_ = TemporaryFiles::Instance().Add(directory());
  }
}

MidiDragCopies::~MidiDragCopies() {
  for (const auto& [name, slot] : copy_slots_) {
    TemporaryFiles::Instance().Remove(slot);
  }
  TemporaryFiles::Instance().Remove(directory_slot_);
  // QTemporaryDir removes the directory and the copies.
}

std::string MidiDragCopies::directory() const {
  return directory_.isValid() ? directory_.path().toStdString() : std::string();
}

std::unique_ptr<QMimeData> MidiDragCopies::MimeDataFor(
    const std::string& working_midi, const std::string& file_name) {
  if (!directory_.isValid()) return nullptr;
  const QString copy = directory_.filePath(QString::fromStdString(file_name));
  try {
    CopyFileAtomically(working_midi, copy.toStdString());
  } catch (const RunTimeError&) {
    return nullptr;
  }
  if (copy_slots_.count(file_name) == 0) {
    copy_slots_[file_name] = TemporaryFiles::Instance().Add(copy.toStdString());
  }
  auto mime_data = std::make_unique<QMimeData>();
  mime_data->setUrls({QUrl::fromLocalFile(copy)});
  return mime_data;
}

}  // namespace tessavar
