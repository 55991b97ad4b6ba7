// Which files on disk a composition and its MIDI file are. The file named
// is the file read: the exact name first, and only when it does not exist
// a match that ignores letter case, so that "SONG.tvx" beside "song.tvx"
// pairs with "SONG.mid", never with "song.mid".
#ifndef TESSAVAR_MODEL_FILE_PAIRS_H_
#define TESSAVAR_MODEL_FILE_PAIRS_H_

#include <string>

namespace tessavar {

// The entry a program file's name stands for: the exact name when it
// exists; else an entry with the same stem in the same case and the
// extension in any case ("SONG.MID" finds "SONG.mid"); else the match of
// the whole name in any case. The name unchanged when there is none.
std::string FindPairedFile(const std::string& path);

// True when the exact name is a regular file (through a symbolic link).
bool ExactFileExists(const std::string& path);

// True for a name ending in ".mid" in any case.
bool IsMidiFileName(const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_FILE_PAIRS_H_
