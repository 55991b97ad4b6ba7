#include "midi/midi_writer.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "base/file_system.h"
#include "base/text.h"
#include "midi/midi_bytes.h"

namespace tessavar {
namespace {

using midi::AppendBigEndian;
using midi::AppendChunk;
using midi::AppendVariableLength;
using midi::DataByte;
using midi::WriteVariableLength;

// Microseconds per quarter note are (234360 \ tempo) * 256 + 32.
constexpr int64_t kTempoNumerator = 234360;
constexpr int kTempoLowByte = 0x20;
// Longest delta written; longer notes are padded with filler note-offs.
constexpr int64_t kLongestDelta = 16383;
// The name of the tempo track, replaced later by the composition info.
constexpr std::string_view kTempoTrackName = "TVX    ";
// The header: format 1, and a division of 96 ticks per quarter note.
constexpr int kFileFormat = 1;
// The time signature written: 4/4, a click every quarter (24 MIDI clocks),
// eight 32nd notes per quarter; the key signature: C major.
constexpr int kTimeSignatureData[] = {0x04, 0x02, 0x18, 0x08};
constexpr int kKeySignatureData[] = {0x00, 0x00};

void AppendBytes(std::string& out, std::initializer_list<int> bytes) {
  for (int byte : bytes) out.push_back(static_cast<char>(byte));
}

// A meta event at delta 0 with its data.
void AppendMeta(std::string& out, int type, std::string_view data) {
  AppendBytes(out, {midi::kZeroDelta, midi::kMetaEvent, type});
  AppendVariableLength(out, static_cast<int64_t>(data.size()));
  out += data;
}

template <size_t N>
void AppendMeta(std::string& out, int type, const int (&data)[N]) {
  std::string bytes;
  for (int byte : data) bytes.push_back(static_cast<char>(byte));
  AppendMeta(out, type, bytes);
}

void AppendEndOfTrack(std::string& out) {
  AppendMeta(out, midi::kMetaEndOfTrack, std::string_view());
}

std::string HeaderChunk(int score_tracks) {
  std::string data;
  AppendBigEndian(data, kFileFormat, 2);
  AppendBigEndian(data, static_cast<uint32_t>(score_tracks + 1), 2);
  AppendBigEndian(data, kMidiTicksPerQuarter, 2);
  std::string out;
  AppendChunk(out, midi::kHeaderChunkId, data);
  return out;
}

// The tempo value's two high bytes; a tempo below 4 would need more than
// two bytes and is held at the slowest value they can express.
int64_t TempoHighBytes(int64_t tempo) {
  return std::min<int64_t>(kTempoNumerator / tempo, 0xFFFF);
}

std::string TempoTrackChunk(int64_t tempo) {
  std::string tempo_bytes;
  AppendBigEndian(tempo_bytes, static_cast<uint32_t>(TempoHighBytes(tempo)), 2);
  tempo_bytes.push_back(static_cast<char>(kTempoLowByte));
  std::string data;
  AppendMeta(data, midi::kMetaTrackName, kTempoTrackName);
  AppendMeta(data, midi::kMetaTempo, tempo_bytes);
  AppendMeta(data, midi::kMetaTimeSignature, kTimeSignatureData);
  AppendMeta(data, midi::kMetaKeySignature, kKeySignatureData);
  AppendEndOfTrack(data);
  std::string out;
  AppendChunk(out, midi::kTrackChunkId, data);
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
  const char key = event.pitch >= 1 && event.pitch <= midi::kMaxDataByte
                       ? static_cast<char>(event.pitch)
                       : 0;
  const char note_on = static_cast<char>(midi::kNoteOn + channel);
  const char note_off = static_cast<char>(midi::kNoteOff + channel);
  *at++ = midi::kZeroDelta;
  *at++ = note_on;
  *at++ = key;
  *at++ = DataByte(event.velocity);
  int64_t ticks = static_cast<int64_t>(event.duration) * kMidiTicksPerHalfUnit;
  for (; ticks > kLongestDelta; ticks -= kLongestDelta) {
    at += WriteVariableLength(at, kLongestDelta);
    *at++ = note_off;
    *at++ = 0x00;
    *at++ = 0x00;
  }
  // A sounding slot has a duration above 0, so after the fillers the delta
  // lies in 1 .. 16383: one or two bytes.
  at += WriteVariableLength(at, ticks);
  *at++ = note_off;
  *at++ = key;
  *at++ = 0x00;
  return at;
}

// Room for a track chunk whose notes need no filler events: the chunk
// header, the name, program and pan events, 9 bytes per stored slot and the
// two closing events. Longer notes make the string grow as usual.
size_t TrackChunkRoom(const Score& score, int t, const std::string& name) {
  size_t stored = 0;
  for (int r = 0; r < score.RunCount(t); ++r) {
    stored += score.RunAt(t, r).events.size();
  }
  return 8 + 4 + 4 + name.size() + 7 + 9 * stored + 8;
}

// Yields at every slot from `from` up to, not including, `to` whose index
// is a multiple of the yield interval; false as soon as the user asks to
// stop.
bool YieldOverSlots(int64_t from, int64_t to, ProgressHook& hook) {
  const int64_t first =
      (from + kMidiYieldInterval - 1) / kMidiYieldInterval * kMidiYieldInterval;
  for (int64_t p = first; p < to; p += kMidiYieldInterval) {
    hook.Yield();
    if (hook.StopRequested()) return false;
  }
  return true;
}

// The note groups of track t in slot order, yielding every 128 slots (the
// empty slots between the stored runs count too); false when the user
// asked to stop.
bool AppendNotes(std::string& out, const Score& score, int t, int channel,
                 ProgressHook& hook) {
  int64_t next = 0;  // the first slot not visited yet
  for (int r = 0; r < score.RunCount(t); ++r) {
    const Score::Run run = score.RunAt(t, r);
    if (!YieldOverSlots(next, run.first, hook)) return false;
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
        hook.Yield();
        if (hook.StopRequested()) return false;
      }
      ++slot;
    }
    out.resize(used);
    next = slot;
  }
  // At least one slot, so that every track gives the user a chance to stop.
  const int64_t slots = std::max(score.SlotCount(t), 1);
  return YieldOverSlots(next, slots, hook);
}

// The leading non-empty names, at most one per score track.
int CountTracks(std::span<const std::string> names) {
  const size_t limit = std::min<size_t>(names.size(), kTrackCount);
  size_t count = 0;
  while (count < limit && !names[count].empty()) ++count;
  return static_cast<int>(count);
}

// What a score track is written with besides its notes.
struct TrackHead {
  std::string_view name;
  int instrument = 0;
  int64_t pan = 0;
  int channel = 0;  // 0-based
};

// Appends the chunk of score track t; false when the user asked to stop
// (nothing is appended then).
bool AppendScoreTrack(std::string& out, const Score& score, int t,
                      const TrackHead& head, ProgressHook& hook) {
  const int channel = head.channel;
  // The event data goes straight after the chunk header, whose length is
  // filled in at the end.
  const size_t chunk_start = out.size();
  out += midi::kTrackChunkId;
  out.append(midi::kChunkLengthSize, '\0');
  const size_t data_start = out.size();
  AppendMeta(out, midi::kMetaTrackName, head.name);
  AppendBytes(out, {midi::kZeroDelta, midi::kProgramChange + channel});
  out.push_back(DataByte(head.instrument));
  AppendBytes(out, {midi::kZeroDelta, midi::kControlChange + channel,
                    midi::kPanController});
  out.push_back(DataByte(head.pan));

  if (!AppendNotes(out, score, t, channel, hook)) {
    out.resize(chunk_start);
    return false;
  }
  AppendBytes(out, {midi::kZeroDelta, midi::kControlChange + channel,
                    midi::kAllNotesOffController, 0x00});
  AppendEndOfTrack(out);
  midi::PutBigEndian(out.data() + data_start - midi::kChunkLengthSize,
                     static_cast<uint32_t>(out.size() - data_start),
                     midi::kChunkLengthSize);
  return true;
}

}  // namespace

std::string MidiFileTarget(const std::string& midi_file) {
  const std::string path(TrimSpaces(midi_file));
  return path.empty() ? path : LowerCaseFileName(path);
}

MidiFileBytes BuildMidiFile(const Score& score,
                            std::span<const std::string> track_names,
                            std::span<const int, kTrackCount> instruments,
                            const MidiFileSettings& settings,
                            ProgressHook& hook) {
  MidiFileBytes file;
  const int tracks = CountTracks(track_names);
  if (tracks == 0 || settings.tempo <= 0) return file;
  std::string& bytes = file.bytes;
  bytes = HeaderChunk(tracks) + TempoTrackChunk(settings.tempo);
  size_t room = bytes.size();
  for (int t = 0; t < tracks; ++t) {
    room += TrackChunkRoom(score, t, track_names[t]);
  }
  bytes.reserve(room);
  file.outcome = MidiWriteOutcome::kWritten;
  for (int t = 0; t < tracks; ++t) {
    const TrackHead head{track_names[t], instruments[t], settings.pans[t],
                         midi::ChannelIndex(settings.channel_map[t])};
    if (!AppendScoreTrack(bytes, score, t, head, hook)) {
      // Stopped: the file keeps the header and the completed tracks.
      file.outcome = MidiWriteOutcome::kStopped;
      break;
    }
  }
  return file;
}

}  // namespace tessavar
