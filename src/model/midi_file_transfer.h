// Moving MIDI files between the working file and a composition's companion
// file: saving copies the working file out, loading copies the companion
// file in and opens it in the player. Also the program's forms of the
// composition information, which work on the composition's MIDI path.
#ifndef TESSAVAR_MODEL_MIDI_FILE_TRANSFER_H_
#define TESSAVAR_MODEL_MIDI_FILE_TRANSFER_H_

#include <string>

namespace tessavar {

struct ProgramPaths;
struct ProgramState;
class Player;
class UiHost;
class ErrorReporter;

// Copies the working MIDI file to the composition's MIDI path (its file name
// in lower case, replacing an existing file) and opens the working file in
// the player again. Nothing happens when the MIDI path is empty. A failed
// copy is reported with Retry (copy again) and Cancel (give up; the player
// stays closed). Returns true when the copy was made.
bool SaveMIDIFile(ProgramState& state, Player& player, UiHost& ui,
                  ErrorReporter& errors);

// The working MIDI file as it is on disk; when it is missing, the
// lower-case name the program writes it under (for messages).
std::string WorkingMidiFile(const ProgramPaths& paths);

// Makes the composition's MIDI file the current one: reads its information
// text, checks that it is a MIDI file this program reads, copies it over
// the working MIDI file and opens it in the player; then Save is enabled
// and the position slider goes back to the start. A missing or unreadable
// default MIDI file (first start) is tolerated without a message; other
// failures are reported by the file's name, with Retry where it can help.
// After Cancel the player stays closed, the working file keeps its music
// and Save is off, because that music does not belong to the loaded
// composition. Returns true when the working file is a copy of the loaded
// file.
bool LoadMIDIFile(ProgramState& state, Player& player, UiHost& ui,
                  ErrorReporter& errors);

// Reads the information text of the composition's MIDI file into the state
// (the empty text when there is none).
void ExtractCompositionInfo(ProgramState& state);
// Stores the state's information text in the composition's MIDI file;
// false when that failed.
bool EmbedCompositionInfo(const ProgramState& state);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_MIDI_FILE_TRANSFER_H_
