// The panel's side of composing: the request read from the panel with the
// number rules, and the panel's reactions while the composer runs (the
// status line, the values drawn with "Auto" on written into the mapped
// boxes, the mapped spinners switched off).
#ifndef TESSAVAR_MODEL_PANEL_COMPOSE_H_
#define TESSAVAR_MODEL_PANEL_COMPOSE_H_

#include <string>

#include "engine/compose_hook.h"
#include "engine/compose_request.h"
#include "model/panel_model.h"

namespace tessavar {

inline constexpr char kComposingStatus[] = "composing...";

// What the panel asks to compose; `user_scale` is the program's
// user-defined scale.
ComposeRequest ComposeRequestFromPanel(const PanelModel& panel,
                                       const std::string& user_scale);

// Writes drawn values into the mapped boxes as the panel shows numbers.
// The caller has disabled the panel, so that "Auto" stays on.
void WriteMappedBoxValues(PanelModel& panel, const MappedBoxValues& values);

// Carries the composer's reports to the panel; yields go to `progress`.
class PanelComposeHook : public ComposeHook {
 public:
  PanelComposeHook(PanelModel& panel, ProgressHook& progress)
      : panel_(panel), progress_(progress) {}

  void Yield() override { progress_.Yield(); }
  bool StopRequested() const override { return progress_.StopRequested(); }
  void ComposingStarted() override;
  void MappedValuesDrawn(const MappedBoxValues& values) override;
  void MappedValuesFixed() override;

 private:
  PanelModel& panel_;
  ProgressHook& progress_;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PANEL_COMPOSE_H_
