// The composition driver and the main composition algorithm: one digit
// string and the composition's parameters become a multi-track score,
// deterministically.
#ifndef TESSAVAR_ENGINE_COMPOSER_H_
#define TESSAVAR_ENGINE_COMPOSER_H_

#include <string>
#include <string_view>

#include "engine/compose_hook.h"
#include "engine/compose_request.h"
#include "engine/engine_state.h"
#include "engine/random_stream.h"

namespace tessavar {

// Composes the score of `request` into engine.score and finishes it for
// the MIDI writer (octave bases, track names, instruments). Not composed:
// an empty structure, refused or stopped. Does not validate the request.
ComposeResult ComposeAndFinishScore(const ComposeRequest& request,
                                    EngineState& engine, ComposeHook& hook);

// The main composition algorithm. Not composed: refused (seed 0, empty
// structure, tracks outside 1..16) or stopped by the hook after a
// phrase. The drawn values are reported even then.
ComposeResult ComposeScore(const ComposeRequest& request, EngineState& engine,
                           ComposeHook& hook, int seed,
                           std::string_view structure, int key, int tracks);

// Every character that is not a digit becomes the digit of its character
// code mod 10 ("A1" -> "51").
std::string NormalizeStructure(std::string_view structure);

// The key of a tonality list index: chromatic (0) draws -1..-12, major (1)
// 0..11, minor (2) 12..23; the other tonalities are key 0 and draw nothing.
int KeyForTonality(int tonality, RandomStream& random);

// The key ComposeAndFinishScore draws for the request, drawn from a stream
// of its own: the tonic and mode the counter and harmony voices follow.
int ComposedKey(const ComposeRequest& request);

// The power-of-two rule: the largest power of two not above the count
// (counts below 1 are left as they are).
int LargestPowerOfTwoNotAbove(int count);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_COMPOSER_H_
