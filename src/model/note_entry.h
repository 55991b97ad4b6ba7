// Note names typed by the user turned into the program's notations: a
// melody into a structure digit string, a scale into the user scale's
// 2-character semitone fields. Only the texts and the conversions live
// here; the window shows the input box.
#ifndef TESSAVAR_MODEL_NOTE_ENTRY_H_
#define TESSAVAR_MODEL_NOTE_ENTRY_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessavar {

inline constexpr char kMelodyTitle[] = "Melody-to-Structure Translation";
inline constexpr char kMelodyPrompt[] =
    "Enter 3 to 16 notes of melody. Use only naturals and sharps "
    "(i.e. A, A#, B, C, C#, D, D#, E, F, F#, G, G#). "
    "Spaces are permitted between notes.";
inline constexpr char kScaleTitle[] = "User-Defined Scale";
inline constexpr char kScalePrompt[] =
    "Enter the notes of the scale. Use only naturals and sharps "
    "(i.e. A, A#, B, C, C#, D, D#, E, F, F#, G, G#). "
    "Spaces are permitted between notes.";

// Longest structure made from a melody and widest range of its notes.
inline constexpr size_t kMaxMelodyNotes = 16;
inline constexpr int kMaxMelodyRange = 9;
// A complete user scale holds 12 fields of 2 characters.
inline constexpr size_t kUserScaleLength = 24;

// The semitone values of the notes in a typed text (case and surrounding
// spaces do not matter): letters A to G, each optionally followed by "#"
// (one semitone up, so B# is 12); every other character is skipped.
std::vector<int> ReadNotes(std::string_view typed);

// The structure digits of a typed melody: notes are taken while they span at
// most 9 semitones, the first 16 kept, each written as its distance above
// the lowest note taken. nullopt when fewer than 3 notes were taken.
std::optional<std::string> MelodyToStructure(std::string_view typed);

// The user scale for typed notes: one field per note as typed, then
// repeated 12 semitones higher until 12 fields exist. nullopt when the text
// holds no note.
std::optional<std::string> UserScaleFromNotes(std::string_view typed);

// The note names of the first octave of a stored scale, separated by spaces
// ("C D E G A"), shown as the input box's default text.
std::string UserScaleDefaultText(std::string_view user_scale);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_NOTE_ENTRY_H_
