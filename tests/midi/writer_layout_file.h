// Builds MIDI files byte for byte in the layout of the program's MIDI
// writer, so that the readers and patchers can be tested on their own.
#ifndef TESSAVAR_TESTS_MIDI_WRITER_LAYOUT_FILE_H_
#define TESSAVAR_TESTS_MIDI_WRITER_LAYOUT_FILE_H_

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace tessavar::testing {

struct LayoutNote {
  int key;
  int velocity;
  int ticks;  // at most 16383
};

struct LayoutTrack {
  std::string name;  // "Track 1"
  int channel = 1;   // 1..16
  int program = 0;
  int pan = 64;
  std::vector<LayoutNote> notes;
};

struct LayoutFile {
  std::string bytes;
  // Offsets of each track's program and pan data bytes.
  std::vector<size_t> program_offsets;
  std::vector<size_t> pan_offsets;
};

inline void AppendBytes(std::string& out, std::initializer_list<int> bytes) {
  for (int b : bytes) out += static_cast<char>(b);
}

// The file for a tempo and tracks; announced_tracks overrides the track count
// of the header (a stopped write announces more tracks than it holds).
inline LayoutFile WriterLayoutFile(int tempo,
                                   const std::vector<LayoutTrack>& tracks,
                                   int announced_tracks = -1) {
  LayoutFile file;
  std::string& out = file.bytes;
  int count =
      announced_tracks < 0 ? static_cast<int>(tracks.size()) : announced_tracks;
  out += "MThd";
  AppendBytes(out, {0, 0, 0, 6, 0, 1, 0, count + 1, 0, 0x60});
  int q = 234360 / tempo;
  out += "MTrk";
  AppendBytes(out, {0, 0, 0, 0x24, 0x00, 0xFF, 0x03, 7});
  out += "TVX    ";
  AppendBytes(out, {0x00, 0xFF, 0x51, 0x03, q / 256, q % 256, 0x20});
  AppendBytes(out, {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});
  AppendBytes(out, {0x00, 0xFF, 0x59, 0x02, 0x00, 0x00});
  AppendBytes(out, {0x00, 0xFF, 0x2F, 0x00});
  for (const LayoutTrack& track : tracks) {
    int c = track.channel - 1;
    std::string data;
    AppendBytes(data, {0x00, 0xFF, 0x03, static_cast<int>(track.name.size())});
    data += track.name;
    size_t data_start = out.size() + 8;
    file.program_offsets.push_back(data_start + data.size() + 2);
    file.pan_offsets.push_back(data_start + data.size() + 6);
    AppendBytes(data, {0x00, 0xC0 + c, track.program});
    AppendBytes(data, {0x00, 0xB0 + c, 0x0A, track.pan});
    for (const LayoutNote& note : track.notes) {
      AppendBytes(data, {0x00, 0x90 + c, note.key, note.velocity});
      if (note.ticks <= 127) {
        AppendBytes(data, {note.ticks});
      } else {
        AppendBytes(data, {0x80 + note.ticks / 128, note.ticks % 128});
      }
      AppendBytes(data, {0x80 + c, note.key, 0x00});
    }
    AppendBytes(data, {0x00, 0xB0 + c, 0x7B, 0x00, 0x00, 0xFF, 0x2F, 0x00});
    size_t length = data.size();
    out += "MTrk";
    AppendBytes(out, {static_cast<int>(length >> 24 & 0xFF),
                      static_cast<int>(length >> 16 & 0xFF),
                      static_cast<int>(length >> 8 & 0xFF),
                      static_cast<int>(length & 0xFF)});
    out += data;
  }
  return file;
}

// Tracks "Track 1" ... on channels 1 ... with programs 10, 11, ... and pans
// 30, 31, ..., each with a few notes.
inline std::vector<LayoutTrack> SampleTracks(int count) {
  std::vector<LayoutTrack> tracks;
  for (int t = 0; t < count; ++t) {
    LayoutTrack track;
    track.name = "Track " + std::to_string(t + 1);
    track.channel = t + 1;
    track.program = 10 + t;
    track.pan = 30 + t;
    track.notes = {{60 + t, 100, 96}, {62, 90, 144}, {64 + t, 80, 48}};
    tracks.push_back(track);
  }
  return tracks;
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_MIDI_WRITER_LAYOUT_FILE_H_
