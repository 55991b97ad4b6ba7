// Where the system keeps its SoundFonts: the folder the SoundFont dialog
// opens and the General MIDI SoundFont that plays when none is chosen.
#ifndef TESSAVAR_MODEL_SYSTEM_SOUNDFONT_H_
#define TESSAVAR_MODEL_SYSTEM_SOUNDFONT_H_

#include <string>
#include <string_view>

namespace tessavar {

// Where Debian packages put their SoundFonts.
inline constexpr char kSystemSoundFontDirectory[] = "/usr/share/sounds/sf2";

// A SoundFont of that folder by its file name.
std::string SystemSoundFont(std::string_view name);

// Debian's alternatives link to the installed General MIDI SoundFont.
std::string DefaultSoundFontPath();

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_SYSTEM_SOUNDFONT_H_
