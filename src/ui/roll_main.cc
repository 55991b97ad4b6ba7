// tessavar-roll: draws the piano roll of a MIDI file into a PNG (or SVG)
// picture without a display. `tessavar-cli roll` runs it, so that the
// command-line composer itself never loads Qt.
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "model/roll_model.h"
#include "ui/roll_painter.h"

#ifdef TESSAVAR_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace tessavar {
namespace {

// The exit statuses of the command-line composer: 2 for a file that could
// not be read or written and for wrong arguments.
constexpr int kExitOk = 0;
constexpr int kExitFile = 2;
constexpr int kDefaultWidth = 1200;
constexpr int kDefaultHeight = 420;

constexpr char kUsage[] =
    "usage: tessavar-roll IN.mid OUT.png|OUT.svg [--size WIDTHxHEIGHT] "
    "[--force]\n";

struct RollRequest {
  std::string in;
  std::string out;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  WriteProtection protection = WriteProtection::kRespect;
};

bool ParseSize(const std::string& text, RollRequest& request) {
  return std::sscanf(text.c_str(), "%dx%d", &request.width, &request.height) ==
             2 &&
         request.width > kRollKeyGutter && request.height > kRollRulerHeight;
}

bool ParseArguments(const std::vector<std::string>& args,
                    RollRequest& request) {
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--size" && i + 1 < args.size()) {
      if (!ParseSize(args[++i], request)) return false;
    } else if (args[i] == "--force") {
      request.protection = WriteProtection::kOverride;
    } else if (args[i].starts_with("-")) {
      return false;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) return false;
  request.in = files[0];
  request.out = files[1];
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
    std::fprintf(stderr, "tessavar-roll: built without SVG support\n");
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
    std::fprintf(stderr, "tessavar-roll: %s\n", model.reason().c_str());
    return kExitFile;
  }
  const bool svg =
      QString::fromStdString(request.out).endsWith(".svg", Qt::CaseInsensitive);
  const std::optional<QByteArray> picture = Picture(model, svg);
  if (!picture) {
    std::fprintf(stderr, "tessavar-roll: cannot draw %s\n",
                 request.out.c_str());
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
    std::fprintf(stderr, "tessavar-roll: %s\n",
                 error.status().Message().c_str());
    return kExitFile;
  }
  return kExitOk;
}

}  // namespace
}  // namespace tessavar

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  tessavar::RollRequest request;
  if (!tessavar::ParseArguments(args, request)) {
    std::fputs(tessavar::kUsage, stderr);
    return tessavar::kExitFile;
  }
  // Drawing needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  return tessavar::Run(request);
}
