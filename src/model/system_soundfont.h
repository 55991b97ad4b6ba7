// Where the system keeps its SoundFonts: the folder the SoundFont dialog
// opens and the General MIDI SoundFonts that play when none is chosen.
#ifndef TESSAVAR_MODEL_SYSTEM_SOUNDFONT_H_
#define TESSAVAR_MODEL_SYSTEM_SOUNDFONT_H_

#include <string>
#include <string_view>
#include <vector>

namespace tessavar {

// Where Debian packages put their SoundFonts.
inline constexpr char kSystemSoundFontDirectory[] = "/usr/share/sounds/sf2";

// A SoundFont of that folder by its file name.
std::string SystemSoundFont(std::string_view name);

// The General MIDI SoundFonts Debian packages install, best first: the
// alternatives links (sf3, then sf2), FluidR3 GM (fluid-soundfont-gm), then
// the small TimGM6mb (timgm6mb-soundfont).
std::vector<std::string> KnownSoundFonts();

// The first of those that exists; the first of all when none does, so that
// an error names it.
std::string DefaultSoundFontPath();

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_SYSTEM_SOUNDFONT_H_
