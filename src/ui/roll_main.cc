// tessavar-roll: draws the piano roll of a MIDI file into a PNG (or SVG)
// picture without a display. `tessavar-cli roll` runs it, so that the
// command-line composer itself never loads Qt.
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>
#include <cstdio>
#include <string>
#include <vector>

#include "model/roll_model.h"
#include "ui/roll_painter.h"

#ifdef TESSAVAR_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace tessavar {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;
constexpr int kDefaultWidth = 1200;
constexpr int kDefaultHeight = 420;

constexpr char kUsage[] =
    "usage: tessavar-roll IN.mid OUT.png|OUT.svg [--size WIDTHxHEIGHT]\n";

struct RollRequest {
  std::string in;
  std::string out;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
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

bool WriteSvg(const RollModel& model, const QString& path) {
#ifdef TESSAVAR_HAVE_SVG
  QSvgGenerator generator;
  generator.setFileName(path);
  generator.setSize(QSize(model.width(), model.height()));
  generator.setViewBox(QRect(0, 0, model.width(), model.height()));
  QPainter painter(&generator);
  PaintRoll(painter, model, {.legend = true});
  return painter.end();
#else
  (void)model;
  (void)path;
  std::fprintf(stderr, "tessavar-roll: built without SVG support\n");
  return false;
#endif
}

// PNG through a temporary file that replaces the target only when complete.
bool WritePng(const RollModel& model, const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (!RenderRoll(model, {.legend = true}).save(&file, "PNG")) return false;
  return file.commit();
}

int Run(const RollRequest& request) {
  const QString out = QString::fromStdString(request.out);
  const QFileInfo in_info(QString::fromStdString(request.in));
  if (in_info.exists() &&
      in_info.canonicalFilePath() == QFileInfo(out).canonicalFilePath()) {
    std::fprintf(stderr, "tessavar-roll: the picture would replace %s\n",
                 request.in.c_str());
    return kExitUsage;
  }
  RollModel model;
  model.SetViewSize(request.width, request.height);
  model.LoadFile(request.in);
  const bool svg = out.endsWith(".svg", Qt::CaseInsensitive);
  if (!(svg ? WriteSvg(model, out) : WritePng(model, out))) {
    std::fprintf(stderr, "tessavar-roll: cannot write %s\n",
                 request.out.c_str());
    return kExitUsage;
  }
  if (!model.reason().empty()) {
    std::fprintf(stderr, "tessavar-roll: %s\n", model.reason().c_str());
    return kExitUnreadable;
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
    return tessavar::kExitUsage;
  }
  // Drawing needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  return tessavar::Run(request);
}
