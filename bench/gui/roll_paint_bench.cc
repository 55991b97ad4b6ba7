// Drawing the roll of the longest piece: the whole piece fitted into the
// window, and a close view scrolled into the middle.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "bench_pieces.h"
#include "model/roll_model.h"
#include "ui/roll_painter.h"

namespace tessavar {
namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 300;

const RollModel& LongestRoll() {
  static RollModel* model = [] {
    auto* roll = new RollModel;
    roll->SetViewSize(kWidth, kHeight);
    roll->LoadFile(LongestPieceMidi());
    return roll;
  }();
  return *model;
}

void PaintTimes(benchmark::State& bench, const RollModel& model) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : bench) {
    QPainter painter(&image);
    PaintRoll(painter, model);
  }
  bench.counters["notes"] = static_cast<double>(model.content().NoteCount());
}

void BM_PaintLongestFitted(benchmark::State& bench) {
  PaintTimes(bench, LongestRoll());
}
BENCHMARK(BM_PaintLongestFitted)->Unit(benchmark::kMillisecond);

void BM_PaintLongestZoomedIn(benchmark::State& bench) {
  RollModel model = LongestRoll();
  model.ZoomAt(64.0, kWidth / 2);
  PaintTimes(bench, model);
}
BENCHMARK(BM_PaintLongestZoomedIn)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessavar

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
