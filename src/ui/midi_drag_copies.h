// The copies of the working MIDI file that drags carry out of the window.
// Each is a real file under the piece's name, byte for byte the working
// file at the moment of the drag, in a private directory of the window
// that goes away with it. Nothing is written next to the user's files.
// The window holds an flock on the directory while it lives, so that the
// next start can tell the directory of a killed program from a live one.
#ifndef TESSAVAR_UI_MIDI_DRAG_COPIES_H_
#define TESSAVAR_UI_MIDI_DRAG_COPIES_H_

#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>

class QMimeData;

namespace tessavar {

class MidiDragCopies {
 public:
  MidiDragCopies();
  ~MidiDragCopies();
  MidiDragCopies(const MidiDragCopies&) = delete;
  MidiDragCopies& operator=(const MidiDragCopies&) = delete;

  // Copies the working MIDI file to `file_name` in the private directory
  // (replacing an earlier copy of that name) and returns mime data with
  // that file's URL; null when the copy could not be made.
  std::unique_ptr<QMimeData> MimeDataFor(const std::string& working_midi,
                                         const std::string& file_name);

  // The private directory; empty when it could not be made.
  std::string directory() const;

  // Removes the drag directories in temp_directory that a killed program
  // left: this user's, not locked by a living program, and not changed in
  // the last ten seconds (one being made now has no lock yet). Returns how
  // many were removed.
  static int RemoveAbandoned(const std::string& temp_directory);

 private:
  QTemporaryDir directory_;
  int directory_slot_ = -1;
  int directory_fd_ = -1;  // holds the directory's lock
  // The temporary-file slot of each copy, by file name.
  std::map<std::string, int> copy_slots_;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_MIDI_DRAG_COPIES_H_
