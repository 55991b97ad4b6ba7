#include "midi/midi_writer.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "engine/text_number.h"
#include "base/file_system.h"

namespace tessavar {
namespace {

// Microseconds per quarter note are (234360 \ tempo) * 256 + 32.
constexpr int64_t kTempoNumerator = 234360;
constexpr int kTempoLowByte = 0x20;
// Longest delta written; longer notes are padded with filler note-offs.
constexpr int64_t kLongestDelta = 16383;

std::string TrimSpaces(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// Every data byte must be a valid 7-bit value.
char DataByte(int64_t value) {
  return static_cast<char>(std::clamp<int64_t>(value, 0, 127));
}

void AppendBytes(std::string& out, std::initializer_list<int> bytes) {
  for (int byte : bytes) out.push_back(static_cast<char>(byte));
}

// A variable-length quantity: one byte up to 127, two up to 16383, ...
// Writes it at `out` and returns its length.
int WriteVariableLength(char* out, int64_t value) {
  if (value >= 0 && value < 0x80) {
    out[0] = static_cast<char>(value);
    return 1;
  }
  if (value >= 0 && value < 0x4000) {
    out[0] = static_cast<char>(0x80 | (value >> 7));
    out[1] = static_cast<char>(value & 0x7F);
    return 2;
  }
  char groups[10];
  int count = 0;
  groups[count++] = static_cast<char>(value & 0x7F);
  for (value >>= 7; value > 0; value >>= 7) {
    groups[count++] = static_cast<char>(0x80 | (value & 0x7F));
  }
  for (int i = 0; i < count; ++i) out[i] = groups[count - 1 - i];
  return count;
}

void AppendVariableLength(std::string& out, int64_t value) {
  char bytes[10];
  out.append(bytes, WriteVariableLength(bytes, value));
}

void AppendChunk(std::string& out, std::string_view id,
                 const std::string& data) {
  out += id;
  const uint32_t length = static_cast<uint32_t>(data.size());
  AppendBytes(out, {static_cast<int>(length >> 24),
                    static_cast<int>((length >> 16) & 0xFF),
                    static_cast<int>((length >> 8) & 0xFF),
                    static_cast<int>(length & 0xFF)});
  out += data;
}

void AppendNameEvent(std::string& out, const std::string& name) {
  AppendBytes(out, {0x00, 0xFF, 0x03});
  AppendVariableLength(out, static_cast<int64_t>(name.size()));
  out += name;
}

std::string HeaderChunk(int score_tracks) {
  std::string data;
  AppendBytes(data,
              {0x00, 0x01, 0x00, score_tracks + 1, 0x00, kMidiTicksPerQuarter});
  std::string out;
  AppendChunk(out, "MThd", data);
  return out;
}

// The tempo value's two high bytes; a tempo below 4 would need more than
// two bytes and is held at the slowest value they can express.
int64_t TempoHighBytes(int64_t tempo) {
  return std::min<int64_t>(kTempoNumerator / tempo, 0xFFFF);
}

std::string TempoTrackChunk(int64_t tempo) {
  const int64_t q = TempoHighBytes(tempo);
  std::string data;
  AppendNameEvent(data, "TVX    ");
  AppendBytes(data, {0x00, 0xFF, 0x51, 0x03, static_cast<int>(q >> 8),
                     static_cast<int>(q & 0xFF), kTempoLowByte});
  AppendBytes(data, {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});
  AppendBytes(data, {0x00, 0xFF, 0x59, 0x02, 0x00, 0x00});
  AppendBytes(data, {0x00, 0xFF, 0x2F, 0x00});
  std::string out;
  AppendChunk(out, "MTrk", data);
  return out;
}

// Bytes of a note group without filler events: note on, a delta of one
// or two bytes, note off.
constexpr size_t kPlainNoteGroupBytes = 9;
constexpr size_t kFillerBytes = 5;

// Filler events a note of `ticks` needs before its closing note off.
int64_t FillerCount(int64_t ticks) {
  return ticks > kLongestDelta ? (ticks - 1) / kLongestDelta : 0;
}

// Writes the note group at `at`, which has room for it: note on at delta
// 0, filler note-offs of key 0 while the length exceeds the longest delta,
// then the closing note off. Returns the end of the group.
char* WriteNoteGroup(char* at, const ScoreEvent& event, int channel) {
  const char key = event.pitch >= 1 && event.pitch <= 127
                       ? static_cast<char>(event.pitch)
                       : 0;
  *at++ = 0x00;
  *at++ = static_cast<char>(0x90 + channel);
  *at++ = key;
  *at++ = DataByte(event.velocity);
  int64_t ticks = static_cast<int64_t>(event.duration) * kMidiTicksPerHalfUnit;
  for (; ticks > kLongestDelta; ticks -= kLongestDelta) {
    *at++ = static_cast<char>(0xFF);
    *at++ = 0x7F;
    *at++ = static_cast<char>(0x80 + channel);
    *at++ = 0x00;
    *at++ = 0x00;
  }
  // A sounding slot has a duration above 0, so after the fillers the delta
  // lies in 1 .. 16383: one or two bytes.
  at += WriteVariableLength(at, ticks);
  *at++ = static_cast<char>(0x80 + channel);
  *at++ = key;
  *at++ = 0x00;
  return at;
}

// Room for a track chunk whose notes need no filler events: the chunk
// header, the name, program and pan events, 9 bytes per stored slot and the
// two closing events. Longer notes make the string grow as usual.
size_t TrackChunkRoom(const EngineState& engine, int t) {
  size_t stored = 0;
  for (int r = 0; r < engine.score.RunCount(t); ++r) {
    stored += engine.score.RunAt(t, r).events.size();
  }
  return 8 + 4 + 4 + engine.track_name[t].size() + 7 + 9 * stored + 8;
}

// Yields at every slot from `from` up to, not including, `to` whose index
// is a multiple of the yield interval; false as soon as the user asks to
// stop.
bool YieldOverSlots(int64_t from, int64_t to, const EngineState& engine,
                    UiHost& ui) {
  const int64_t first =
      (from + kMidiYieldInterval - 1) / kMidiYieldInterval * kMidiYieldInterval;
  for (int64_t p = first; p < to; p += kMidiYieldInterval) {
    ui.Yield();
    if (engine.stop_requested != 0) return false;
  }
  return true;
}

// The note groups of track t in slot order, yielding every 128 slots (the
// empty slots between the stored runs count too); false when the user
// asked to stop.
bool AppendNotes(std::string& out, const EngineState& engine, int t,
                 int channel, UiHost& ui) {
  const Score& score = engine.score;
  int64_t next = 0;  // the first slot not visited yet
  for (int r = 0; r < score.RunCount(t); ++r) {
    const Score::Run run = score.RunAt(t, r);
    if (!YieldOverSlots(next, run.first, engine, ui)) return false;
    // The groups are written in place: room for a plain group per slot,
    // made larger for each note that needs fillers.
    size_t used = out.size();
    out.resize(used + kPlainNoteGroupBytes * run.events.size());
    int64_t slot = run.first;
    for (const ScoreEvent& event : run.events) {
      if (event.duration > 0) {
        const int64_t fillers = FillerCount(
            static_cast<int64_t>(event.duration) * kMidiTicksPerHalfUnit);
        if (fillers > 0) {
          out.resize(out.size() + static_cast<size_t>(fillers) * kFillerBytes);
        }
        used = WriteNoteGroup(out.data() + used, event, channel) - out.data();
      }
      if (slot % kMidiYieldInterval == 0) {
        ui.Yield();
        if (engine.stop_requested != 0) return false;
      }
      ++slot;
    }
    out.resize(used);
    next = slot;
  }
  // At least one slot, so that every track gives the user a chance to stop.
  const int64_t slots = std::max(score.SlotCount(t), 1);
  return YieldOverSlots(next, slots, engine, ui);
}

// Trims the names in place and counts the leading non-empty ones.
int CountTracks(std::array<std::string, kTrackCount + 1>& names) {
  int count = 0;
  for (int i = 0; i < kTrackCount; ++i) {
    names[i] = TrimSpaces(names[i]);
    if (names[i].empty()) break;
    count = i + 1;
  }
  return count;
}

// Appends the chunk of score track t; false when the user asked to stop
// (nothing is appended then).
bool AppendScoreTrack(std::string& out, EngineState& engine, int t,
                      const MidiFileSettings& settings, UiHost& ui) {
  const int channel = std::clamp(settings.channel_map[t], 1, 16) - 1;
  // The event data goes straight after the chunk header, whose length is
  // filled in at the end.
  const size_t chunk_start = out.size();
  out += "MTrk";
  out.append(4, '\0');
  const size_t data_start = out.size();
  AppendNameEvent(out, engine.track_name[t]);
  AppendBytes(out, {0x00, 0xC0 + channel});
  out.push_back(DataByte(engine.track_instrument[t]));
  AppendBytes(out, {0x00, 0xB0 + channel, 0x0A});
  out.push_back(DataByte(CInt(NumericValue(settings.pan_texts[t]))));

  if (!AppendNotes(out, engine, t, channel, ui)) {
    out.resize(chunk_start);
    return false;
  }
  AppendBytes(out, {0x00, 0xB0 + channel, 0x7B, 0x00});
  AppendBytes(out, {0x00, 0xFF, 0x2F, 0x00});
  const uint32_t length = static_cast<uint32_t>(out.size() - data_start);
  out[data_start - 4] = static_cast<char>(length >> 24);
  out[data_start - 3] = static_cast<char>((length >> 16) & 0xFF);
  out[data_start - 2] = static_cast<char>((length >> 8) & 0xFF);
  out[data_start - 1] = static_cast<char>(length & 0xFF);
  return true;
}

// Writes the file, repeating on Retry; 0 when written, otherwise the error
// number the user gave up on.
int WriteWithRetry(const std::string& path, const std::string& bytes,
                   ErrorReporter& reporter) {
  return RunWithRetry(reporter, [&] { WriteFileAtomically(path, bytes); })
      .number();
}

}  // namespace

MidiFileSettings MidiFileSettingsFromPanel(const PanelModel& panel,
                                           const ChannelMap& channel_map) {
  MidiFileSettings settings;
  settings.tempo_text = panel.Text({Box::kTempo});
  for (int t = 0; t < kTrackCount; ++t) {
    settings.pan_texts[t] = panel.Text({Box::kPan, t});
  }
  settings.channel_map = channel_map;
  return settings;
}

int SaveScoreInMIDIFormat(const std::string& midi_file, EngineState& engine,
                          const MidiFileSettings& settings,
                          ErrorReporter& reporter, UiHost& ui) {
  const std::string path = TrimSpaces(midi_file);
  if (path.empty() || TrimSpaces(engine.track_name[0]).empty()) {
    return kMidiNotWritten;
  }
  const double tempo_value = NumericValue(settings.tempo_text);
  if (tempo_value <= 0) return kMidiNotWritten;
  // A tempo that rounds to 0 is not positive either (and cannot divide).
  const int64_t tempo = CInt(tempo_value);
  if (tempo <= 0) return kMidiNotWritten;

  const int tracks = CountTracks(engine.track_name);
  std::string bytes = HeaderChunk(tracks) + TempoTrackChunk(tempo);
  size_t room = bytes.size();
  for (int t = 0; t < tracks; ++t) room += TrackChunkRoom(engine, t);
  bytes.reserve(room);
  int result = kMidiWritten;
  for (int t = 0; t < tracks; ++t) {
    if (!AppendScoreTrack(bytes, engine, t, settings, ui)) {
      // Stopped: the file keeps the header and the completed tracks.
      result = kMidiNotWritten;
      break;
    }
  }
  const int error = WriteWithRetry(LowerCaseFileName(path), bytes, reporter);
  return error != 0 ? -error : result;
}

}  // namespace tessavar
