#include "platform/jack_midi_output.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <tuple>

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
  waiting_end_ = 0;
}

void JackMidiOutput::Write(const MidiMessage& message) {
  std::lock_guard lock(pending_mutex_);
  const int frame = frame_;
  pending_.push_back(
      {frame == kOutsideTick ? waiting_end_ : frame, next_order_++, message});
}

int JackMidiOutput::Process(unsigned int frames, void* data) {
  auto* output = static_cast<JackMidiOutput*>(data);
  void* buffer = jack_port_get_buffer(output->port_, frames);
  jack_midi_clear_buffer(buffer);
  output->frame_ = kOutsideTick;
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
  output->frame_ = kOutsideTick;
  std::lock_guard lock(output->pending_mutex_);
  std::vector<Pending>& pending = output->pending_;
  // In place: nothing allocates in JACK's thread.
  std::sort(pending.begin(), pending.end(),
            [](const Pending& a, const Pending& b) {
              return std::tie(a.frame, a.order) < std::tie(b.frame, b.order);
            });
  const int count = static_cast<int>(frames);
  size_t waiting = 0;
  for (Pending& event : pending) {
    if (event.frame < count) {
      jack_midi_event_write(buffer, std::max(event.frame, 0),
                            event.message.bytes.data(), event.message.size);
    } else {
      event.frame -= count;
      pending[waiting++] = event;
    }
  }
  pending.resize(waiting);
  output->waiting_end_ = waiting > 0 ? pending[waiting - 1].frame : 0;
  return 0;
}

void JackMidiOutput::Shutdown(void* data) {
  static_cast<JackMidiOutput*>(data)->gone_ = true;
}

}  // namespace tessavar
