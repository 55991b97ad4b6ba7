// The parameter panel's widgets over the panel model: three framed groups
// ("General Parameters", "Orchestration", "Mapped Parameters") whose boxes,
// spinners, lists and check boxes display the model and forward every user
// action to it. The panel's rules live in the model only.
#ifndef TESSAVAR_UI_PANEL_VIEW_H_
#define TESSAVAR_UI_PANEL_VIEW_H_

#include <QObject>
#include <QPalette>
#include <functional>
#include <vector>

#include "model/panel_model.h"
#include "model/undo_stack.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace tessavar {

class ListCombo;
class Spinner;

class PanelView : public QObject {
  Q_OBJECT

 public:
  // Builds the widgets (owned by the groups, which the caller places).
  PanelView(PanelModel& model, QObject* parent = nullptr);

  QGroupBox* general_group() const { return general_group_; }
  QGroupBox* orchestration_group() const { return orchestration_group_; }
  QGroupBox* mapped_group() const { return mapped_group_; }

  // Shows the model's current state in every widget.
  void Refresh();

  // The panel's tab chain, in order (spinners are no tab stops).
  std::vector<QWidget*> TabChain() const;

  QLineEdit* Edit(BoxId id) const;
  Spinner* SpinnerFor(BoxId id) const;
  ListCombo* Combo(ListId id) const;
  QCheckBox* CheckBox(CheckId id) const;

  // Told after every user change the model has taken, and when the user
  // leaves a box (undo records its steps from these).
  std::function<void(ChangeKey)> on_user_change;
  std::function<void(BoxId)> on_box_left;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct BoxWidgets {
    BoxId id;
    QLineEdit* edit;
    Spinner* spinner;  // null for the structure box
  };
  struct ListWidgets {
    ListId id;
    ListCombo* combo;
  };
  struct CheckWidgets {
    CheckId id;
    QCheckBox* check;
  };

  void BuildGeneralGroup();
  void BuildOrchestrationGroup();
  void BuildMappedGroup();
  QLineEdit* AddBox(BoxId id, QWidget* parent, int width);
  Spinner* AddSpinner(BoxId id, QWidget* parent);
  ListCombo* AddList(ListId id, QWidget* parent);
  QCheckBox* AddCheck(CheckId id, QWidget* parent);
  void ShowList(const ListWidgets& list);
  void UserChange(ChangeKey key);
  bool StepByKey(QObject* watched, int key);

  PanelModel& model_;
  QGroupBox* general_group_ = nullptr;
  QGroupBox* orchestration_group_ = nullptr;
  QGroupBox* mapped_group_ = nullptr;
  std::vector<BoxWidgets> boxes_;
  std::vector<ListWidgets> lists_;
  std::vector<CheckWidgets> checks_;
  QPalette box_palette_;
  QPalette highlight_palette_;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_PANEL_VIEW_H_
