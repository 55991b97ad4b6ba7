#include "ui/roll_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "model/audio_stems.h"

namespace tessavar {
namespace {

const QColor kBackground(0x24, 0x28, 0x2C);
const QColor kBlackKeyRow(0x1D, 0x20, 0x23);
const QColor kOctaveLine(0x44, 0x4A, 0x50);
const QColor kBarLine(0x34, 0x39, 0x3E);
const QColor kMarkLine(0x5A, 0x62, 0x6A);
const QColor kGutter(0x30, 0x34, 0x38);
const QColor kLabel(0xC8, 0xCC, 0xD0);
// A light tint, the blue of the Loop button when the loop is on.
const QColor kRegion(0xFF, 0xFF, 0xFF, 0x20);
const QColor kActiveRegion(0x4A, 0x90, 0xE2, 0x38);
const QColor kPlayhead(0xFF, 0xFF, 0xFF);
constexpr int kSilentAlpha = 70;
// Bar numbers closer than this are thinned out.
constexpr int kMinBarNumberPixels = 40;
constexpr int kLegendPadding = 6;
constexpr int kLegendChip = 10;

bool IsBlackKey(int key) {
  static constexpr bool kBlack[12] = {false, true,  false, true,  false, false,
                                      true,  false, true,  false, true,  false};
  return kBlack[key % 12];
}

int RowTop(const RollModel& model, int key) {
  return static_cast<int>(std::lround(model.KeyToY(key)));
}

void PaintKeyRows(QPainter& painter, const RollModel& model) {
  const int right = model.width();
  painter.fillRect(kRollKeyGutter, kRollRulerHeight, right - kRollKeyGutter,
                   model.NoteAreaHeight(), kBackground);
  for (int key = model.low_key(); key <= model.high_key(); ++key) {
    const int top = RowTop(model, key);
    const int bottom = RowTop(model, key - 1);
    if (IsBlackKey(key)) {
      painter.fillRect(kRollKeyGutter, top, right - kRollKeyGutter,
                       bottom - top, kBlackKeyRow);
    }
    if (key % 12 == 0) {
      painter.fillRect(kRollKeyGutter, bottom - 1, right - kRollKeyGutter, 1,
                       kOctaveLine);
    }
  }
}

// Bar lines under the notes, or the numbers of the marked bars on the
// ruler.
void PaintBars(QPainter& painter, const RollModel& model, bool numbers) {
  const int64_t bar = std::max<int64_t>(model.content().TicksPerBar(), 1);
  const int64_t mark_stride =
      model.BarStride(kMinBarNumberPixels / kRollBarsPerMark) *
      kRollBarsPerMark;
  const int64_t number_stride =
      std::max(model.BarStride(kMinBarNumberPixels), mark_stride);
  painter.setPen(kLabel);
  for (int64_t tick : model.VisibleBarTicks()) {
    const int x = static_cast<int>(std::floor(model.TickToX(tick)));
    if (x < kRollKeyGutter) continue;
    const int64_t number = tick / bar;
    if (!numbers) {
      painter.fillRect(x, kRollRulerHeight, 1, model.NoteAreaHeight(),
                       number % mark_stride == 0 ? kMarkLine : kBarLine);
    } else if (number % number_stride == 0) {
      painter.drawText(QPoint(x + 2, kRollRulerHeight - 4),
                       QString::number(number + 1));
    }
  }
}

// Notes of one row that touch or overlap on screen are filled as one
// rectangle, so that a zoomed-out view of a long piece stays quick.
class NoteRects {
 public:
  NoteRects(QPainter& painter, const RollModel& model)
      : painter_(painter), model_(model), pending_(128) {}

  void Add(int track, const MidiNote& note) {
    if (track != track_) {
      FlushAll();
      track_ = track;
      colour_ = RollTrackColour(model_, track);
      if (!model_.mix().Audible(track)) colour_.setAlpha(kSilentAlpha);
    }
    const int left =
        std::max(static_cast<int>(std::floor(model_.TickToX(note.start))),
                 kRollKeyGutter);
    const int right = std::max(
        static_cast<int>(std::floor(model_.TickToX(note.end))), left + 1);
    Span& span = pending_[note.key];
    if (span.right > span.left && left <= span.right) {
      span.right = std::max(span.right, right);
      return;
    }
    Flush(note.key);
    span = {left, right};
  }

  void FlushAll() {
    for (int key = 0; key < 128; ++key) Flush(key);
  }

 private:
  struct Span {
    int left = 0;
    int right = 0;
  };

  void Flush(int key) {
    Span& span = pending_[key];
    if (span.right <= span.left) return;
    const int top = RowTop(model_, key);
    const int height = std::max(RowTop(model_, key - 1) - top - 1, 1);
    painter_.fillRect(span.left, top, span.right - span.left, height, colour_);
    span = {};
  }

  QPainter& painter_;
  const RollModel& model_;
  std::vector<Span> pending_;
  int track_ = -1;
  QColor colour_;
};

void PaintNotes(QPainter& painter, const RollModel& model) {
  painter.save();
  painter.setClipRect(kRollKeyGutter, kRollRulerHeight, model.NoteAreaWidth(),
                      model.NoteAreaHeight());
  NoteRects rects(painter, model);
  model.ForEachVisibleNote(
      [&rects](int track, const MidiNote& note) { rects.Add(track, note); });
  rects.FlushAll();
  painter.restore();
}

void FillColumns(QPainter& painter, const RollModel& model, int x1, int x2,
                 const QColor& colour) {
  const int left = std::max(std::min(x1, x2), kRollKeyGutter);
  const int right = std::min(std::max(x1, x2), model.width());
  if (right <= left) return;
  painter.fillRect(left, kRollRulerHeight, right - left, model.NoteAreaHeight(),
                   colour);
}

void PaintLoopAndPlayhead(QPainter& painter, const RollModel& model,
                          const RollPaintOptions& options) {
  // Loop on without a region repeats the whole piece: no tint, so that
  // the notes keep their colours.
  if (model.has_region()) {
    const RollLoop loop = model.LoopTicks();
    FillColumns(painter, model,
                static_cast<int>(std::floor(model.TickToX(loop.start_tick))),
                static_cast<int>(std::floor(model.TickToX(loop.end_tick))),
                model.loop_enabled() ? kActiveRegion : kRegion);
  }
  FillColumns(painter, model, options.drag_x1, options.drag_x2, kRegion);
  const int x =
      static_cast<int>(std::floor(model.TickToX(model.playhead_tick())));
  if (x >= kRollKeyGutter && x < model.width()) {
    painter.fillRect(x, 0, 1, model.height(), kPlayhead);
  }
}

void PaintGutter(QPainter& painter, const RollModel& model) {
  painter.fillRect(0, 0, model.width(), kRollRulerHeight, kGutter);
  painter.fillRect(0, 0, kRollKeyGutter, model.height(), kGutter);
  painter.setPen(kLabel);
  for (int key : model.OctaveKeys()) {
    const int bottom = RowTop(model, key - 1);
    painter.drawText(QPoint(3, bottom - 2),
                     QString::fromStdString(RollModel::KeyName(key)));
  }
}

void PaintLegend(QPainter& painter, const RollModel& model) {
  const std::vector<int> tracks = model.TracksWithNotes();
  if (tracks.empty()) return;
  const QFontMetrics metrics(painter.font());
  const int line = metrics.height();
  int text_width = 0;
  for (int track : tracks) {
    text_width = std::max(
        text_width, metrics.horizontalAdvance(RollTrackLabel(model, track)));
  }
  const int width = text_width + kLegendChip + 3 * kLegendPadding;
  const int height = static_cast<int>(tracks.size()) * line + kLegendPadding;
  const int left = model.width() - width - kLegendPadding;
  const int top = kRollRulerHeight + kLegendPadding;
  painter.fillRect(left, top, width, height, QColor(0, 0, 0, 0xA0));
  painter.setPen(kLabel);
  int y = top + kLegendPadding / 2;
  for (int track : tracks) {
    painter.fillRect(left + kLegendPadding, y + (line - kLegendChip) / 2,
                     kLegendChip, kLegendChip, RollTrackColour(model, track));
    painter.drawText(
        QPoint(left + 2 * kLegendPadding + kLegendChip, y + metrics.ascent()),
        RollTrackLabel(model, track));
    y += line;
  }
}

void PaintReason(QPainter& painter, const RollModel& model) {
  painter.setPen(kLabel);
  painter.drawText(QRect(kRollKeyGutter, kRollRulerHeight,
                         model.NoteAreaWidth(), model.NoteAreaHeight()),
                   Qt::AlignCenter | Qt::TextWordWrap,
                   QString::fromStdString(model.reason()));
}

}  // namespace

QColor RollTrackColour(const RollModel& model, int track) {
  return QColor::fromRgb(
      static_cast<QRgb>(TrackColour(model.RowOfTrack(track))));
}

QString RollTrackLabel(const RollModel& model, int track) {
  const QString instrument = QString::fromStdString(
      TrackInstrumentName(model.content().tracks[track]));
  const int row = model.RowOfTrack(track);
  return row < 0 ? instrument : QString::number(row + 1) + " " + instrument;
}

void PaintRoll(QPainter& painter, const RollModel& model,
               const RollPaintOptions& options) {
  PaintKeyRows(painter, model);
  PaintBars(painter, model, false);
  PaintNotes(painter, model);
  PaintLoopAndPlayhead(painter, model, options);
  PaintGutter(painter, model);
  PaintBars(painter, model, true);
  if (!model.reason().empty()) PaintReason(painter, model);
  if (options.legend) PaintLegend(painter, model);
}

QImage RenderRoll(const RollModel& model, const RollPaintOptions& options) {
  QImage image(model.width(), model.height(), QImage::Format_RGB32);
  QPainter painter(&image);
  PaintRoll(painter, model, options);
  return image;
}

}  // namespace tessavar
