// The engine's shared state in one place: the score store and its
// companions, the random stream and the working tables that the voice
// procedures exchange. One instance per program (or per command-line run).
#ifndef TESSAVAR_ENGINE_ENGINE_STATE_H_
#define TESSAVAR_ENGINE_ENGINE_STATE_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/contour_voice_bank.h"
#include "engine/random_stream.h"
#include "engine/scale_tables.h"
#include "engine/score.h"
#include "engine/voice_string.h"

namespace tessavar {

inline constexpr int kVoiceChoiceTableSize = 32767;

struct EngineState {
  Score score;
  std::array<int, kTrackCount> track_instrument{};
  // Index 0..16; "Track n" for used tracks, empty for the others.
  std::array<std::string, kTrackCount + 1> track_name{};

  // Velocity factors of the fade for the voice being written.
  double fade_in_start = 1.0;
  double fade_in_end = 1.0;
  double fade_out_start = 1.0;
  double fade_out_end = 1.0;

  // The three complementary voices of the last melody split.
  VoiceString split_voice1;
  VoiceString split_voice2;
  VoiceString split_voice3;

  // The contour voice bank: entry 0 the melody, 1..22 the contour voices.
  ContourVoiceBank candidate_voices;
  // Random choices 0, 1 or 2 for the contour search.
  std::vector<int16_t> voice_choice_table =
      std::vector<int16_t>(kVoiceChoiceTableSize, 0);

  // The user-defined scale: 2-character semitone fields.
  std::string user_scale = kDefaultUserScale;

  RandomStream random;

  // Erases the score store and the track names (start-up and
  // ResetProgramState).
  void ClearScore() {
    score.Clear();
    for (auto& name : track_name) name.clear();
  }
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_ENGINE_STATE_H_
