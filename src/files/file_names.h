// Name rules of the file commands: extensions, the composition's companion
// MIDI file and the window caption that names the file in use.
#ifndef TESSAVAR_FILES_FILE_NAMES_H_
#define TESSAVAR_FILES_FILE_NAMES_H_

#include <string>
#include <string_view>

namespace tessavar {

// Replaces the extension of the last path component (from its last ".") by
// "." + extension, or appends it when there is none: "BASS" and "BASS.TXT"
// give "BASS.orc"; "my.dir/SONG" gives "my.dir/SONG.orc".
std::string ReplaceExtension(const std::string& path,
                             std::string_view extension);

// The MIDI file that accompanies a composition file: "SONG.tvx" gives
// "SONG.MID".
std::string CompanionMidiPath(const std::string& composition_path);

// The last path component ("dir/SONG.tvx" gives "SONG.tvx").
std::string DisplayFileName(const std::string& path);

// The caption up to its first " [" followed by " [file name]", so that
// naming a file twice does not repeat the bracket.
std::string CaptionWithFileName(const std::string& caption,
                                const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_FILES_FILE_NAMES_H_
