#include "platform/jack_midi_output.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>

namespace tessavar {
namespace {

constexpr char kClientName[] = "Tessavar Composer";
constexpr char kPortName[] = "MIDI out";
// Room for the events of a period without allocating in the process thread.
constexpr size_t kPendingCapacity = 4096;

}  // namespace

JackMidiOutput::JackMidiOutput() { pending_.reserve(kPendingCapacity); }

JackMidiOutput::~JackMidiOutput() { Close(); }

bool JackMidiOutput::ServerRunning() {
  jack_client_t* probe =
      jack_client_open("Tessavar Composer probe", JackNoStartServer, nullptr);
  if (probe == nullptr) return false;
  jack_client_close(probe);
  return true;
}

bool JackMidiOutput::Open(Tick tick) {
  Close();
  client_ = jack_client_open(kClientName, JackNoStartServer, nullptr);
  if (client_ == nullptr) return false;
  tick_ = std::move(tick);
  gone_ = false;
  next_frame_ = -1;
  port_ = jack_port_register(client_, kPortName, JACK_DEFAULT_MIDI_TYPE,
                             JackPortIsOutput, 0);
  jack_set_process_callback(client_, Process, this);
  jack_on_shutdown(client_, Shutdown, this);
  if (port_ == nullptr || jack_activate(client_) != 0) {
    Close();
    return false;
  }
  return true;
}

void JackMidiOutput::Close() {
  if (client_ == nullptr) return;
  // A client whose server is gone is only freed.
  if (!gone_) jack_deactivate(client_);
  jack_client_close(client_);
  client_ = nullptr;
  port_ = nullptr;
  std::lock_guard lock(pending_mutex_);
  pending_.clear();
}

void JackMidiOutput::Write(const MidiMessage& message) {
  std::lock_guard lock(pending_mutex_);
  pending_.push_back({frame_, message});
}

int JackMidiOutput::Process(unsigned int frames, void* data) {
  auto* output = static_cast<JackMidiOutput*>(data);
  void* buffer = jack_port_get_buffer(output->port_, frames);
  jack_midi_clear_buffer(buffer);
  output->frame_ = 0;
  const int64_t start = jack_last_frame_time(output->client_);
  const int64_t skipped =
      output->next_frame_ < 0
          ? 0
          : static_cast<int32_t>(static_cast<uint32_t>(start) -
                                 static_cast<uint32_t>(output->next_frame_));
  output->next_frame_ = static_cast<uint32_t>(start + frames);
  output->tick_(static_cast<int>(frames),
                static_cast<int>(jack_get_sample_rate(output->client_)),
                std::max<int64_t>(skipped, 0));
  output->frame_ = 0;
  std::lock_guard lock(output->pending_mutex_);
  std::stable_sort(
      output->pending_.begin(), output->pending_.end(),
      [](const Pending& a, const Pending& b) { return a.frame < b.frame; });
  const int last = static_cast<int>(frames) - 1;
  for (const Pending& event : output->pending_) {
    jack_midi_event_write(buffer, std::clamp(event.frame, 0, last),
                          event.message.bytes.data(), event.message.size);
  }
  output->pending_.clear();
  return 0;
}

void JackMidiOutput::Shutdown(void* data) {
  static_cast<JackMidiOutput*>(data)->gone_ = true;
}

}  // namespace tessavar
