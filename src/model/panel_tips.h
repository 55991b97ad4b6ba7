// The tooltips of the panel: what each box, list and column heading does
// and its range, in the words of the help document.
#ifndef TESSAVAR_MODEL_PANEL_TIPS_H_
#define TESSAVAR_MODEL_PANEL_TIPS_H_

#include <string>

#include "model/panel_model.h"

namespace tessavar {

// The orchestration columns after the track number.
enum class OrchestrationColumn { kInstrument, kTransp, kVolume, kPan, kTie };

std::string BoxTip(BoxId id);
std::string ListTip(List list);
std::string ColumnTip(OrchestrationColumn column);
// The "Auto" heading and check box of the mapped parameters.
std::string MappedAutoTip();

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PANEL_TIPS_H_
