// Draws the piano roll of a RollModel with a QPainter: key rows, bar lines
// and numbers, octave labels, the visible notes in their tracks' colours
// (silenced tracks faded), the loop region and the playhead. The window's
// roll and the pictures of tessavar-roll draw with it.
#ifndef TESSAVAR_UI_ROLL_PAINTER_H_
#define TESSAVAR_UI_ROLL_PAINTER_H_

#include <QColor>
#include <QImage>
#include <QString>

#include "model/roll_model.h"

class QPainter;

namespace tessavar {

struct RollPaintOptions {
  // A legend with the tracks' names and colours in the top right corner
  // (the window has a legend of its own, with the mute and solo buttons).
  bool legend = false;
  // A region being dragged, in pixels (x1 == x2: none).
  int drag_x1 = 0;
  int drag_x2 = 0;
};

QColor RollTrackColour(const RollModel& model, int track);
// The legend's name of a track: its orchestration row and instrument
// ("3 Violin"), the instrument alone for a track outside the rows.
QString RollTrackLabel(const RollModel& model, int track);

// Paints the model's whole view (model.width() x model.height()).
void PaintRoll(QPainter& painter, const RollModel& model,
               const RollPaintOptions& options = {});

// The view as an image.
QImage RenderRoll(const RollModel& model, const RollPaintOptions& options = {});

}  // namespace tessavar

#endif  // TESSAVAR_UI_ROLL_PAINTER_H_
