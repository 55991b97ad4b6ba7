// Counter voice: a consonant second voice written note for note against a
// melody.
#ifndef TESSAVAR_ENGINE_COUNTER_VOICE_H_
#define TESSAVAR_ENGINE_COUNTER_VOICE_H_

#include "engine/random_stream.h"
#include "engine/voice_string.h"

namespace tessavar {

// Empty when seed is 0 or the melody is empty (the stream is then
// untouched). `reference` is empty or the melody itself.
VoiceString GenerateCounterVoice(RandomStream& random, int seed, int key,
                                 const VoiceString& reference,
                                 const VoiceString& melody);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_COUNTER_VOICE_H_
