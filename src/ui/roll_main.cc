// tessavar-roll: draws the piano roll of a MIDI file into a PNG (or SVG)
// picture without a display. `tessavar-cli roll` runs it, so that the
// command-line composer itself never loads Qt.
#include <CLI/CLI.hpp>
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/exit_status.h"
#include "base/file_system.h"
#include "base/status.h"
#include "base/terminal_text.h"
#include "base/text.h"
#include "model/roll_model.h"
#include "ui/roll_painter.h"

#ifdef TESSAVAR_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace tessavar {
namespace {

constexpr int kDefaultWidth = 1200;
constexpr int kDefaultHeight = 420;
// 16384 x 16384 pixels take a gigabyte and most of a minute to draw.
constexpr int kMaxSide = 16384;

// Messages carry the name of the command the user typed.
constexpr char kPrefix[] = "tessavar-cli roll: ";
constexpr char kVersion[] = "tessavar-roll " TESSAVAR_VERSION;
// "-" as OUT: the picture goes to standard output.
constexpr char kStandardOutput[] = "-";

struct RollRequest {
  std::string in;
  std::string shown_in;  // the input as the user named it ("-")
  std::string out;
  std::string format;  // png or svg; empty = by the extension of out
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  WriteProtection protection = WriteProtection::kRespect;
};

void Complain(const std::string& text) {
  std::fputs((kPrefix + TerminalText(text) + "\n").c_str(), stderr);
}

// One side of a size: digits only, within the limits.
std::optional<int> ParseSide(std::string_view text, int minimum) {
  int value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() ||
      value < minimum || value > kMaxSide) {
    return std::nullopt;
  }
  return value;
}

// "800x300": each side at least the ruler or key gutter and one pixel
// more, at most kMaxSide. Empty when it fits, else why not.
std::string ParseSize(std::string_view text, RollRequest& request) {
  const size_t x = text.find('x');
  const std::optional<int> width =
      x == std::string_view::npos
          ? std::nullopt
          : ParseSide(text.substr(0, x), kRollKeyGutter + 1);
  const std::optional<int> height =
      width ? ParseSide(text.substr(x + 1), kRollRulerHeight + 1)
            : std::nullopt;
  if (!height) {
    return "--size takes WIDTHxHEIGHT in pixels, from " +
           std::to_string(kRollKeyGutter + 1) + "x" +
           std::to_string(kRollRulerHeight + 1) + " to " +
           std::to_string(kMaxSide) + "x" + std::to_string(kMaxSide) +
           ", not '" + std::string(text) + "'";
  }
  request.width = *width;
  request.height = *height;
  return {};
}

// Whether the name ends with `end` (lower case), in any letter case.
bool EndsWith(const std::string& name, std::string_view end) {
  return AsciiLower(name).ends_with(end);
}

bool IsSvg(const RollRequest& request) {
  return request.format.empty() ? EndsWith(request.out, ".svg")
                                : request.format == "svg";
}

// nullopt to go on, else the exit status (0 for --help and --version).
std::optional<int> ParseArguments(int argc, char** argv, RollRequest& request) {
  CLI::App app(
      "Draws the piano roll of a MIDI file; 'tessavar-cli roll' "
      "runs it.",
      "tessavar-roll");
  app.set_version_flag("--version", kVersion);
  std::string size;
  bool force = false;
  app.add_option("IN.mid", request.in, "the MIDI file")->required();
  // The caller's name for a copy of its standard input, for messages.
  app.add_option("--input-name", request.shown_in)->group("");
  app.add_option("OUT", request.out,
                 "the picture: OUT.png or OUT.svg, or '-' for standard "
                 "output in the --format")
      ->required();
  app.add_option("--size", size, "WIDTHxHEIGHT in pixels");
  app.add_option("--format", request.format,
                 "png or svg (default: by the extension of OUT, png for '-')")
      ->check(CLI::IsMember({"png", "svg"}));
  app.add_flag("--force", force, "replace a write-protected OUT");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) return app.exit(error);
    std::string problem = error.what();
    std::replace(problem.begin(), problem.end(), '\n', ' ');
    Complain(problem);
    return kExitFile;
  }
  if (force) request.protection = WriteProtection::kOverride;
  if (!size.empty()) {
    if (std::string problem = ParseSize(size, request); !problem.empty()) {
      Complain(problem);
      return kExitFile;
    }
  }
  if (request.out != kStandardOutput && request.format.empty() &&
      !IsSvg(request) && !EndsWith(request.out, ".png")) {
    Complain(request.out + ": unknown picture format (use .png or .svg)");
    return kExitFile;
  }
  return std::nullopt;
}

// The picture's bytes: SVG or PNG.
std::optional<QByteArray> Picture(const RollModel& model, bool svg) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (svg) {
#ifdef TESSAVAR_HAVE_SVG
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(model.width(), model.height()));
    generator.setViewBox(QRect(0, 0, model.width(), model.height()));
    QPainter painter(&generator);
    PaintRoll(painter, model, {.legend = true});
    if (!painter.end()) return std::nullopt;
#else
    Complain("built without SVG support");
    return std::nullopt;
#endif
  } else if (!RenderRoll(model, {.legend = true}).save(&buffer, "PNG")) {
    return std::nullopt;
  }
  return bytes;
}

int Run(const RollRequest& request) {
  RollModel model;
  model.SetViewSize(request.width, request.height);
  model.LoadFile(request.in);
  if (!model.reason().empty()) {
    Complain((request.shown_in.empty() ? request.in : request.shown_in) + ": " +
             model.reason());
    return kExitFile;
  }
  const std::optional<QByteArray> picture = Picture(model, IsSvg(request));
  if (!picture) {
    Complain("cannot draw " + request.out);
    return kExitFile;
  }
  if (request.out == kStandardOutput) {
    const size_t size = static_cast<size_t>(picture->size());
    if (std::fwrite(picture->constData(), 1, size, stdout) != size ||
        std::fflush(stdout) != 0) {
      Complain("standard output refused the picture");
      return kExitFile;
    }
    return kExitOk;
  }
  // Through the program's safe writer: never the input, links written
  // through, the target replaced only when complete.
  try {
    WriteFileAtomically(request.out,
                        std::string_view(picture->constData(),
                                         static_cast<size_t>(picture->size())),
                        {request.in}, Durability::kFlushEach,
                        request.protection);
  } catch (const RunTimeError& error) {
    Complain(error.status().WithPath(request.out).LineText());
    return kExitFile;
  }
  return kExitOk;
}

}  // namespace
}  // namespace tessavar

int main(int argc, char** argv) {
  tessavar::RollRequest request;
  if (auto status = tessavar::ParseArguments(argc, argv, request)) {
    return *status;
  }
  std::signal(SIGPIPE, SIG_IGN);
  // Drawing needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  return tessavar::Run(request);
}
