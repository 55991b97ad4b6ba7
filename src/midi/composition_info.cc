#include "midi/composition_info.h"

#include <cstdint>

#include "base/file_system.h"
#include "base/status.h"
#include "base/text.h"
#include "midi/midi_bytes.h"

namespace tessavar {
namespace {

uint8_t ByteAt(std::string_view bytes, size_t offset) {
  return static_cast<uint8_t>(bytes[offset]);
}

// Where the first track chunk begins: after the 14-byte header chunk.
constexpr size_t kFirstTrackOffset = 14;

// True when the bytes start like a file of the MIDI writer: header chunk,
// first track chunk and its name event with a one-byte length.
bool HasWriterLayout(std::string_view bytes) {
  if (bytes.size() < kNameTextOffset) return false;
  if (bytes.substr(0, 4) != midi::kHeaderChunkId ||
      bytes.substr(kFirstTrackOffset, 4) != midi::kTrackChunkId) {
    return false;
  }
  return ByteAt(bytes, kNameEventOffset) == midi::kZeroDelta &&
         ByteAt(bytes, kNameEventOffset + 1) == midi::kMetaEvent &&
         ByteAt(bytes, kNameEventOffset + 2) == midi::kMetaTrackName &&
         ByteAt(bytes, kNameLengthOffset) <= midi::kMaxDataByte;
}

}  // namespace

std::string TrimCompInfo(std::string_view info) {
  const size_t end = info.find_last_not_of(' ');
  return std::string(
      info.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::string StoredCompInfo(std::string_view info) {
  if (info.empty()) return " ";
  if (info.size() <= kMaxCompInfoLength) return std::string(info);
  // Never keep half of a multi-byte character.
  return std::string(info.substr(0, Utf8CutBefore(info, kMaxCompInfoLength)));
}

std::optional<std::string> CompInfoFromBytes(std::string_view bytes) {
  if (bytes.size() < kNameTextOffset) return std::nullopt;
  size_t length = ByteAt(bytes, kNameLengthOffset);
  if (bytes.size() < kNameTextOffset + length) return std::nullopt;
  return TrimCompInfo(bytes.substr(kNameTextOffset, length));
}

std::optional<std::string> BytesWithCompInfo(std::string_view bytes,
                                             std::string_view info) {
  if (!HasWriterLayout(bytes)) return std::nullopt;
  size_t old_length = ByteAt(bytes, kNameLengthOffset);
  if (bytes.size() < kNameTextOffset + old_length) return std::nullopt;
  uint32_t chunk_length =
      midi::ReadBigEndian(bytes, kFirstChunkLengthOffset, 4);
  // The name event (4 bytes and the text) lies inside the first chunk.
  if (chunk_length < 4 + old_length) return std::nullopt;

  std::string text = StoredCompInfo(info);
  std::string result(bytes.substr(0, kNameLengthOffset));
  midi::PutBigEndian(
      result.data() + kFirstChunkLengthOffset,
      static_cast<uint32_t>(chunk_length - old_length + text.size()), 4);
  result += static_cast<char>(text.size());
  result += text;
  result += bytes.substr(kNameTextOffset + old_length);
  return result;
}

std::string ExtractCompositionInfo(const std::string& midi_path) {
  if (midi_path.empty() || !FileExists(midi_path)) return "";
  try {
    return CompInfoFromBytes(ReadWholeFile(ProgramFileOnDisk(midi_path)))
        .value_or("");
  } catch (const RunTimeError&) {
    return "";
  }
}

bool EmbedCompositionInfo(const std::string& midi_path, std::string_view info) {
  if (midi_path.empty() || !FileExists(midi_path)) return false;
  std::string target = ProgramFileOnDisk(midi_path);
  try {
    std::optional<std::string> bytes =
        BytesWithCompInfo(ReadWholeFile(target), info);
    if (!bytes) return false;
    WriteFileAtomically(target, *bytes);
    return true;
  } catch (const RunTimeError&) {
    return false;
  }
}

}  // namespace tessavar
