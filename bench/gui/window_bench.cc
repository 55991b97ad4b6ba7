// The real window, offscreen, from a click on Compose: to the working MIDI
// file written (the player opens it at once), and to the roll drawn, for
// the longest piece; and to sound start (the player opened) for the
// factory default. The composer alone, as the command line runs it in
// process, is the yardstick.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <filesystem>
#include <memory>

#include "bench_pieces.h"
#include "model/error_reporter.h"
#include "platform/audio_renderer.h"
#include "platform/qt/qt_user_dialogs.h"
#include "ui/main_window.h"
#include "ui/roll_view.h"

namespace tessavar {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Silent, and notes when it is opened: the moment sound would start.
class TimingPlayer : public SilentPlayer {
 public:
  bool Open() override {
    opened = Clock::now();
    open_ = true;
    return true;
  }
  void Close() override { open_ = false; }
  int Mode() const override {
    return open_ ? kPlayerModeStopped : kPlayerModeNotOpen;
  }
  Clock::time_point opened;

 private:
  bool open_ = false;
};

// The window in the benchmarks' scratch directory, started as the program
// starts it.
class BenchWindow {
 public:
  BenchWindow() {
    std::filesystem::current_path(WorkDirectory());
    window_ = std::make_unique<MainWindow>(state_, player_, renderer_, dialogs_,
                                           errors_);
    window_->show();
    while (!window_->commands().activated_once()) {
      QApplication::processEvents();
    }
  }
  // Sets up the panel (as the benchmark pieces do) and enables Compose.
  template <typename Setup>
  void Prepare(Setup setup) {
    setup(state_);
    state_.panel.set_compose_enabled(true);
    window_->Refresh();
    QApplication::processEvents();
  }
  // Clicks Compose; the times to the file written and to the roll drawn.
  std::pair<double, double> Compose() {
    const Clock::time_point click = Clock::now();
    window_->compose_button()->click();
    QApplication::processEvents();  // the roll paints
    const Clock::time_point drawn = Clock::now();
    return {Seconds(click, player_.opened), Seconds(click, drawn)};
  }
  ProgramState& state() { return state_; }

 private:
  ProgramState state_;
  TimingPlayer player_;
  FluidAudioRenderer renderer_;
  QtUserDialogs dialogs_;
  CancelingErrorReporter errors_;
  std::unique_ptr<MainWindow> window_;
};

BenchWindow& Window() {
  static BenchWindow* window = new BenchWindow;
  return *window;
}

void MakeLongestPiece(ProgramState& state) {
  MakeLongest(state, kMostEventsMapping);
}

void BM_WindowComposeLongest(benchmark::State& bench) {
  BenchWindow& window = Window();
  double roll = 0;
  for (auto _ : bench) {
    window.Prepare(MakeLongestPiece);
    const auto [file, drawn] = window.Compose();
    bench.SetIterationTime(file);
    roll += drawn;
  }
  bench.counters["to_roll_ms"] =
      1000 * roll / static_cast<double>(bench.iterations());
}
BENCHMARK(BM_WindowComposeLongest)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_WindowComposeFactoryDefault(benchmark::State& bench) {
  BenchWindow& window = Window();
  for (auto _ : bench) {
    window.Prepare(LoadFactoryDefault);
    bench.SetIterationTime(window.Compose().first);
  }
}
BENCHMARK(BM_WindowComposeFactoryDefault)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The yardstick: the same piece composed and written in process, as the
// command-line composer does.
void BM_InProcessComposeLongest(benchmark::State& bench) {
  ProgramState state;
  MakeLongestPiece(state);
  for (auto _ : bench) {
    const Clock::time_point start = Clock::now();
    if (!ComposeAndWrite(state)) bench.SkipWithError("not composed");
    bench.SetIterationTime(Seconds(start, Clock::now()));
  }
}
BENCHMARK(BM_InProcessComposeLongest)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessavar

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
