// Where the SoundFont for playback and rendering comes from: the file the
// user chose, or the system's General MIDI SoundFont.
#ifndef TESSAVAR_PLATFORM_SOUNDFONT_H_
#define TESSAVAR_PLATFORM_SOUNDFONT_H_

#include <string>
#include <vector>

#include "model/system_soundfont.h"

namespace tessavar {

// The places searched for a General MIDI SoundFont, best first: FluidSynth's
// own synth.default-soundfont, then the known Debian locations.
std::vector<std::string> SoundFontCandidates();

// The first candidate that exists, otherwise the first candidate.
std::string SystemDefaultSoundFont();

// The SoundFont to load: the chosen path when it is not empty (whether it
// exists or not, so that an error can name it), otherwise the system's
// default.
std::string ResolveSoundFont(const std::string& chosen);

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_SOUNDFONT_H_
