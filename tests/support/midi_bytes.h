// Hand-built Standard MIDI File bytes for tests that must not depend on the
// program's own MIDI writer.
#ifndef TESSAVAR_TESTS_SUPPORT_MIDI_BYTES_H_
#define TESSAVAR_TESTS_SUPPORT_MIDI_BYTES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessavar::testing {

inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

inline std::string Vlq(uint32_t value) {
  std::string reversed(1, static_cast<char>(value & 0x7F));
  for (value >>= 7; value != 0; value >>= 7) {
    reversed.push_back(static_cast<char>((value & 0x7F) | 0x80));
  }
  return std::string(reversed.rbegin(), reversed.rend());
}

inline std::string BigEndian(uint32_t value, int count) {
  std::string bytes;
  for (int i = count - 1; i >= 0; --i) {
    bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
  return bytes;
}

inline std::string Chunk(std::string_view id, std::string_view body) {
  return std::string(id) + BigEndian(static_cast<uint32_t>(body.size()), 4) +
         std::string(body);
}

inline std::string Header(int format, int tracks, int division) {
  return Chunk("MThd", BigEndian(format, 2) + BigEndian(tracks, 2) +
                           BigEndian(division, 2));
}

inline std::string Tempo(uint32_t delta, uint32_t microseconds) {
  return Vlq(delta) + Bytes({0xFF, 0x51, 0x03}) + BigEndian(microseconds, 3);
}

inline std::string EndOfTrack(uint32_t delta = 0) {
  return Vlq(delta) + Bytes({0xFF, 0x2F, 0x00});
}

struct Note {
  uint32_t rest_before = 0;  // ticks of silence before the note
  int key = 60;
  uint32_t ticks = 96;
};

// A track that sets a program and plays notes one after another.
inline std::string NoteTrack(int channel, int program,
                             const std::vector<Note>& notes) {
  std::string body = Vlq(0) + Bytes({0xC0 | channel, program});
  for (const Note& note : notes) {
    body += Vlq(note.rest_before) + Bytes({0x90 | channel, note.key, 100});
    body += Vlq(note.ticks) + Bytes({0x80 | channel, note.key, 0});
  }
  return Chunk("MTrk", body + EndOfTrack());
}

// The layout of the program's files: format 1, 96 ticks per quarter note,
// a tempo track first, then one track per note list.
inline constexpr uint32_t kWriterTempo = 399904;  // bytes 06 1A 20

inline std::string WriterLayoutFile(
    const std::vector<std::vector<Note>>& tracks,
    uint32_t tempo = kWriterTempo) {
  std::string file = Header(1, static_cast<int>(tracks.size()) + 1, 96);
  file += Chunk("MTrk", Tempo(0, tempo) + EndOfTrack());
  for (size_t t = 0; t < tracks.size(); ++t) {
    file += NoteTrack(static_cast<int>(t), 0, tracks[t]);
  }
  return file;
}

// n quarter notes in a row on one track.
inline std::vector<Note> Quarters(int n, int key = 60) {
  return std::vector<Note>(n, Note{0, key, 96});
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_MIDI_BYTES_H_
