// A JACK client of the test that receives what the program sends: MIDI
// events with the frame they arrived at, and stereo audio.
#ifndef TESSAVAR_TESTS_SUPPORT_JACK_TEST_CLIENT_H_
#define TESSAVAR_TESTS_SUPPORT_JACK_TEST_CLIENT_H_

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace tessavar::testing {

struct ReceivedEvent {
  int64_t frame = 0;  // JACK's frame time
  std::array<uint8_t, 3> bytes{};
};

class JackTestClient {
 public:
  static constexpr size_t kMaxEvents = 4096;
  static constexpr size_t kMaxFrames = size_t{44100} * 30;

  JackTestClient() {
    events_.resize(kMaxEvents);
    audio_.resize(kMaxFrames * 2);
    client_ =
        jack_client_open("tessavar-test-receiver", JackNoStartServer, nullptr);
    if (client_ == nullptr) return;
    midi_in_ = jack_port_register(client_, "midi_in", JACK_DEFAULT_MIDI_TYPE,
                                  JackPortIsInput, 0);
    left_ = jack_port_register(client_, "left", JACK_DEFAULT_AUDIO_TYPE,
                               JackPortIsInput, 0);
    right_ = jack_port_register(client_, "right", JACK_DEFAULT_AUDIO_TYPE,
                                JackPortIsInput, 0);
    jack_set_process_callback(client_, Process, this);
    if (jack_activate(client_) != 0) {
      jack_client_close(client_);
      client_ = nullptr;
    }
  }
  ~JackTestClient() {
    if (client_ != nullptr) jack_client_close(client_);
  }
  JackTestClient(const JackTestClient&) = delete;
  JackTestClient& operator=(const JackTestClient&) = delete;

  bool ok() const { return client_ != nullptr; }

  // Connects every output port of `client` of the type to ours.
  bool ConnectFrom(const std::string& client, bool audio) {
    const char** ports =
        jack_get_ports(client_, (client + ":").c_str(),
                       audio ? JACK_DEFAULT_AUDIO_TYPE : JACK_DEFAULT_MIDI_TYPE,
                       JackPortIsOutput);
    if (ports == nullptr) return false;
    std::vector<jack_port_t*> ours = {midi_in_};
    if (audio) ours = {left_, right_};
    size_t connected = 0;
    for (size_t i = 0; ports[i] != nullptr && i < ours.size(); ++i) {
      connected +=
          jack_connect(client_, ports[i], jack_port_name(ours[i])) == 0;
    }
    jack_free(ports);
    return connected == ours.size();
  }

  int64_t Now() const { return jack_frame_time(client_); }
  std::vector<ReceivedEvent> Events() const {
    return {events_.begin(), events_.begin() + event_count_.load()};
  }
  void ClearEvents() { event_count_ = 0; }
  // Interleaved 16-bit samples received so far.
  std::vector<int16_t> Audio() const {
    std::vector<int16_t> samples(frame_count_.load() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
      samples[i] = static_cast<int16_t>(
          std::lround(std::clamp(audio_[i], -1.0f, 1.0f) * 32767));
    }
    return samples;
  }

 private:
  static int Process(jack_nframes_t frames, void* data) {
    auto* self = static_cast<JackTestClient*>(data);
    const int64_t start = jack_last_frame_time(self->client_);
    void* midi = jack_port_get_buffer(self->midi_in_, frames);
    const uint32_t count = jack_midi_get_event_count(midi);
    for (uint32_t i = 0; i < count; ++i) {
      jack_midi_event_t event;
      const size_t n = self->event_count_;
      if (jack_midi_event_get(&event, midi, i) != 0 || n >= kMaxEvents) break;
      ReceivedEvent& received = self->events_[n];
      received.frame = start + event.time;
      received.bytes = {};
      std::copy_n(event.buffer, std::min<size_t>(event.size, 3),
                  received.bytes.begin());
      self->event_count_ = n + 1;
    }
    const auto* left =
        static_cast<const float*>(jack_port_get_buffer(self->left_, frames));
    const auto* right =
        static_cast<const float*>(jack_port_get_buffer(self->right_, frames));
    size_t at = self->frame_count_;
    for (jack_nframes_t i = 0; i < frames && at < kMaxFrames; ++i, ++at) {
      self->audio_[at * 2] = left[i];
      self->audio_[at * 2 + 1] = right[i];
    }
    self->frame_count_ = at;
    return 0;
  }

  jack_client_t* client_ = nullptr;
  jack_port_t* midi_in_ = nullptr;
  jack_port_t* left_ = nullptr;
  jack_port_t* right_ = nullptr;
  std::vector<ReceivedEvent> events_;
  std::atomic<size_t> event_count_{0};
  std::vector<float> audio_;
  std::atomic<size_t> frame_count_{0};
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_JACK_TEST_CLIENT_H_
