#include "ui/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace tessavar {

namespace {

void DrawNoteHead(QPainter& painter, QPointF centre) {
  painter.save();
  painter.translate(centre);
  painter.rotate(-22);
  painter.drawEllipse(QPointF(0, 0), 13, 9.5);
  painter.restore();
}

}  // namespace

// Drawn on a 128 x 128 canvas and scaled.
QPixmap ApplicationIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 128.0, size / 128.0);

  QLinearGradient face(0, 4, 0, 124);
  face.setColorAt(0, QColor("#1c2a1c"));
  face.setColorAt(1, QColor("#050805"));
  painter.setBrush(face);
  painter.setPen(QPen(QColor("#2f6b2f"), 3));
  painter.drawRoundedRect(QRectF(4, 4, 120, 120), 22, 22);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor("#0f5f0f"));
  const QRectF tiles[] = {{16, 96, 14, 14},
                          {34, 88, 14, 22},
                          {52, 80, 14, 30},
                          {70, 92, 14, 18},
                          {88, 84, 14, 26}};
  for (const QRectF& tile : tiles) painter.drawRoundedRect(tile, 2, 2);

  painter.setBrush(QColor("#00ff00"));
  DrawNoteHead(painter, {40, 70});
  DrawNoteHead(painter, {86, 60});
  painter.drawRect(QRectF(48, 22, 5, 48));
  painter.drawRect(QRectF(94, 12, 5, 48));
  painter.drawPolygon(QPolygonF({{48, 22}, {99, 12}, {99, 24}, {48, 34}}));
  return pixmap;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(ApplicationIconPixmap(size));
  }
  return icon;
}

}  // namespace tessavar
