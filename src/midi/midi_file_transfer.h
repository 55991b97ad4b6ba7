// Moving MIDI files between the working file and a composition's companion
// file: saving copies the working file out, loading copies the companion
// file in and opens it in the player.
#ifndef TESSAVAR_MIDI_MIDI_FILE_TRANSFER_H_
#define TESSAVAR_MIDI_MIDI_FILE_TRANSFER_H_

#include <string>

namespace tessavar {

struct ProgramState;
class Player;
class UiHost;
class ErrorReporter;

// Where a file that the program writes is found: the path itself when it
// exists, otherwise a case-insensitive match ("SONG.MID" finds "song.mid").
std::string ProgramFileOnDisk(const std::string& path);

// Copies the working MIDI file to the composition's MIDI path (its file name
// in lower case, replacing an existing file) and opens the working file in
// the player again. Nothing happens when the MIDI path is empty. A failed
// copy is reported with Retry (copy again) and Cancel (give up; the player
// stays closed). Returns true when the copy was made.
bool SaveMIDIFile(ProgramState& state, Player& player, UiHost& ui,
                  ErrorReporter& errors);

// Makes the composition's MIDI file the current one: reads its information
// text, copies it over the working MIDI file and opens it in the player;
// then Save is enabled and the position slider goes back to the start.
// A missing default MIDI file (first start) is tolerated without a message;
// other copy failures are reported with Retry and Cancel. After Cancel the
// player still opens the file but Save stays as it was, because the working
// file does not belong to the loaded composition. Returns true when the
// working file is a copy of the loaded file.
bool LoadMIDIFile(ProgramState& state, Player& player, UiHost& ui,
                  ErrorReporter& errors);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_MIDI_FILE_TRANSFER_H_
