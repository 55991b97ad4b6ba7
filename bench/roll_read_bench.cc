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

}  // namespace
}  // namespace tessavar
