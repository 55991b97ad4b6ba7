// The composition information carried in a MIDI file: the name text of the
// first (tempo) track, which the writer fills with "TVX    " and saving a
// composition replaces by the user's text.
#ifndef TESSAVAR_MIDI_COMPOSITION_INFO_H_
#define TESSAVAR_MIDI_COMPOSITION_INFO_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessavar {

// Longest information text: its length must stay a one-byte variable-length
// quantity.
inline constexpr size_t kMaxCompInfoLength = 127;

// Offsets in the file as the MIDI writer lays it out.
inline constexpr size_t kFirstChunkLengthOffset = 18;  // 4 bytes, big-endian
inline constexpr size_t kNameEventOffset = 22;         // 00 FF 03
inline constexpr size_t kNameLengthOffset = 25;
inline constexpr size_t kNameTextOffset = 26;

// The information as it is kept: without its trailing spaces.
std::string TrimCompInfo(std::string_view info);

// The text that is stored for an information text: at most 127 bytes (cut at
// a character boundary), and one space for the empty text so that the name
// event is never empty.
std::string StoredCompInfo(std::string_view info);

// The information held by the bytes of a MIDI file, trailing spaces removed;
// nullopt when the file is too short to hold the name text it announces.
std::optional<std::string> CompInfoFromBytes(std::string_view bytes);

// The bytes of a MIDI file with its information replaced by info (stored as
// StoredCompInfo(info)) and the first chunk's length adjusted; nullopt when
// the bytes do not have the writer's layout up to the name text.
std::optional<std::string> BytesWithCompInfo(std::string_view bytes,
                                             std::string_view info);

// The information of the file at midi_path (found case-insensitively); the
// empty text when the file is missing, unreadable or too short. Never
// creates anything.
std::string ExtractCompositionInfo(const std::string& midi_path);

// Replaces the information of the file at midi_path (found
// case-insensitively). The new file is written completely beside the target
// and renamed over it in one step; on any failure the target stays as it was
// and no temporary file is left. Silent: returns false on failure.
bool EmbedCompositionInfo(const std::string& midi_path, std::string_view info);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_COMPOSITION_INFO_H_
