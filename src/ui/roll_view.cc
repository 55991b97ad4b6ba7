#include "ui/roll_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "ui/roll_painter.h"

namespace tessavar {
namespace {

constexpr int kMinRollHeight = 100;  // the window fits small screens
constexpr int kMinRollWidth = 400;
constexpr int kLegendWidth = 170;
// What the chip, the M and S buttons and the margins leave of a legend row
// for the track's name; a longer name is elided and shown whole as a tip.
constexpr int kLegendNameWidth = 82;
// One wheel notch (120 units) zooms by this factor or scrolls this far.
constexpr double kZoomPerNotch = 1.25;
constexpr int kPixelsPerNotch = 60;
constexpr double kWheelNotch = 120.0;
// Pressed mute, solo and loop buttons in the colours mixing desks use.
constexpr char kPressedColours[] =
    "QToolButton[pressed_colour=\"mute\"]:checked {"
    " background-color: #d64541; color: white; border: 1px solid #8c2b28;"
    " border-radius: 3px; }"
    "QToolButton[pressed_colour=\"solo\"]:checked {"
    " background-color: #f2c230; color: black; border: 1px solid #9c7a12;"
    " border-radius: 3px; }"
    "QToolButton[pressed_colour=\"loop\"]:checked {"
    " background-color: #3d7fd6; color: white; border: 1px solid #24508a;"
    " border-radius: 3px; }";

}  // namespace

// The drawing surface: paints the model and turns mouse gestures into the
// view's actions.
class RollCanvas : public QWidget {
 public:
  explicit RollCanvas(RollView& view) : QWidget(&view), view_(view) {
    setObjectName("RollCanvas");
    setMinimumSize(kMinRollWidth, kMinRollHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::ClickFocus);  // Space and Home reach the window
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    RollPaintOptions options;
    if (dragging_) {
      options.drag_x1 = press_x_;
      options.drag_x2 = drag_x_;
    }
    PaintRoll(painter, view_.model_, options);
  }

  void resizeEvent(QResizeEvent* /*event*/) override {
    view_.model_.SetViewSize(width(), height());
    view_.SyncScrollBar();
  }

  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    press_x_ = drag_x_ = static_cast<int>(event->position().x());
    dragging_ = true;
  }

  void mouseMoveEvent(QMouseEvent* event) override {
    if (!dragging_) return;
    drag_x_ = static_cast<int>(event->position().x());
    update();
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    const int x = static_cast<int>(event->position().x());
    RollModel& model = view_.model_;
    const bool had_region = model.has_region();
    model.SelectLoopRegion(press_x_, x);
    if (!model.has_region()) {
      if (x >= kRollKeyGutter) emit view_.SeekRequested(model.MsAtX(x));
    }
    if (model.has_region() || had_region) emit view_.LoopChanged();
    update();
  }

  void wheelEvent(QWheelEvent* event) override {
    const double notches = event->angleDelta().y() / kWheelNotch;
    RollModel& model = view_.model_;
    if (event->modifiers() & Qt::ControlModifier) {
      model.ZoomAt(std::pow(kZoomPerNotch, notches),
                   static_cast<int>(event->position().x()));
    } else {
      const double horizontal = event->angleDelta().x() / kWheelNotch;
      model.ScrollByPixels(static_cast<int>(
          std::lround((horizontal - notches) * kPixelsPerNotch)));
    }
    view_.UserMovedView();
    event->accept();
  }

 private:
  RollView& view_;
  bool dragging_ = false;
  int press_x_ = 0;
  int drag_x_ = 0;
};

RollView::RollView(QWidget* parent) : QWidget(parent) {
  setObjectName("RollView");
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(6);

  auto* roll_column = new QVBoxLayout;
  roll_column->setSpacing(2);
  canvas_ = new RollCanvas(*this);
  roll_column->addWidget(canvas_, 1);
  scroll_bar_ = new QScrollBar(Qt::Horizontal, this);
  scroll_bar_->setObjectName("RollScroll");
  roll_column->addWidget(scroll_bar_);
  outer->addLayout(roll_column, 1);

  auto* side = new QVBoxLayout;
  side->setSpacing(4);
  auto* tools = new QHBoxLayout;
  auto make_button = [this, tools](const char* name, const QString& text,
                                   const QString& tip) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    tools->addWidget(button);
    return button;
  };
  fit_button_ = make_button("RollFit", tr("Fit"),
                            tr("Show the whole piece (Ctrl+wheel zooms)"));
  follow_button_ = make_button(
      "RollFollow", tr("Follow"),
      tr("Keep the playhead in view while playing; scrolling or zooming "
         "stops it, Play and Home start it again"));
  follow_button_->setCheckable(true);
  follow_button_->setChecked(true);
  loop_button_ = make_button(
      "RollLoop", tr("Loop"),
      tr("Repeat the whole piece, or the region dragged on the roll"));
  loop_button_->setCheckable(true);
  loop_button_->setProperty("pressed_colour", "loop");
  setStyleSheet(kPressedColours);
  whole_button_ =
      make_button("RollWhole", tr("Whole"),
                  tr("Forget the region: the loop repeats the whole piece"));
  tools->addStretch(1);
  side->addLayout(tools);

  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("RollLegend");
  scroll->setWidgetResizable(true);
  scroll->setFixedWidth(kLegendWidth);
  legend_ = new QWidget(scroll);
  legend_layout_ = new QVBoxLayout(legend_);
  legend_layout_->setContentsMargins(4, 4, 4, 4);
  legend_layout_->setSpacing(1);
  scroll->setWidget(legend_);
  side->addWidget(scroll, 1);
  outer->addLayout(side);

  connect(fit_button_, &QToolButton::clicked, this, &RollView::FitToWindow);
  connect(loop_button_, &QToolButton::toggled, this, [this](bool on) {
    model_.SetLoopEnabled(on);
    canvas_->update();
    emit LoopChanged();
  });
  connect(whole_button_, &QToolButton::clicked, this, [this] {
    model_.ClearLoopRegion();
    canvas_->update();
    emit LoopChanged();
  });
  // The window's own changes are made with the bar's signals blocked: a
  // change seen here is the user's.
  connect(scroll_bar_, &QScrollBar::valueChanged, this, [this](int value) {
    model_.SetScrollTick(value);
    SetFollow(false);
    canvas_->update();
  });
  BuildLegend();
}

QWidget* RollView::canvas() const { return canvas_; }

QToolButton* RollView::MuteButton(int track) const {
  return track >= 0 && track < static_cast<int>(mute_buttons_.size())
             ? mute_buttons_[track]
             : nullptr;
}

QToolButton* RollView::SoloButton(int track) const {
  return track >= 0 && track < static_cast<int>(solo_buttons_.size())
             ? solo_buttons_[track]
             : nullptr;
}

void RollView::ShowFile(const std::string& path) {
  model_.SetViewSize(canvas_->width(), canvas_->height());
  model_.LoadFile(path);
  SetFollow(true);  // a new piece shows whole, and followed when played
  BuildLegend();
  ViewChanged();
}

void RollView::SetPlayheadMs(int64_t milliseconds, bool playing) {
  model_.set_follow(playing && following());
  const int64_t before = model_.playhead_tick();
  const bool moved = model_.SetPlayheadMs(milliseconds);
  if (moved) SyncScrollBar();
  if (moved || before != model_.playhead_tick()) canvas_->update();
}

void RollView::FitToWindow() {
  model_.FitToWindow();
  ViewChanged();
}

void RollView::SetFollow(bool follow) { follow_button_->setChecked(follow); }

bool RollView::following() const { return follow_button_->isChecked(); }

void RollView::UserMovedView() {
  SetFollow(false);
  ViewChanged();
}

void RollView::ViewChanged() {
  SyncScrollBar();
  canvas_->update();
}

void RollView::SyncScrollBar() {
  const QSignalBlocker blocker(scroll_bar_);
  const int64_t visible = model_.VisibleEndTick() - model_.VisibleStartTick();
  scroll_bar_->setRange(0, static_cast<int>(model_.MaxScrollTick()));
  scroll_bar_->setPageStep(static_cast<int>(std::max<int64_t>(visible, 1)));
  scroll_bar_->setSingleStep(
      static_cast<int>(std::max<int64_t>(visible / 10, 1)));
  scroll_bar_->setValue(static_cast<int>(model_.scroll_tick()));
}

void RollView::BuildLegend() {
  while (QLayoutItem* item = legend_layout_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  mute_buttons_.assign(model_.track_count(), nullptr);
  solo_buttons_.assign(model_.track_count(), nullptr);
  for (int track : model_.TracksWithNotes()) {
    auto* row = new QWidget(legend_);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    auto* chip = new QLabel(row);
    chip->setFixedSize(10, 10);
    chip->setStyleSheet(QString("background-color: %1;")
                            .arg(RollTrackColour(model_, track).name()));
    layout->addWidget(chip);
    const QString name = RollTrackLabel(model_, track);
    auto* label = new QLabel(row);
    label->setText(label->fontMetrics().elidedText(name, Qt::ElideRight,
                                                   kLegendNameWidth));
    label->setToolTip(name);
    layout->addWidget(label, 1);
    auto add_toggle = [&](const QString& text, const QString& tip,
                          const QString& object, bool checked,
                          const char* colour) {
      auto* button = new QToolButton(row);
      button->setText(text);
      button->setToolTip(tip);
      button->setObjectName(object.arg(track));
      button->setCheckable(true);
      button->setChecked(checked);
      button->setProperty("pressed_colour", colour);
      button->setFixedSize(20, 18);
      layout->addWidget(button);
      return button;
    };
    QToolButton* mute =
        add_toggle("M",
                   tr("Mute: not heard in playback "
                      "or in Export Audio"),
                   "RollMute_%1", model_.mix().muted(track), "mute");
    QToolButton* solo =
        add_toggle("S", tr("Solo: only the soloed tracks are heard"),
                   "RollSolo_%1", model_.mix().soloed(track), "solo");
    connect(mute, &QToolButton::toggled, this, [this, track](bool on) {
      model_.mix().SetMuted(track, on);
      canvas_->update();
      emit MixChanged();
    });
    connect(solo, &QToolButton::toggled, this, [this, track](bool on) {
      model_.mix().SetSoloed(track, on);
      canvas_->update();
      emit MixChanged();
    });
    mute_buttons_[track] = mute;
    solo_buttons_[track] = solo;
    legend_layout_->addWidget(row);
  }
  legend_layout_->addStretch(1);
}

}  // namespace tessavar
