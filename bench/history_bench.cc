// Browsing speed: one undo or redo step of the panel, and bringing back a
// piece of the history without composing (its settings, and its MIDI bytes
// written as the working file), for the factory default and for one of the
// longest pieces.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/text_number.h"
#include "model/browse_session.h"
#include "model/compose_command.h"
#include "model/composition_file_io.h"
#include "model/silent_player.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;

// The factory default in a directory of its own, removed at the end.
class Program {
 public:
  Program()
      : dir_(fs::temp_directory_path() /
             ("tessavar-history-bench-" + std::to_string(::getpid()))) {
    fs::create_directories(dir_);
    state_.paths = ProgramPaths::FromDirectory(dir_.string());
    UiHost host;
    LoadStartupComposition(state_, TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                           host);
    session_.Start();
  }
  ~Program() { fs::remove_all(dir_); }

  ProgramState& state() { return state_; }
  BrowseSession& session() { return session_; }
  bool Compose() {
    ComposeOutcome outcome =
        ComposeCommand(state_, player_, host_, errors_).Click();
    session_.Composed(outcome);
    return outcome.written;
  }

 private:
  fs::path dir_;
  ProgramState state_;
  SilentPlayer player_;
  UiHost host_;
  CancelingErrorReporter errors_;
  BrowseSession session_{state_, player_, host_, errors_};
};

void BM_UndoAndRedoOneStep(benchmark::State& bench) {
  Program program;
  PanelModel& panel = program.state().panel;
  panel.SetText({Box::kMapping}, "1234");
  program.session().UserChanged(ChangeKey::Typing({Box::kMapping}));
  for (auto _ : bench) {
    program.session().Undo();
    program.session().Redo();
  }
  if (panel.Text({Box::kMapping}) != "1234") bench.SkipWithError("not redone");
  bench.SetLabel("one undo and one redo");
}
BENCHMARK(BM_UndoAndRedoOneStep)->Unit(benchmark::kMicrosecond);

// Arg 0: the factory default; otherwise the longest panel with that mapping.
void BM_RestorePieceWithoutComposing(benchmark::State& bench) {
  Program program;
  PanelModel& panel = program.state().panel;
  if (bench.range(0) != 0) {
    panel.SetText({Box::kStructure}, "9999999999999998");
    panel.SetText({Box::kVariation}, "10");
    panel.SetText({Box::kTracks}, "16");
    panel.Select({List::kMeter}, 2);
    panel.SetCheck({Check::kMappedAuto}, 1);
    panel.SetText({Box::kMapping}, NumberToText(bench.range(0)));
  }
  if (!program.Compose()) bench.SkipWithError("compose failed");
  panel.SetText({Box::kMapping}, "77");
  if (!program.Compose()) bench.SkipWithError("compose failed");
  size_t index = 0;
  for (auto _ : bench) {
    if (program.session().RestorePiece(index) !=
        BrowseSession::Restored::kWithMusic) {
      bench.SkipWithError("not restored");
    }
    index = 1 - index;
  }
  bench.counters["midi_bytes"] =
      static_cast<double>(program.session().history().entries()[0].midi.size());
}
BENCHMARK(BM_RestorePieceWithoutComposing)
    ->Arg(0)
    ->Arg(25293)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessavar
