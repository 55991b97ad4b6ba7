// Reading the longest piece's MIDI file into the roll's model.
#include <benchmark/benchmark.h>

#include "base/file_system.h"
#include "bench_pieces.h"
#include "midi/midi_reader.h"
#include "model/roll_model.h"

namespace tessavar {
namespace {

void BM_ReadLongestIntoRoll(benchmark::State& bench) {
  const std::string bytes = ReadWholeFile(LongestPieceMidi());
  int64_t notes = 0;
  for (auto _ : bench) {
    Result<MidiContent> content = ReadMidiContent(bytes);
    if (!content.ok()) bench.SkipWithError("unreadable");
    RollModel model;
    model.SetContent(std::move(content).value());
    notes = model.content().NoteCount();
  }
  bench.counters["notes"] = static_cast<double>(notes);
}
BENCHMARK(BM_ReadLongestIntoRoll)->Unit(benchmark::kMillisecond);

// A file of `notes` notes all held at once on middle C, then all released:
// the worst case for pairing note-ons with note-offs (2.4 MB for 400,000).
std::string StackedNotesFile(int notes) {
  constexpr unsigned char kKey = 60;
  std::string track = {0, '\x90', kKey, 100};
  for (int i = 1; i < notes; ++i) track += {1, kKey, 100};
  for (int i = 0; i < notes; ++i) track += {1, kKey, 0};
  track += {0, '\xFF', 0x2F, 0};
  const uint32_t size = static_cast<uint32_t>(track.size());
  std::string file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96};
  file += {'M',
           'T',
           'r',
           'k',
           static_cast<char>(size >> 24),
           static_cast<char>(size >> 16),
           static_cast<char>(size >> 8),
           static_cast<char>(size)};
  return file + track;
}

void BM_ReadStackedNotes(benchmark::State& bench) {
  const std::string bytes = StackedNotesFile(static_cast<int>(bench.range(0)));
  for (auto _ : bench) {
    Result<MidiContent> content = ReadMidiContent(bytes);
    if (!content.ok()) bench.SkipWithError("unreadable");
    benchmark::DoNotOptimize(content);
  }
  bench.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ReadStackedNotes)->Arg(400000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessavar
