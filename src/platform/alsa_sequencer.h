// The ALSA sequencer: its ports that take events, by name, and sending to
// one of them directly, without a queue. The sequencer is opened at the
// first use; without /dev/snd/seq it is simply not present.
#ifndef TESSAVAR_PLATFORM_ALSA_SEQUENCER_H_
#define TESSAVAR_PLATFORM_ALSA_SEQUENCER_H_

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "model/midi_sequencer.h"

namespace tessavar {

class AlsaSequencer : public MidiSequencer {
 public:
  AlsaSequencer();
  ~AlsaSequencer() override;
  AlsaSequencer(const AlsaSequencer&) = delete;
  AlsaSequencer& operator=(const AlsaSequencer&) = delete;

  bool Present() override;
  std::vector<std::string> PortNames() override;
  bool Connect(const std::string& port) override;
  void Disconnect() override;
  bool Send(const MidiMessage& message) override;

 private:
  struct Impl;
  std::mutex mutex_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_ALSA_SEQUENCER_H_
