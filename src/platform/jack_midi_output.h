// A JACK MIDI output port of the program ("Tessavar Composer:MIDI out"),
// connectable in any patchbay. JACK keeps the time: once per period its
// process thread calls the tick, which renders the MIDI file player for
// that period; what it writes goes out at the frame it sets, which may lie
// in a later period.
#ifndef TESSAVAR_PLATFORM_JACK_MIDI_OUTPUT_H_
#define TESSAVAR_PLATFORM_JACK_MIDI_OUTPUT_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "model/midi_sequencer.h"

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

namespace tessavar {

inline constexpr char kJackMidiPortName[] = "JACK MIDI";

class JackMidiOutput {
 public:
  // Runs in JACK's process thread with the period's frames, JACK's sample
  // rate and the frames of the periods that passed without a tick (the
  // server went on without this client), which are due now as well.
  using Tick =
      std::function<void(int frames, int sample_rate, int64_t skipped)>;

  JackMidiOutput();
  ~JackMidiOutput();
  JackMidiOutput(const JackMidiOutput&) = delete;
  JackMidiOutput& operator=(const JackMidiOutput&) = delete;

  // True when a JACK server runs; never starts one.
  static bool ServerRunning();

  // Opens the client and its port; false when no server runs.
  bool Open(Tick tick);
  void Close();
  bool is_open() const { return client_ != nullptr; }
  // True once the server has shut down under an open client.
  bool Gone() const { return gone_; }

  // From inside the tick: the frame, counted from the start of the period,
  // that the messages written next belong to; a frame beyond the period
  // goes out in a later one.
  void SetFrame(int frame) { frame_ = frame; }
  // Outside a tick a message goes out in the next period, after the
  // messages still waiting for their frame.
  void Write(const MidiMessage& message);

 private:
  struct Pending {
    int frame = 0;
    uint64_t order = 0;  // keeps the written order within a frame
    MidiMessage message;
  };
  // The frame of a message written outside a tick.
  static constexpr int kOutsideTick = -1;
  static int Process(unsigned int frames, void* data);
  static void Shutdown(void* data);

  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
  Tick tick_;
  std::atomic<int> frame_{kOutsideTick};
  int64_t next_frame_ = -1;  // JACK's frame time where the next period begins
  std::atomic<bool> gone_{false};
  std::mutex pending_mutex_;
  std::vector<Pending> pending_;
  uint64_t next_order_ = 0;
  int waiting_end_ = 0;  // the last frame of the messages left for later
};

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_JACK_MIDI_OUTPUT_H_
