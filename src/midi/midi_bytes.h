// The names of the Standard MIDI File bytes the program writes and reads:
// chunk ids, channel status bytes, controllers and meta event types; the
// big-endian packing of chunk lengths and header fields, and the two ways
// every reader steps through a file: from chunk to chunk, and over a
// variable-length number.
#ifndef TESSAVAR_MIDI_MIDI_BYTES_H_
#define TESSAVAR_MIDI_MIDI_BYTES_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessavar::midi {

inline constexpr std::string_view kHeaderChunkId = "MThd";
inline constexpr std::string_view kTrackChunkId = "MTrk";
// Chunk id and 4-byte length.
inline constexpr size_t kChunkHeadSize = 8;
inline constexpr size_t kChunkLengthSize = 4;

// MIDI channels: numbered 1..16 for the user, 0..15 in the low nibble of a
// channel message's status byte.
inline constexpr int kChannelCount = 16;
inline constexpr int kChannelMask = 0x0F;

// The status nibble of channel number `channel`, held within 1..16.
inline int ChannelIndex(int channel) {
  return std::clamp(channel, 1, kChannelCount) - 1;
}

// Channel messages: the high nibble of the status byte; the low nibble is
// the channel.
inline constexpr int kNoteOff = 0x80;
inline constexpr int kNoteOn = 0x90;
inline constexpr int kControlChange = 0xB0;
inline constexpr int kProgramChange = 0xC0;
inline constexpr int kChannelPressure = 0xD0;
inline constexpr int kStatusKindMask = 0xF0;
// Status bytes have the high bit set; data bytes do not.
inline constexpr int kStatusBit = 0x80;
inline constexpr int kMaxDataByte = 0x7F;

// Delta times are variable-length quantities: 7 bits a byte, most
// significant first, the high bit set on every byte but the last.
inline constexpr int kZeroDelta = 0x00;
inline constexpr int kMoreBytesBit = 0x80;
inline constexpr int kSevenBits = 0x7F;

// System exclusive and the meta event that only files carry.
inline constexpr int kSysEx = 0xF0;
inline constexpr int kSysExContinuation = 0xF7;
inline constexpr int kMetaEvent = 0xFF;

// Controllers.
inline constexpr int kPanController = 0x0A;
inline constexpr int kAllNotesOffController = 0x7B;

// Meta event types.
inline constexpr int kMetaTrackName = 0x03;
inline constexpr int kMetaEndOfTrack = 0x2F;
inline constexpr int kMetaTempo = 0x51;
inline constexpr int kMetaTimeSignature = 0x58;
inline constexpr int kMetaKeySignature = 0x59;

// Data bytes are 7-bit values: anything outside is held at the nearest end.
inline char DataByte(int64_t value) {
  return static_cast<char>(std::clamp<int64_t>(value, 0, kMaxDataByte));
}

// The unsigned number in `count` (at most 4) big-endian bytes at `offset`.
inline uint32_t ReadBigEndian(std::string_view bytes, size_t offset,
                              int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

// Writes the low `count` bytes of value big-endian at `at`.
inline void PutBigEndian(char* at, uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    at[i] = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
}

inline void AppendBigEndian(std::string& out, uint32_t value, int count) {
  const size_t at = out.size();
  out.resize(at + count);
  PutBigEndian(out.data() + at, value, count);
}

// A chunk: its id and where its data lies, cut at the end of the bytes.
struct Chunk {
  std::string_view id;
  size_t begin = 0;
  size_t end = 0;
};

// The chunk whose head starts at `position` (the next one starts at its
// end); nullopt when no whole chunk head fits there.
inline std::optional<Chunk> ChunkAt(std::string_view bytes, size_t position) {
  if (position > bytes.size() || bytes.size() - position < kChunkHeadSize) {
    return std::nullopt;
  }
  const uint64_t length = ReadBigEndian(
      bytes, position + kChunkHeadSize - kChunkLengthSize, kChunkLengthSize);
  const size_t begin = position + kChunkHeadSize;
  return Chunk{
      bytes.substr(position, kChunkHeadSize - kChunkLengthSize), begin,
      static_cast<size_t>(std::min<uint64_t>(begin + length, bytes.size()))};
}

// Files never hold a variable-length number of more bytes than this.
inline constexpr int kMaxVariableLengthBytes = 4;

struct VariableLength {
  int64_t value = 0;
  size_t end = 0;  // where the number's bytes end
};

// The variable-length number at `at`; nullopt when it runs past `end` or
// past four bytes.
inline std::optional<VariableLength> ReadVariableLength(std::string_view bytes,
                                                        size_t at, size_t end) {
  int64_t value = 0;
  for (int i = 0; i < kMaxVariableLengthBytes && at < end; ++i) {
    const int byte = static_cast<unsigned char>(bytes[at++]);
    value = (value << 7) | (byte & kSevenBits);
    if ((byte & kMoreBytesBit) == 0) return VariableLength{value, at};
  }
  return std::nullopt;
}

// A variable-length quantity: one byte up to 127, two up to 16383, ...
// Writes it at `out` and returns its length.
inline int WriteVariableLength(char* out, int64_t value) {
  if (value >= 0 && value <= kSevenBits) {
    out[0] = static_cast<char>(value);
    return 1;
  }
  if (value >= 0 && value < 0x4000) {
    out[0] = static_cast<char>(kMoreBytesBit | (value >> 7));
    out[1] = static_cast<char>(value & kSevenBits);
    return 2;
  }
  char groups[10];
  int count = 0;
  groups[count++] = static_cast<char>(value & kSevenBits);
  for (value >>= 7; value > 0; value >>= 7) {
    groups[count++] = static_cast<char>(kMoreBytesBit | (value & kSevenBits));
  }
  for (int i = 0; i < count; ++i) out[i] = groups[count - 1 - i];
  return count;
}

inline void AppendVariableLength(std::string& out, int64_t value) {
  char bytes[10];
  out.append(bytes, WriteVariableLength(bytes, value));
}

inline void AppendChunk(std::string& out, std::string_view id,
                        const std::string& data) {
  out += id;
  AppendBigEndian(out, static_cast<uint32_t>(data.size()), 4);
  out += data;
}

}  // namespace tessavar::midi

#endif  // TESSAVAR_MIDI_MIDI_BYTES_H_
