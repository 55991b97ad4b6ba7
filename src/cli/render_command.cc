// tessavar-cli render: a MIDI file to an audio file (or one per track) with
// the program's synthesizer and SoundFont. The synthesizer lives in
// tessavar-render, beside this program, which this command runs.
#include <CLI/CLI.hpp>
#include <charconv>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/program_file.h"
#include "base/terminal_text.h"
#include "cli/cli_command.h"
#include "cli/sibling_program.h"
#include "cli/standard_streams.h"
#include "model/audio_format.h"
#include "model/system_soundfont.h"

namespace tessavar::cli {
namespace {

constexpr char kCommand[] = "render";
constexpr char kRendererName[] = "tessavar-render";

std::string Description() {
  const std::string names = JoinedAudioFormats(
      [](const AudioFormatInfo& info) { return std::string(info.name); });
  const std::string stem = std::string(AudioExtension(kDefaultAudioFormat));
  return "Renders a MIDI file to a 16-bit stereo 44.1 kHz audio file with "
         "the\nsynthesizer of the desktop program, as fast as the machine "
         "allows:\n" +
         names +
         " by the extension of OUT. With --stems, writes\n"
         "one file per sounding track into OUT_DIR instead (\"03 Violin." +
         stem +
         "\"),\nwhich mixed give the full render. The files end shortly "
         "after the\nlast note. A percentage shows on a terminal.";
}

// "wav (default), flac or ogg": the first format is the default.
std::string StemFormatChoices() {
  const std::string_view first = AudioExtension(kDefaultAudioFormat);
  return JoinedAudioFormats([first](const AudioFormatInfo& info) {
    return std::string(info.extension) +
           (info.extension == first ? " (default)" : "");
  });
}

// "MP3 32-320, Opus 12-256": the formats that have a bit rate to choose.
std::string BitrateRanges() {
  std::string text;
  for (const AudioFormatInfo& info : AudioFormats()) {
    if (!HasBitrateChoice(info.format)) continue;
    if (!text.empty()) text += ", ";
    text += std::string(info.name) + " " + std::to_string(info.min_kbps) + "-" +
            std::to_string(info.max_kbps);
  }
  return text;
}

std::vector<std::string> FormatWords() {
  std::vector<std::string> words;
  for (const AudioFormatInfo& info : AudioFormats()) {
    words.emplace_back(info.extension);
  }
  return words;
}

struct RenderArguments {
  std::string midi_path;
  std::string audio_path;
  std::string stems_directory;
  std::string format;
  std::string soundfont;
  int bitrate_kbps = kDefaultBitrate;
  bool quiet = false;
  bool force = false;
};

int RunRenderer(const RenderArguments& args) {
  const Result<std::string> renderer = SiblingProgramPath(kRendererName);
  if (!renderer.ok()) return ReportError(kCommand, renderer.status());
  std::vector<std::string> words;
  if (!args.soundfont.empty()) words.push_back("--soundfont=" + args.soundfont);
  if (!args.stems_directory.empty()) {
    words.push_back("--stems=" + args.stems_directory);
  }
  if (!args.format.empty()) words.push_back("--format=" + args.format);
  if (args.bitrate_kbps != kDefaultBitrate) {
    words.push_back("--bitrate=" + std::to_string(args.bitrate_kbps));
  }
  if (args.quiet) words.push_back("--quiet");
  if (args.force) words.push_back("--force");
  words.push_back("--");
  words.push_back(args.midi_path);
  if (!args.audio_path.empty()) words.push_back(args.audio_path);
  const Status failed = ReplaceWithSiblingProgram(renderer.value(), words);
  std::cerr << "tessavar-cli render: cannot run "
            << TerminalText(renderer.value()) << ": " << failed.detail()
            << "\n";
  return kExitFile;
}

std::function<int()> Setup(CLI::App& app) {
  app.description(Description());
  auto args = std::make_shared<RenderArguments>();
  app.add_option("IN.mid", args->midi_path,
                 "the MIDI file ('-' reads standard input)")
      ->required()
      ->type_name("FILE");
  CLI::Option* out =
      app.add_option("OUT", args->audio_path,
                     "the audio file to write: " + SupportedAudioExtensions() +
                         "; '-' writes standard output in the --format")
          ->type_name("FILE");
  CLI::Option* stems =
      app.add_option(
             "--stems", args->stems_directory,
             "write one file per sounding track into this folder (made when "
             "missing), named by track number and instrument")
          ->type_name("DIR");
  out->excludes(stems);
  app.add_option("--format", args->format,
                 "the format of the stems or of standard output: " +
                     StemFormatChoices())
      ->type_name("WORD");
  SetValueWords(app, "--format", FormatWords());
  app.add_option("--bitrate", args->bitrate_kbps,
                 "the bit rate of MP3 and Opus in kbit/s (" + BitrateRanges() +
                     "; default: a variable rate)")
      ->type_name("KBPS")
      ->check(CLI::Validator(
          [](const std::string& word) {
            int kbps = 0;
            const auto [end, error] =
                std::from_chars(word.data(), word.data() + word.size(), kbps);
            return error == std::errc() && end == word.data() + word.size() &&
                           kbps > 0
                       ? std::string()
                       : "a bit rate is a whole number of kbit/s, 1 or more";
          },
          ""));
  app.add_flag("-q,--quiet", args->quiet, "no progress and no summary lines");
  app.add_flag("--force", args->force, "replace write-protected files");
  app.add_option("--soundfont", args->soundfont,
                 "the SoundFont to play with (default: the system's General "
                 "MIDI SoundFont, " +
                     DefaultSoundFontPath() + ")")
      ->type_name("FILE");
  return [args, out, stems] {
    if (out->count() == 0 && stems->count() == 0) {
      std::cerr << "tessavar-cli render: OUT or --stems OUT_DIR is required\n";
      return kExitFile;
    }
    if (!args->format.empty() && stems->count() == 0 &&
        args->audio_path != kStandardStream) {
      std::cerr << "tessavar-cli render: --format goes with --stems or OUT "
                   "'-'; a file's format is its extension\n";
      return kExitFile;
    }
    return RunRenderer(*args);
  };
}

const bool kRegistered =
    RegisterCommand({kCommand, "render a MIDI file to audio", Setup});

}  // namespace
}  // namespace tessavar::cli
