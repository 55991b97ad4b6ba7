// Composing and writing speed: the factory default, the longest pieces the
// panel allows, and every mapping of the factory default through the steps
// the command-line composer takes.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/batch_writer.h"
#include "base/file_system.h"
#include "bench_pieces.h"
#include "engine/composer.h"
#include "midi/midi_writer.h"
#include "model/compose_command.h"
#include "model/composition_file_io.h"
#include "model/midi_save.h"
#include "model/panel_compose.h"
#include "model/player.h"
#include "model/program_init.h"
#include "model/program_state.h"
#include "model/silent_player.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;

long ScoreEvents(const EngineState& engine) {
  long events = 0;
  for (int t = 0; t < kTrackCount; ++t) {
    events += engine.score.EventCount(t);
  }
  return events;
}

// Times `step` on a fresh copy of `prepared` in every iteration, as a new
// command-line run has it: the score store starts empty, and the memory of
// the previous piece is given back first, so the new one has to be mapped
// again (which costs much on some machines). Making and dropping the copy is
// not timed. Returns the last state.
template <typename Step>
std::unique_ptr<ProgramState> TimeOnFreshState(benchmark::State& bench,
                                               const ProgramState& prepared,
                                               Step step) {
  std::unique_ptr<ProgramState> state;
  for (auto _ : bench) {
    bench.PauseTiming();
    state.reset();
    state = std::make_unique<ProgramState>(prepared);
    bench.ResumeTiming();
    if (!step(*state)) bench.SkipWithError("compose failed");
  }
  return state;
}

// Times `step` again and again on the same state, as the desktop program
// composes: the store keeps its storage from one piece to the next.
template <typename Step>
void TimeOnSameState(benchmark::State& bench, ProgramState& state, Step step) {
  for (auto _ : bench) {
    if (!step(state)) bench.SkipWithError("compose failed");
  }
}

bool ComposeAndWriteStep(ProgramState& state) { return ComposeAndWrite(state); }

bool ComposeOnlyStep(ProgramState& state) {
  state.panel.DisablePanel();
  UiHost host;
  PanelComposeHook hook(state.panel, host);
  const ComposeRequest request =
      ComposeRequestFromPanel(state.panel, state.engine.user_scale);
  return ComposeAndFinishScore(request, state.engine, hook).composed;
}

void ReportPiece(benchmark::State& bench, const ProgramState* state) {
  if (state == nullptr) return;
  bench.counters["events"] = static_cast<double>(ScoreEvents(state->engine));
  bench.counters["slots"] = state->engine.score.UsedLength();
}

void BM_ComposeAndWriteFactoryDefault(benchmark::State& bench) {
  ProgramState prepared;
  LoadFactoryDefault(prepared);
  ReportPiece(bench,
              TimeOnFreshState(bench, prepared, ComposeAndWriteStep).get());
}
BENCHMARK(BM_ComposeAndWriteFactoryDefault)->Unit(benchmark::kMillisecond);

void BM_ComposeOnlyFactoryDefault(benchmark::State& bench) {
  ProgramState prepared;
  LoadFactoryDefault(prepared);
  TimeOnFreshState(bench, prepared, ComposeOnlyStep);
}
BENCHMARK(BM_ComposeOnlyFactoryDefault)->Unit(benchmark::kMillisecond);

// Mappings of the longest panel: 14683, 25293 and 26689 give the most
// events (about 465,000, 409,000 and 367,000); 21441 and 19841 have long
// themes, which made the contour search slow; 1 and 32767 are short.
void LongestMappings(benchmark::internal::Benchmark* bench) {
  for (int mapping : {25293, 21441, 19841, 26689, 14683, 1, 32767}) {
    bench->Arg(mapping);
  }
  bench->Unit(benchmark::kMillisecond);
}

void BM_ComposeAndWriteLongest(benchmark::State& bench) {
  ProgramState prepared;
  MakeLongest(prepared, static_cast<int>(bench.range(0)));
  ReportPiece(bench,
              TimeOnFreshState(bench, prepared, ComposeAndWriteStep).get());
}
BENCHMARK(BM_ComposeAndWriteLongest)->Apply(LongestMappings);

void BM_RecomposeAndWriteLongest(benchmark::State& bench) {
  ProgramState state;
  MakeLongest(state, static_cast<int>(bench.range(0)));
  TimeOnSameState(bench, state, ComposeAndWriteStep);
  ReportPiece(bench, &state);
}
BENCHMARK(BM_RecomposeAndWriteLongest)->Apply(LongestMappings);

// The two halves of the longest pieces on their own.
void BM_ComposeOnlyLongest(benchmark::State& bench) {
  ProgramState prepared;
  MakeLongest(prepared, static_cast<int>(bench.range(0)));
  TimeOnFreshState(bench, prepared, ComposeOnlyStep);
}
BENCHMARK(BM_ComposeOnlyLongest)->Apply(LongestMappings);

void BM_WriteOnlyLongest(benchmark::State& bench) {
  ProgramState state;
  MakeLongest(state, static_cast<int>(bench.range(0)));
  if (!ComposeAndWrite(state)) bench.SkipWithError("compose failed");
  const MidiFileSettings settings =
      MidiFileSettingsFromPanel(state.panel, state.channel_map);
  const std::string path = WorkDirectory() + "/write.mid";
  UiHost host;
  CancelingErrorReporter errors;
  for (auto _ : bench) {
    if (!SaveScoreAsMidiFile(path, state.engine, settings, errors, host)
             .written()) {
      bench.SkipWithError("write failed");
    }
  }
  bench.SetBytesProcessed(bench.iterations() *
                          static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_WriteOnlyLongest)->Apply(LongestMappings);

double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 +
         static_cast<double>(now.tv_nsec) / 1e6;
}

// CPU time of composing and writing one piece from a fresh state.
template <typename Prepare>
double PieceCpuMs(benchmark::State& bench, Prepare prepare, int mapping) {
  ProgramState state;
  prepare(state, mapping);
  const double start = ThreadCpuMs();
  if (!ComposeAndWrite(state)) bench.SkipWithError("compose failed");
  return ThreadCpuMs() - start;
}

// Times each piece (CPU time) of a run over the mappings 1, 1 + step, ...;
// reports the mean and the slowest piece. A single timing can be inflated
// by the machine, so the ten slowest pieces are timed five times more and
// the slowest median counts.
template <typename Prepare>
void SweepMappings(benchmark::State& bench, int step, Prepare prepare) {
  std::vector<std::pair<double, int>> times;
  double total_ms = 0;
  int pieces = 0;
  for (auto _ : bench) {
    for (int mapping = 1; mapping <= 32767; mapping += step) {
      const double ms = PieceCpuMs(bench, prepare, mapping);
      total_ms += ms;
      ++pieces;
      times.emplace_back(ms, mapping);
    }
  }
  std::sort(times.rbegin(), times.rend());
  times.resize(std::min<size_t>(times.size(), 10));
  double slowest_ms = 0;
  int slowest_mapping = 0;
  for (const auto& [first_ms, mapping] : times) {
    std::vector<double> again;
    for (int i = 0; i < 5; ++i)
      again.push_back(PieceCpuMs(bench, prepare, mapping));
    std::nth_element(again.begin(), again.begin() + 2, again.end());
    if (again[2] > slowest_ms) {
      slowest_ms = again[2];
      slowest_mapping = mapping;
    }
  }
  bench.counters["pieces"] = static_cast<double>(pieces);
  bench.counters["mean_cpu_ms"] = total_ms / pieces;
  bench.counters["slowest_cpu_ms"] = slowest_ms;
  bench.counters["slowest_mapping"] = slowest_mapping;
}

// The longest panel over every 64th mapping, or over all of them.
void BM_LongestOverManyMappings(benchmark::State& bench) {
  SweepMappings(bench, static_cast<int>(bench.range(0)), MakeLongest);
}
BENCHMARK(BM_LongestOverManyMappings)
    ->Arg(64)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// Every mapping of the factory default as the command-line composer does
// it on one core, without the process start: each piece starts from the
// composition loaded once, is composed in memory and written to its own
// file, and the files are flushed to the disk once at the end.
void BM_FactoryDefaultAllMappings(benchmark::State& bench) {
  ProgramState loaded;
  LoadFactoryDefault(loaded);
  const fs::path directory = fs::path(WorkDirectory()) / "all";
  double total_s = 0;
  for (auto _ : bench) {
    fs::create_directory(directory);
    auto start = std::chrono::steady_clock::now();
    BatchWriter writer(Durability::kFlushNewLater);
    for (int mapping = 1; mapping <= 32767; ++mapping) {
      ProgramState state(loaded);
      state.panel.SetText({Box::kMapping}, std::to_string(mapping));
      UiHost host;
      SilentPlayer player;
      CancelingErrorReporter errors;
      ComposeCommand command(state, player, host, errors);
      std::string midi;
      command.KeepMidiFileIn(&midi);
      if (!command.Click().written) bench.SkipWithError("compose failed");
      writer.Write(directory / (std::to_string(mapping) + ".mid"), midi);
    }
    writer.Finish();
    total_s +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count();
    fs::remove_all(directory);
  }
  bench.counters["total_s"] = total_s;
}
BENCHMARK(BM_FactoryDefaultAllMappings)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tessavar

BENCHMARK_MAIN();
