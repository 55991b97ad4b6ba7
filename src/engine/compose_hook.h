// What the composer tells the program around it while it runs, besides
// yielding: the program shows that it is composing and puts the values
// drawn with "Auto" on into the mapped boxes.
#ifndef TESSAVAR_ENGINE_COMPOSE_HOOK_H_
#define TESSAVAR_ENGINE_COMPOSE_HOOK_H_

#include "engine/compose_request.h"
#include "engine/progress_hook.h"

namespace tessavar {

class ComposeHook : public ProgressHook {
 public:
  // Composing begins (after the structure was found non-empty).
  virtual void ComposingStarted() {}
  // With "Auto" on, right after the draws and before they are used.
  virtual void MappedValuesDrawn(const MappedBoxValues& /*values*/) {}
  // The mapped values are fixed for this composition; the phrases follow.
  virtual void MappedValuesFixed() {}
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_COMPOSE_HOOK_H_
