#include "platform/alsa_sequencer.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

namespace tessavar {
namespace {

constexpr char kSequencerDevice[] = "/dev/snd/seq";
constexpr char kClientName[] = "Tessavar Composer";
constexpr char kPortName[] = "Playback";
constexpr unsigned int kWritableCaps =
    SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
// Large enough for any channel message.
constexpr size_t kEncoderBufferSize = 16;

struct PortAddress {
  int client = 0;
  int port = 0;
};

// "client: port", or the port's name alone when it already names the client
// ("Midi Through Port-0").
std::string PortLabel(const std::string& client, const std::string& port) {
  return port.starts_with(client) ? port : client + ": " + port;
}

}  // namespace

struct AlsaSequencer::Impl {
  ~Impl() {
    if (encoder != nullptr) snd_midi_event_free(encoder);
    if (seq != nullptr) snd_seq_close(seq);
  }

  bool Open();
  // Every port that takes events, with its label, in the sequencer's order.
  template <typename Visit>
  void ForEachPort(Visit visit);
  std::optional<PortAddress> Find(const std::string& label);

  bool tried = false;
  snd_seq_t* seq = nullptr;
  snd_midi_event_t* encoder = nullptr;
  int own_client = -1;
  int own_port = -1;
  std::optional<PortAddress> target;
};

bool AlsaSequencer::Impl::Open() {
  if (tried) return seq != nullptr;
  tried = true;
  std::error_code ec;
  if (!std::filesystem::exists(kSequencerDevice, ec)) return false;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) <
      0) {
    seq = nullptr;
    return false;
  }
  snd_seq_set_client_name(seq, kClientName);
  own_client = snd_seq_client_id(seq);
  own_port = snd_seq_create_simple_port(
      seq, kPortName, SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
      SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (own_port < 0 || snd_midi_event_new(kEncoderBufferSize, &encoder) < 0) {
    snd_seq_close(seq);
    seq = nullptr;
    encoder = nullptr;
    return false;
  }
  return true;
}

template <typename Visit>
void AlsaSequencer::Impl::ForEachPort(Visit visit) {
  snd_seq_client_info_t* client;
  snd_seq_port_info_t* port;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(seq, client) >= 0) {
    const int id = snd_seq_client_info_get_client(client);
    if (id == own_client) continue;
    snd_seq_port_info_set_client(port, id);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(seq, port) >= 0) {
      if ((snd_seq_port_info_get_capability(port) & kWritableCaps) !=
          kWritableCaps) {
        continue;
      }
      visit(PortLabel(snd_seq_client_info_get_name(client),
                      snd_seq_port_info_get_name(port)),
            PortAddress{id, snd_seq_port_info_get_port(port)});
    }
  }
}

std::optional<PortAddress> AlsaSequencer::Impl::Find(const std::string& label) {
  std::optional<PortAddress> found;
  ForEachPort([&](const std::string& name, PortAddress address) {
    if (!found && name == label) found = address;
  });
  return found;
}

AlsaSequencer::AlsaSequencer() : impl_(std::make_unique<Impl>()) {}

AlsaSequencer::~AlsaSequencer() = default;

bool AlsaSequencer::Present() {
  std::lock_guard lock(mutex_);
  return impl_->Open();
}

std::vector<std::string> AlsaSequencer::PortNames() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  if (!impl_->Open()) return names;
  impl_->ForEachPort([&names](const std::string& name, PortAddress) {
    names.push_back(name);
  });
  return names;
}

bool AlsaSequencer::Connect(const std::string& port) {
  std::lock_guard lock(mutex_);
  impl_->target.reset();
  if (!impl_->Open()) return false;
  impl_->target = impl_->Find(port);
  return impl_->target.has_value();
}

void AlsaSequencer::Disconnect() {
  std::lock_guard lock(mutex_);
  impl_->target.reset();
}

bool AlsaSequencer::Send(const MidiMessage& message) {
  std::lock_guard lock(mutex_);
  Impl& p = *impl_;
  if (!p.target) return false;
  snd_seq_event_t event;
  snd_seq_ev_clear(&event);
  snd_midi_event_reset_encode(p.encoder);
  if (snd_midi_event_encode(p.encoder, message.bytes.data(), message.size,
                            &event) < 0 ||
      event.type == SND_SEQ_EVENT_NONE) {
    return true;  // nothing a port would take
  }
  snd_seq_ev_set_source(&event, p.own_port);
  snd_seq_ev_set_dest(&event, p.target->client, p.target->port);
  snd_seq_ev_set_direct(&event);
  const int sent = snd_seq_event_output_direct(p.seq, &event);
  // A full kernel pool drops the event; only a port that is gone fails.
  return sent >= 0 || sent == -EAGAIN;
}

}  // namespace tessavar
