// Options > Output (the built-in synthesizer or a MIDI port) and Options >
// Audio Output (the synthesizer's audio driver). Their items come from the
// model and are made anew each time a menu opens, so ports that come and go
// show at once.
#ifndef TESSAVAR_UI_OUTPUT_MENUS_H_
#define TESSAVAR_UI_OUTPUT_MENUS_H_

#include "model/playback_outputs.h"
#include "model/program_state.h"

class QMenu;

namespace tessavar {

// Adds both submenus at the end of the options menu; a choice is
// remembered in `options` and handed to `outputs`. Both outlive the menu.
void AddOutputMenus(QMenu* options_menu, Options& options,
                    PlaybackOutputs& outputs);

}  // namespace tessavar

#endif  // TESSAVAR_UI_OUTPUT_MENUS_H_
