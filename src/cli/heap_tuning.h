// Memory settings for a short-lived process that composes: the largest
// pieces touch about 10 MB of new memory (the score and its MIDI file),
// and a batch composes thousands of pieces one after the other.
#ifndef TESSAVAR_CLI_HEAP_TUNING_H_
#define TESSAVAR_CLI_HEAP_TUNING_H_

namespace tessavar::cli {

// Keeps large blocks on the heap and freed memory in the process for the
// next piece, and asks for transparent huge pages on the heap where the
// kernel grants them on request. Harmless where it is not granted.
void TuneHeapForComposing();

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_HEAP_TUNING_H_
