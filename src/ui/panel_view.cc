#include "ui/panel_view.h"

#include <QCheckBox>
#include <QColor>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

#include "model/panel_tips.h"
#include "model/roll_model.h"
#include "ui/list_combo.h"
#include "ui/spinner.h"

namespace tessavar {

namespace {

constexpr int kRowHeight = 22;
// Wide enough for the longest mapping number.
constexpr int kGeneralBoxWidth = 56;
const QColor kBoxGreen(0, 255, 0);
const QColor kDimGreen(0, 120, 0);

QString ToQString(const std::string& text) {
  return QString::fromStdString(text);
}

QString ObjectName(const char* name, int index) {
  return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

const char* BoxName(Box box) {
  switch (box) {
    case Box::kStructure:
      return "SequenceBox";
    case Box::kMapping:
      return "SeedBox";
    case Box::kVariation:
      return "ComplexBox";
    case Box::kTracks:
      return "TracksBox";
    case Box::kTempo:
      return "TempoBox";
    case Box::kOctave:
      return "OctaveText";
    case Box::kVolume:
      return "VolumeText";
    case Box::kPan:
      return "PanText";
    case Box::kMapped:
      return "FBox";
  }
  return "";
}

const char* SpinnerName(Box box) {
  switch (box) {
    case Box::kMapping:
      return "ThemeScroll";
    case Box::kVariation:
      return "ComplexScroll";
    case Box::kTracks:
      return "TracksScroll";
    case Box::kTempo:
      return "TempoScroll";
    case Box::kOctave:
      return "OctaveScroll";
    case Box::kVolume:
      return "VolumeScroll";
    case Box::kPan:
      return "PanScroll";
    case Box::kMapped:
      return "FScroll";
    case Box::kStructure:
      break;
  }
  return "";
}

bool PerIndex(Box box) {
  return box == Box::kOctave || box == Box::kVolume || box == Box::kPan ||
         box == Box::kMapped;
}

QString ListName(ListId id) {
  switch (id.list) {
    case List::kTonality:
      return QStringLiteral("TonalityCombo");
    case List::kSmoothing:
      return QStringLiteral("SmoothingCombo");
    case List::kMeter:
      return QStringLiteral("MeterCombo");
    case List::kFade:
      return QStringLiteral("FadeCombo");
    case List::kInstrument:
      break;
  }
  return ObjectName("InstrumentCombo", id.index);
}

// Focus moves caused by another window (a message box, a dialog) or by a
// list's own drop-down are not focus changes of the panel.
bool IsPanelFocusChange(const QFocusEvent* event) {
  return event->reason() != Qt::ActiveWindowFocusReason &&
         event->reason() != Qt::PopupFocusReason;
}

QPalette BoxPalette(const QColor& base, const QColor& text,
                    const QColor& disabled_text) {
  QPalette palette;
  for (QPalette::ColorRole role :
       {QPalette::Base, QPalette::Button, QPalette::Window}) {
    palette.setColor(role, base);
  }
  for (QPalette::ColorRole role :
       {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
    palette.setColor(role, text);
    palette.setColor(QPalette::Disabled, role, disabled_text);
  }
  palette.setColor(QPalette::Highlight, text);
  palette.setColor(QPalette::HighlightedText, base);
  return palette;
}

QLabel* AddLabel(const QString& text, QWidget* parent, QGridLayout* grid,
                 int row, int column,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(text, parent);
  grid->addWidget(label, row, column, alignment);
  return label;
}

// The row's number with a chip of its colour in the roll before it.
QWidget* RowNumber(int track, QWidget* parent) {
  constexpr int kChipWidth = 5;
  constexpr int kChipHeight = 16;
  auto* cell = new QWidget(parent);
  auto* layout = new QHBoxLayout(cell);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(3);
  auto* chip = new QFrame(cell);
  chip->setObjectName(QString("RowColour_%1").arg(track));
  chip->setFixedSize(kChipWidth, kChipHeight);
  chip->setAutoFillBackground(true);
  QPalette palette = chip->palette();
  palette.setColor(QPalette::Window,
                   QColor::fromRgb(static_cast<QRgb>(TrackColour(track))));
  chip->setPalette(palette);
  layout->addWidget(chip);
  layout->addWidget(new QLabel(QString::number(track + 1), cell));
  return cell;
}

// A number box with its spinner close beside it, as one grid cell.
QWidget* Pair(QWidget* parent, QWidget* box, QWidget* spinner) {
  auto* pair = new QWidget(parent);
  auto* layout = new QHBoxLayout(pair);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  box->setParent(pair);
  spinner->setParent(pair);
  layout->addWidget(box);
  layout->addWidget(spinner);
  layout->addStretch(1);
  return pair;
}

QGridLayout* GroupGrid(QGroupBox* group) {
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);
  grid->setContentsMargins(8, 6, 8, 8);
  return grid;
}

// Undo and redo keys go to the window's commands, not to a box's own
// undo, which the model would never hear of.
bool IsUndoKey(QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
         key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
}

}  // namespace

PanelView::PanelView(PanelModel& model, QObject* parent)
    : QObject(parent),
      model_(model),
      box_palette_(BoxPalette(Qt::black, kBoxGreen, kDimGreen)),
      highlight_palette_(BoxPalette(Qt::white, Qt::black, Qt::darkGray)) {
  BuildGeneralGroup();
  BuildOrchestrationGroup();
  BuildMappedGroup();
  Refresh();
}

QLineEdit* PanelView::AddBox(BoxId id, QWidget* parent, int width) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(PerIndex(id.box) ? ObjectName(BoxName(id.box), id.index)
                                       : QString(BoxName(id.box)));
  edit->setPalette(box_palette_);
  edit->setFixedHeight(kRowHeight);
  if (width > 0) edit->setFixedWidth(width);
  QFont font = edit->font();
  font.setBold(true);
  edit->setFont(font);
  edit->installEventFilter(this);
  edit->setToolTip(QString::fromStdString(BoxTip(id)));
  connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
    model_.SetText(id, text.toStdString());
    UserChange(ChangeKey::Typing(id));
  });
  Spinner* spinner = nullptr;
  if (PanelModel::HasSpinner(id)) spinner = AddSpinner(id, parent);
  boxes_.push_back({id, edit, spinner});
  return edit;
}

Spinner* PanelView::AddSpinner(BoxId id, QWidget* parent) {
  auto* spinner = new Spinner(parent);
  spinner->setObjectName(PerIndex(id.box)
                             ? ObjectName(SpinnerName(id.box), id.index)
                             : QString(SpinnerName(id.box)));
  SpinnerRange range = PanelModel::Range(id);
  spinner->SetRange(range.low, range.high, range.step);
  spinner->setFixedHeight(kRowHeight);
  spinner->setToolTip(QString::fromStdString(BoxTip(id)));
  connect(spinner, &Spinner::Stepped, this, [this, id](int direction) {
    model_.StepSpinner(id, direction);
    UserChange({});
  });
  connect(spinner, &Spinner::Dragged, this, [this, id](int value) {
    model_.SetSpinner(id, value);
    UserChange(ChangeKey::Dragging(id));
  });
  return spinner;
}

ListCombo* PanelView::AddList(ListId id, QWidget* parent) {
  auto* combo = new ListCombo(parent);
  combo->setObjectName(ListName(id));
  combo->setToolTip(QString::fromStdString(ListTip(id.list)));
  for (const std::string& entry : ListEntries(id.list)) {
    // Instrument names are stored in mixed case and shown in upper case.
    QString text = ToQString(entry);
    combo->addItem(id.list == List::kInstrument ? text.toUpper() : text);
  }
  combo->setPalette(box_palette_);
  combo->setFixedHeight(kRowHeight);
  combo->setMaxVisibleItems(16);
  QFont font = combo->font();
  font.setBold(true);
  combo->setFont(font);
  combo->installEventFilter(this);
  connect(combo, &QComboBox::activated, this, [this, id](int index) {
    model_.Select(id, index);
    UserChange({});
  });
  connect(combo, &ListCombo::PopupOpening, this,
          [this, id] { model_.DropDownOpened(id); });
  lists_.push_back({id, combo});
  return combo;
}

QCheckBox* PanelView::AddCheck(CheckId id, QWidget* parent) {
  auto* check = new QCheckBox(parent);
  check->setObjectName(id.check == Check::kTie ? ObjectName("Tie", id.index)
                                               : QStringLiteral("FCheck"));
  connect(check, &QCheckBox::clicked, this, [this, id] {
    model_.SetCheck(id, model_.CheckValue(id) == 0 ? 1 : 0);
    UserChange({});
    Refresh();  // shows the model's value even when it did not change
  });
  checks_.push_back({id, check});
  return check;
}

void PanelView::BuildGeneralGroup() {
  general_group_ = new QGroupBox(tr("General Parameters"));
  general_group_->setObjectName("GeneralGroup");
  QGridLayout* grid = GroupGrid(general_group_);
  QWidget* g = general_group_;

  AddLabel(tr("Structure"), g, grid, 0, 0);
  QLineEdit* structure = AddBox({Box::kStructure}, g, 0);
  structure->setMinimumWidth(150);
  grid->addWidget(structure, 0, 1);

  struct Row {
    const char* label;
    Box box;
  };
  const Row rows[] = {{"Mapping", Box::kMapping},
                      {"Variation", Box::kVariation},
                      {"Tracks", Box::kTracks},
                      {"Tempo", Box::kTempo}};
  int row = 1;
  for (const Row& r : rows) {
    QLabel* label = AddLabel(tr(r.label), g, grid, row, 0);
    if (r.box == Box::kVariation) label->setObjectName("ComplexLabel");
    // One width for the four boxes puts their spinners in one column.
    QLineEdit* edit = AddBox({r.box}, g, kGeneralBoxWidth);
    grid->addWidget(Pair(g, edit, boxes_.back().spinner), row, 1);
    ++row;
  }
  const std::pair<const char*, List> lists[] = {{"Tonality", List::kTonality},
                                                {"Smooth", List::kSmoothing},
                                                {"Phrase", List::kMeter},
                                                {"Fade", List::kFade}};
  for (const auto& [label, list] : lists) {
    AddLabel(tr(label), g, grid, row, 0);
    grid->addWidget(AddList({list}, g), row, 1);
    ++row;
  }
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(row, 1);
}

void PanelView::BuildOrchestrationGroup() {
  orchestration_group_ = new QGroupBox(tr("Orchestration"));
  orchestration_group_->setObjectName("OrchestrationGroup");
  QGridLayout* grid = GroupGrid(orchestration_group_);
  grid->setVerticalSpacing(1);
  QWidget* g = orchestration_group_;

  const char* headings[] = {"Instrument", "Transp", "Volume", "Pan", "Tie"};
  for (int c = 0; c < 5; ++c) {
    AddLabel(tr(headings[c]), g, grid, 0, c + 1,
             c == 4 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignBottom)
        ->setToolTip(QString::fromStdString(
            ColumnTip(static_cast<OrchestrationColumn>(c))));
  }
  for (int t = 0; t < kTrackCount; ++t) {
    const int row = t + 1;
    grid->addWidget(RowNumber(t, g), row, 0, Qt::AlignRight | Qt::AlignVCenter);
    ListCombo* instrument = AddList({List::kInstrument, t}, g);
    instrument->setMinimumWidth(210);
    grid->addWidget(instrument, row, 1);
    int column = 2;
    for (Box box : {Box::kOctave, Box::kVolume, Box::kPan}) {
      QLineEdit* edit = AddBox({box, t}, g, 40);
      grid->addWidget(Pair(g, edit, boxes_.back().spinner), row, column++);
    }
    grid->addWidget(AddCheck({Check::kTie, t}, g), row, column,
                    Qt::AlignCenter);
  }
  grid->setColumnStretch(1, 1);
}

void PanelView::BuildMappedGroup() {
  mapped_group_ = new QGroupBox(tr("Mapped Parameters"));
  mapped_group_->setObjectName("MappedGroup");
  QGridLayout* grid = GroupGrid(mapped_group_);
  QWidget* g = mapped_group_;

  const QString auto_tip = QString::fromStdString(MappedAutoTip());
  QCheckBox* auto_check = AddCheck({Check::kMappedAuto}, g);
  auto_check->setToolTip(auto_tip);
  grid->addWidget(auto_check, 0, 0, Qt::AlignCenter);
  QLabel* auto_label = AddLabel(tr("Auto"), g, grid, 0, 1);
  auto_label->setObjectName("MappedAutoLabel");
  auto_label->setToolTip(auto_tip);
  int row = 1;
  for (int i : kMappedScreenOrder) {
    QLineEdit* edit = AddBox({Box::kMapped, i}, g, 40);
    grid->addWidget(Pair(g, edit, boxes_.back().spinner), row, 0);
    AddLabel(tr(kMappedParameterRows[i].caption), g, grid, row, 1)
        ->setToolTip(QString::fromStdString(BoxTip({Box::kMapped, i})));
    ++row;
  }
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(row, 1);
}

std::vector<QWidget*> PanelView::TabChain() const {
  std::vector<QWidget*> chain;
  chain.push_back(Edit({Box::kStructure}));
  for (Box box : {Box::kMapping, Box::kVariation, Box::kTracks, Box::kTempo}) {
    chain.push_back(Edit({box}));
  }
  for (List list :
       {List::kTonality, List::kSmoothing, List::kMeter, List::kFade}) {
    chain.push_back(Combo({list}));
  }
  for (int t = 0; t < kTrackCount; ++t) {
    chain.push_back(Combo({List::kInstrument, t}));
    chain.push_back(Edit({Box::kOctave, t}));
    chain.push_back(Edit({Box::kVolume, t}));
    chain.push_back(Edit({Box::kPan, t}));
    chain.push_back(CheckBox({Check::kTie, t}));
  }
  chain.push_back(CheckBox({Check::kMappedAuto}));
  for (int i : kMappedScreenOrder) chain.push_back(Edit({Box::kMapped, i}));
  return chain;
}

QLineEdit* PanelView::Edit(BoxId id) const {
  for (const BoxWidgets& box : boxes_) {
    if (box.id == id) return box.edit;
  }
  return nullptr;
}

Spinner* PanelView::SpinnerFor(BoxId id) const {
  for (const BoxWidgets& box : boxes_) {
    if (box.id == id) return box.spinner;
  }
  return nullptr;
}

ListCombo* PanelView::Combo(ListId id) const {
  for (const ListWidgets& list : lists_) {
    if (list.id == id) return list.combo;
  }
  return nullptr;
}

QCheckBox* PanelView::CheckBox(CheckId id) const {
  for (const CheckWidgets& check : checks_) {
    if (check.id == id) return check.check;
  }
  return nullptr;
}

void PanelView::ShowList(const ListWidgets& list) {
  QSignalBlocker blocker(list.combo);
  int selection = model_.Selection(list.id);
  if (list.combo->currentIndex() != selection) {
    list.combo->setCurrentIndex(selection);
  }
  const QPalette& palette =
      model_.IsHighlighted(list.id) ? highlight_palette_ : box_palette_;
  if (list.combo->palette() != palette) list.combo->setPalette(palette);
}

void PanelView::Refresh() {
  const bool enabled = model_.enabled();
  for (QGroupBox* group :
       {general_group_, orchestration_group_, mapped_group_}) {
    if (group->isEnabled() != enabled) group->setEnabled(enabled);
  }
  for (const BoxWidgets& box : boxes_) {
    const QString text = ToQString(model_.Text(box.id));
    if (box.edit->text() != text) box.edit->setText(text);
    if (box.spinner != nullptr) {
      box.spinner->SetPosition(model_.Spinner(box.id));
      const bool spinner_enabled = model_.IsSpinnerEnabled(box.id);
      if (box.spinner->isEnabled() != spinner_enabled) {
        box.spinner->setEnabled(spinner_enabled);
      }
    }
  }
  for (const ListWidgets& list : lists_) ShowList(list);
  for (const CheckWidgets& check : checks_) {
    QSignalBlocker blocker(check.check);
    const int value = model_.CheckValue(check.id);
    const Qt::CheckState state = value == 0   ? Qt::Unchecked
                                 : value == 1 ? Qt::Checked
                                              : Qt::PartiallyChecked;
    if (check.check->checkState() != state) check.check->setCheckState(state);
  }
}

void PanelView::UserChange(ChangeKey key) {
  if (on_user_change) on_user_change(key);
}

bool PanelView::eventFilter(QObject* watched, QEvent* event) {
  if (IsUndoKey(event)) {
    event->ignore();
    return true;
  }
  if (event->type() == QEvent::KeyPress &&
      StepByKey(watched, static_cast<QKeyEvent*>(event)->key())) {
    return true;
  }
  if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) {
    return QObject::eventFilter(watched, event);
  }
  auto* focus_event = static_cast<QFocusEvent*>(event);
  if (!IsPanelFocusChange(focus_event)) return false;
  const bool gained = event->type() == QEvent::FocusIn;
  for (const BoxWidgets& box : boxes_) {
    if (box.edit != watched) continue;
    if (gained) {
      model_.FocusGained(box.id);
      // Selected after the click that gave the focus has placed the caret.
      QTimer::singleShot(0, box.edit, [edit = box.edit] {
        if (edit->hasFocus()) edit->selectAll();
      });
    } else {
      model_.FocusLost(box.id);
      if (on_box_left) on_box_left(box.id);
    }
    return false;
  }
  for (const ListWidgets& list : lists_) {
    if (list.combo == watched && !gained && !list.combo->popup_open()) {
      model_.ListFocusLost(list.id);
    }
  }
  return false;
}

// Up and PageUp step a number box up, Down and PageDown down, as one click
// on its spinner's arrow or trough.
bool PanelView::StepByKey(QObject* watched, int key) {
  int direction = 0;
  if (key == Qt::Key_Up || key == Qt::Key_PageUp) direction = 1;
  if (key == Qt::Key_Down || key == Qt::Key_PageDown) direction = -1;
  if (direction == 0) return false;
  for (const BoxWidgets& box : boxes_) {
    if (box.edit != watched || box.spinner == nullptr) continue;
    if (model_.IsSpinnerEnabled(box.id)) {
      model_.StepSpinner(box.id, direction);
      UserChange({});
    }
    return true;
  }
  return false;
}

}  // namespace tessavar
