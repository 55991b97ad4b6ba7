// Triad completion: a third voice that completes the triads formed by a
// melody and its counter voice.
#ifndef TESSAVAR_ENGINE_TRIAD_VOICE_H_
#define TESSAVAR_ENGINE_TRIAD_VOICE_H_

#include "engine/random_stream.h"
#include "engine/voice_string.h"

namespace tessavar {

// Empty when either voice is empty or their lengths differ (the stream is
// then untouched); otherwise restarts the stream from its fixed state and
// draws once per position.
VoiceString CompleteTriadVoice(RandomStream& random, int key,
                               const VoiceString& melody,
                               const VoiceString& counter);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_TRIAD_VOICE_H_
