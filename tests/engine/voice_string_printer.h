// Readable test failure messages for voices.
#ifndef TESSAVAR_TESTS_ENGINE_VOICE_STRING_PRINTER_H_
#define TESSAVAR_TESTS_ENGINE_VOICE_STRING_PRINTER_H_

#include <ostream>

#include "engine/voice_string.h"

namespace tessavar {

inline void PrintTo(const VoiceString& voice, std::ostream* os) {
  *os << "{";
  for (size_t i = 0; i < voice.size(); ++i) {
    *os << (i ? " " : "") << voice.pitches[i] << "/" << voice.durations[i];
  }
  *os << "}";
}

}  // namespace tessavar

#endif  // TESSAVAR_TESTS_ENGINE_VOICE_STRING_PRINTER_H_
