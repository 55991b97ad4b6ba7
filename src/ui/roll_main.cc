// tessavar-roll: draws the piano roll of a MIDI file into a PNG (or SVG)
// picture without a display. `tessavar-cli roll` runs it, so that the
// command-line composer itself never loads Qt.
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <charconv>
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
constexpr char kUsage[] =
    "usage: tessavar-roll [--size WIDTHxHEIGHT] [--force] [--] IN.mid "
    "OUT.png|OUT.svg\n";

struct RollRequest {
  std::string in;
  std::string out;
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
// more, at most kMaxSide.
bool ParseSize(std::string_view text, RollRequest& request) {
  const size_t x = text.find('x');
  const std::optional<int> width =
      x == std::string_view::npos
          ? std::nullopt
          : ParseSide(text.substr(0, x), kRollKeyGutter + 1);
  const std::optional<int> height =
      width ? ParseSide(text.substr(x + 1), kRollRulerHeight + 1)
            : std::nullopt;
  if (!height) {
    Complain("--size takes WIDTHxHEIGHT in pixels, from " +
             std::to_string(kRollKeyGutter + 1) + "x" +
             std::to_string(kRollRulerHeight + 1) + " to " +
             std::to_string(kMaxSide) + "x" + std::to_string(kMaxSide) +
             ", not '" + std::string(text) + "'");
    return false;
  }
  request.width = *width;
  request.height = *height;
  return true;
}

// Whether the name ends with `end` (lower case), in any letter case.
bool EndsWith(const std::string& name, std::string_view end) {
  return AsciiLower(name).ends_with(end);
}

bool IsSvg(const std::string& path) { return EndsWith(path, ".svg"); }

// Options first or anywhere before "--"; after it, names only.
bool ParseArguments(const std::vector<std::string>& args,
                    RollRequest& request) {
  constexpr std::string_view kSizeOption = "--size";
  std::vector<std::string> files;
  bool options = true;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options || arg == "-" || !arg.starts_with("-")) {
      files.push_back(arg);
    } else if (arg == "--") {
      options = false;
    } else if (arg == kSizeOption && i + 1 < args.size()) {
      if (!ParseSize(args[++i], request)) return false;
    } else if (arg.starts_with(std::string(kSizeOption) + "=")) {
      if (!ParseSize(std::string_view(arg).substr(kSizeOption.size() + 1),
                     request)) {
        return false;
      }
    } else if (arg == "--force") {
      request.protection = WriteProtection::kOverride;
    } else {
      std::fputs(kUsage, stderr);
      return false;
    }
  }
  if (files.size() != 2) {
    std::fputs(kUsage, stderr);
    return false;
  }
  request.in = files[0];
  request.out = files[1];
  if (!IsSvg(request.out) && !EndsWith(request.out, ".png")) {
    Complain(request.out + ": unknown picture format (use .png or .svg)");
    return false;
  }
  return true;
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
    Complain(request.in + ": " + model.reason());
    return kExitFile;
  }
  const std::optional<QByteArray> picture = Picture(model, IsSvg(request.out));
  if (!picture) {
    Complain("cannot draw " + request.out);
    return kExitFile;
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
  std::vector<std::string> args(argv + 1, argv + argc);
  tessavar::RollRequest request;
  if (!tessavar::ParseArguments(args, request)) return tessavar::kExitFile;
  // Drawing needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  return tessavar::Run(request);
}
