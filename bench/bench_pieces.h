// The pieces the benchmarks time: the factory default and the longest
// pieces the panel allows, composed and written as one Compose click does.
#ifndef TESSAVAR_BENCH_BENCH_PIECES_H_
#define TESSAVAR_BENCH_BENCH_PIECES_H_

#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include "base/file_system.h"
#include "model/compose_command.h"
#include "model/composition_file_io.h"
#include "model/program_state.h"
#include "model/silent_player.h"

namespace tessavar {

// The mapping of the longest panel that gives the most events (~465,000).
inline constexpr int kMostEventsMapping = 14683;

// The benchmarks' scratch directory, removed again when the program ends.
class ScratchDirectory {
 public:
  ScratchDirectory()
      : path_(std::filesystem::temp_directory_path() /
              ("tessavar-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

inline std::string WorkDirectory() {
  static const ScratchDirectory directory;
  return directory.path();
}

// The panel after loading the factory default, as the command-line
// composer has it.
inline void LoadFactoryDefault(ProgramState& state) {
  state.paths = ProgramPaths::FromDirectory(WorkDirectory());
  UiHost host;
  if (!LoadStartupComposition(state, TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                              host)
           .ok()) {
    throw std::runtime_error("cannot read the factory default");
  }
}

// The longest pieces: 16 digits, variation 10 (every treatment and the
// repeats on), 16 tracks, fixed meter, "Auto" on.
inline void MakeLongest(ProgramState& state, int mapping) {
  LoadFactoryDefault(state);
  PanelModel& panel = state.panel;
  panel.SetText({Box::kStructure}, "9999999999999998");
  panel.SetText({Box::kVariation}, "10");
  panel.SetText({Box::kTracks}, "16");
  panel.SetText({Box::kMapping}, std::to_string(mapping));
  panel.Select({List::kMeter}, 2);
  panel.SetCheck({Check::kMappedAuto}, 1);
}

// Validation, composing and writing the working MIDI file: one click.
inline bool ComposeAndWrite(ProgramState& state) {
  UiHost host;
  SilentPlayer player;
  CancelingErrorReporter errors;
  if (!ValidateCompose(state.panel).passed()) return false;
  return ComposeCommand(state, player, host, errors).Click().written;
}

// Composes the longest piece with the most events; returns the path of its
// MIDI file.
inline std::string LongestPieceMidi() {
  ProgramState state;
  MakeLongest(state, kMostEventsMapping);
  if (!ComposeAndWrite(state)) {
    throw std::runtime_error("cannot compose the longest piece");
  }
  return FindExistingPath(state.paths.working_midi);
}

}  // namespace tessavar

#endif  // TESSAVAR_BENCH_BENCH_PIECES_H_
