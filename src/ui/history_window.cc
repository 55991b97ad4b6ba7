#include "ui/history_window.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tessavar {
namespace {

constexpr int kIndexRole = Qt::UserRole;
constexpr char kStar[] = "\u2605";

QStringList Columns(const HistoryRecord& record) {
  return {record.starred ? QString::fromUtf8(kStar) : QString(),
          QDateTime::fromSecsSinceEpoch(record.time)
              .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
          QString::fromStdString(record.structure),
          QString::fromStdString(record.mapping),
          QString::fromStdString(record.tempo),
          QString::fromStdString(HistoryLengthText(record.length_ms))};
}

}  // namespace

HistoryWindow::HistoryWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("HistoryWindow");
  setWindowTitle(tr("Piece History"));
  list_ = new QTreeWidget(this);
  list_->setObjectName("HistoryList");
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setHeaderLabels({QString::fromUtf8(kStar), tr("Composed"),
                          tr("Structure"), tr("Mapping"), tr("Tempo"),
                          tr("Length")});
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  connect(list_, &QTreeWidget::itemActivated, this,
          [this] { Emit(&HistoryWindow::RestoreRequested); });

  restore_button_ = new QPushButton(tr("&Bring Back"), this);
  restore_button_->setObjectName("HistoryRestore");
  star_button_ = new QPushButton(tr("&Star / Unstar"), this);
  star_button_->setObjectName("HistoryStar");
  save_button_ = new QPushButton(tr("Save &As..."), this);
  save_button_->setObjectName("HistorySave");
  connect(restore_button_, &QPushButton::clicked, this,
          [this] { Emit(&HistoryWindow::RestoreRequested); });
  connect(star_button_, &QPushButton::clicked, this,
          [this] { Emit(&HistoryWindow::StarToggled); });
  connect(save_button_, &QPushButton::clicked, this,
          [this] { Emit(&HistoryWindow::SaveRequested); });
  close_button_ = new QPushButton(tr("Close"), this);
  close_button_->setObjectName("HistoryClose");
  connect(close_button_, &QPushButton::clicked, this, &QWidget::close);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(restore_button_);
  buttons->addWidget(star_button_);
  buttons->addStretch(1);
  buttons->addWidget(save_button_);
  buttons->addWidget(close_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  resize(620, 360);
}

void HistoryWindow::Show(const PieceHistory& history) {
  // A new piece takes the selection; otherwise it stays where it was.
  const bool grew = history.size() != shown_count_;
  shown_count_ = history.size();
  const int selected = grew ? -1 : SelectedIndex();
  list_->clear();
  const auto& entries = history.entries();
  for (size_t i = entries.size(); i-- > 0;) {
    auto* item = new QTreeWidgetItem(list_, Columns(entries[i].record));
    item->setData(0, kIndexRole, static_cast<int>(i));
    if (static_cast<int>(i) == selected) list_->setCurrentItem(item);
  }
  if (list_->currentItem() == nullptr && list_->topLevelItemCount() > 0) {
    list_->setCurrentItem(list_->topLevelItem(0));
  }
}

int HistoryWindow::SelectedIndex() const {
  const QTreeWidgetItem* item = list_->currentItem();
  return item == nullptr ? -1 : item->data(0, kIndexRole).toInt();
}

void HistoryWindow::SetCommandsEnabled(bool enabled) {
  restore_button_->setEnabled(enabled);
  save_button_->setEnabled(enabled);
}

void HistoryWindow::keyPressEvent(QKeyEvent* event) {
  // Esc closes the window, as it does every dialog.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void HistoryWindow::Emit(void (HistoryWindow::*signal)(int)) {
  const int index = SelectedIndex();
  if (index >= 0) emit(this->*signal)(index);
}

}  // namespace tessavar
