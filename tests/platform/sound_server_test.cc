// Playback through real audio servers started by the tests themselves: what
// the null sink or a JACK client receives is compared with the offline
// render of the same file.
#include "support/sound_server.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "base/file_system.h"
#include "platform/audio_renderer.h"
#include "platform/fluid_player.h"
#include "platform/jack_midi_output.h"
#include "support/audio_file.h"
#include "support/envelope.h"
#include "support/jack_test_client.h"
#include "support/midi_bytes.h"
#include "support/soundfont_check.h"

namespace tessavar {
namespace {

using namespace std::chrono_literals;
using testing::Note;

constexpr double kMsPerTick = testing::kWriterTempo / 96.0 / 1000.0;
constexpr int kAllNotesOff = 123;

// Notes and rests of changing length: an envelope with a shape, 4.5 s.
std::vector<Note> Phrase() {
  std::vector<Note> notes;
  for (int i = 0; i < 10; ++i) {
    notes.push_back(Note{static_cast<uint32_t>(i % 3 == 1 ? 48 : 0),
                         60 + (i * 5) % 17,
                         static_cast<uint32_t>(24 + 12 * (i % 4))});
  }
  return notes;
}

// The last events are All Notes Off on every channel.
void ExpectAllNotesOff(const std::vector<testing::ReceivedEvent>& events) {
  ASSERT_GE(events.size(), 16u);
  for (size_t channel = 0; channel < 16; ++channel) {
    const auto& bytes = events[events.size() - 16 + channel].bytes;
    EXPECT_EQ(bytes[0], 0xB0 + channel);
    EXPECT_EQ(bytes[1], kAllNotesOff);
  }
}

class SoundServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::DefaultSoundFontInstalled());
    // Readable by the ordinary user that plays it, too.
    ::chmod(dir_.path().c_str(), 0755);
    piece_ = dir_.File("phrase.mid");
    WriteFileAtomically(piece_, testing::WriterLayoutFile({Phrase()}));
    ::chmod(piece_.c_str(), 0644);
    RenderMidiToAudio(piece_, dir_.File("phrase.wav"));
    render_ = testing::Envelope(
        testing::ReadAudioFile(dir_.File("phrase.wav")).samples,
        testing::kServerRate);
  }

  // Plays until playback ends, polling as the window does; the last
  // completion code.
  static int PlayToEnd(FluidPlayer& player) {
    int completion = 0;
    testing::WaitUntil(
        [&] { return (completion = player.TakeCompletion()) != 0; }, 15s);
    return completion;
  }

  // The recording holds the render: same shape, same level, no hole.
  void ExpectRendered(const std::vector<int16_t>& recording) {
    const testing::EnvelopeMatch match = testing::MatchEnvelopes(
        render_, testing::Envelope(recording, testing::kServerRate));
    EXPECT_GT(match.correlation, 0.9);
    EXPECT_NEAR(match.level, 1.0, 0.2);
    EXPECT_LE(match.longest_hole_ms, 2 * testing::kEnvelopeWindowMs);
    onset_frame_ = static_cast<int64_t>(match.offset) * testing::kServerRate *
                   testing::kEnvelopeWindowMs / 1000;
  }

  // The server; the one of a test that cannot start fails it, saying why.
  void StartPulse() {
    std::string why;
    ASSERT_TRUE(pulse_.Start(&why)) << why;
  }
  // The server and a recorder of its sink, recording.
  void StartPulseAndRecord() {
    ASSERT_NO_FATAL_FAILURE(StartPulse());
    recorder_ = std::make_unique<testing::SinkRecorder>(pulse_);
    ASSERT_TRUE(recorder_->WaitForStart());
  }
  // A JACK server and a client of the test that receives from it.
  void StartJack() {
    std::string why;
    ASSERT_TRUE(jack_.Start(&why)) << why;
    receiver_ = std::make_unique<testing::JackTestClient>();
    ASSERT_TRUE(receiver_->ok());
  }

  testing::TempDir dir_;
  testing::PulseServer pulse_;
  std::unique_ptr<testing::SinkRecorder> recorder_;
  testing::JackServer jack_;
  std::unique_ptr<testing::JackTestClient> receiver_;  // goes before jack_
  std::string piece_;
  std::vector<double> render_;
  int64_t onset_frame_ = 0;  // where the render begins in the recording
};

TEST_F(SoundServerTest, PulseAudioPlaysTheRenderShowsTheHeardPositionSeeks) {
  ASSERT_NO_FATAL_FAILURE(StartPulseAndRecord());
  FluidPlayer player;
  player.SetFileName(piece_);
  ASSERT_TRUE(player.Open());
  EXPECT_EQ(player.AudioDriverInUse(), "pulseaudio");
  EXPECT_EQ(player.TakeNotice(), "");
  player.Play();
  std::this_thread::sleep_for(2s);
  const int64_t position = player.PositionMs();
  const int64_t recorded = recorder_->Frames();
  EXPECT_EQ(PlayToEnd(player), kNotifySuccessful);
  std::this_thread::sleep_for(300ms);

  // Seek into a rest that ends in a note: heard within 250 ms.
  const int64_t note_ms = std::lround(48 * kMsPerTick + 96 * kMsPerTick);
  player.SetFrom(0);
  player.Play();
  std::this_thread::sleep_for(300ms);
  player.Stop();
  std::this_thread::sleep_for(500ms);
  player.SetFrom(note_ms);
  const int64_t seek_frame = recorder_->Frames();
  player.Play();
  std::this_thread::sleep_for(600ms);
  player.Stop();

  const std::vector<int16_t> recording = recorder_->Finish();
  ExpectRendered(recording);
  // The position shown is the one heard, not the one rendered.
  const int64_t heard_ms =
      (recorded - onset_frame_) * 1000 / testing::kServerRate;
  EXPECT_NEAR(position, heard_ms, 100);
  const std::vector<double> after =
      testing::Envelope({recording.begin() + seek_frame * 2, recording.end()},
                        testing::kServerRate);
  const double loud = *std::max_element(render_.begin(), render_.end()) * 0.2;
  const auto onset = std::find_if(after.begin(), after.end(),
                                  [loud](double rms) { return rms > loud; });
  ASSERT_NE(onset, after.end());
  EXPECT_LE((onset - after.begin()) * testing::kEnvelopeWindowMs, 250);
}

TEST_F(SoundServerTest, OrdinaryUserOnABusyMachineHearsNoDropout) {
  ASSERT_NO_FATAL_FAILURE(StartPulseAndRecord());
  // Beside the piece: a build in a private home is out of nobody's reach.
  const std::string program = dir_.File("play_file");
  std::filesystem::copy_file(TESSAVAR_PLAY_FILE_PATH, program);
  ::chmod(program.c_str(), 0755);
  testing::MachineLoad load;
  testing::ChildProcess player;
  const std::string log = dir_.File("player.log");
  ASSERT_TRUE(player.Start({program, piece_, "pulseaudio"}, log, [this] {
    // Without real-time priority; as root, the user nobody.
    const struct rlimit none = {0, 0};
    ::setrlimit(RLIMIT_RTPRIO, &none);
    const std::string home = dir_.path();
    ::setenv("HOME", home.c_str(), 1);
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 ||
                             ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      ::_exit(126);
    }
  }));
  EXPECT_EQ(player.Wait(), 0) << testing::ReadText(log);
  EXPECT_NE(testing::ReadText(log).find("played through pulseaudio"),
            std::string::npos)
      << testing::ReadText(log);
  std::this_thread::sleep_for(300ms);
  ExpectRendered(recorder_->Finish());
}

TEST_F(SoundServerTest, ServerGoneStopsPlaybackWithANoticeAndPlayWorksAgain) {
  ASSERT_NO_FATAL_FAILURE(StartPulse());
  FluidPlayer player;
  player.SetFileName(piece_);
  ASSERT_TRUE(player.Open());
  player.Play();
  std::this_thread::sleep_for(500ms);
  pulse_.Kill();
  EXPECT_EQ(PlayToEnd(player), kNotifyFailure);
  EXPECT_EQ(player.Mode(), kPlayerModeStopped);
  EXPECT_EQ(player.TakeNotice().rfind(
                "audio output PulseAudio stopped - playback stopped", 0),
            0u);

  ASSERT_NO_FATAL_FAILURE(StartPulse());
  player.SetFrom(0);
  player.Play();
  EXPECT_EQ(player.AudioDriverInUse(), "pulseaudio");
  EXPECT_EQ(player.TakeNotice(), "");
  EXPECT_TRUE(
      testing::WaitUntil([&] { return player.PositionMs() > 500; }, 5s));
  EXPECT_EQ(player.Mode(), kPlayerModePlaying);
  EXPECT_EQ(player.TakeCompletion(), 0);
}

TEST_F(SoundServerTest, JackPlaysTheRenderAndItsMidiPortSendsTheNotesInTime) {
  ASSERT_NO_FATAL_FAILURE(StartJack());
  testing::JackTestClient& receiver = *receiver_;
  FluidPlayer player;
  const std::vector<std::string> drivers = player.AudioDrivers();
  EXPECT_NE(std::ranges::find(drivers, "jack"), drivers.end());
  player.UseAudioDriver("jack");
  player.SetFileName(piece_);
  ASSERT_TRUE(player.Open());
  ASSERT_EQ(player.AudioDriverInUse(), "jack");
  ASSERT_TRUE(receiver.ConnectFrom("fluidsynth", true));
  player.Play();
  EXPECT_EQ(PlayToEnd(player), kNotifySuccessful);
  std::this_thread::sleep_for(500ms);
  ExpectRendered(receiver.Audio());

  // JACK MIDI: every event at its time, in order; Stop ends all notes.
  ASSERT_EQ(player.MidiPorts().front(), kJackMidiPortName);
  player.UseMidiPort(kJackMidiPortName);
  ASSERT_TRUE(receiver.ConnectFrom("Tessavar Composer", false));
  player.SetFrom(0);
  player.Play();
  EXPECT_EQ(PlayToEnd(player), kNotifySuccessful);
  std::vector<std::pair<int64_t, std::array<uint8_t, 3>>> expected = {
      {0, {0xC0, 0, 0}}};
  int64_t tick = 0;
  for (const Note& note : Phrase()) {
    tick += note.rest_before;
    expected.push_back({tick, {0x90, static_cast<uint8_t>(note.key), 100}});
    tick += note.ticks;
    expected.push_back({tick, {0x80, static_cast<uint8_t>(note.key), 0}});
  }
  // The last events reach the receiver in a later period than the one
  // that ended the piece.
  testing::WaitUntil(
      [&] { return receiver.Events().size() >= expected.size() + 16; }, 2s);
  const std::vector<testing::ReceivedEvent> events = receiver.Events();
  // The end of the piece ends every channel's notes, too.
  std::string got;
  for (const auto& e : events) {
    got += std::to_string(e.frame - events[0].frame) + ":" +
           std::to_string(e.bytes[0]) + " ";
  }
  ASSERT_EQ(events.size(), expected.size() + 16) << got;
  ExpectAllNotesOff(events);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(events[i].bytes, expected[i].second) << "event " << i;
    const double ms =
        (events[i].frame - events[0].frame) * 1000.0 / testing::kServerRate;
    EXPECT_NEAR(ms, expected[i].first * kMsPerTick, 3.0) << "event " << i;
  }
  receiver.ClearEvents();
  player.SetFrom(0);
  player.Play();
  std::this_thread::sleep_for(300ms);
  player.Stop();
  std::this_thread::sleep_for(100ms);
  ExpectAllNotesOff(receiver.Events());

  // The server goes: playback stops with a notice.
  EXPECT_EQ(player.TakeCompletion(), kNotifyAborted);
  player.Play();
  std::this_thread::sleep_for(200ms);
  jack_.Kill();
  EXPECT_EQ(PlayToEnd(player), kNotifyFailure);
  EXPECT_EQ(player.TakeNotice(), "the JACK server is gone - playback stopped");
}

TEST_F(SoundServerTest, JackMidiBesideAnAudioOutputShowsThePositionSent) {
  ASSERT_NO_FATAL_FAILURE(StartPulse());
  ASSERT_NO_FATAL_FAILURE(StartJack());
  testing::JackTestClient& receiver = *receiver_;
  FluidPlayerOptions options;
  options.midi_output = kJackMidiPortName;
  FluidPlayer player(options);
  player.SetFileName(piece_);
  ASSERT_TRUE(player.Open());
  ASSERT_EQ(player.AudioDriverInUse(), "pulseaudio");
  ASSERT_TRUE(receiver.ConnectFrom("Tessavar Composer", false));

  // Paused within the first note: its start is not sent again.
  const auto start = std::chrono::steady_clock::now();
  player.Play();
  std::this_thread::sleep_for(100ms);
  player.Pause();
  const auto played = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  EXPECT_NEAR(player.PositionMs(), played.count(), 40);
  player.Pause();
  EXPECT_EQ(PlayToEnd(player), kNotifySuccessful);
  std::this_thread::sleep_for(100ms);
  const std::vector<testing::ReceivedEvent> events = receiver.Events();
  EXPECT_EQ(std::ranges::count_if(
                events, [](const auto& e) { return e.bytes[0] == 0x90; }),
            std::ssize(Phrase()));
}

TEST(SoundServerStartTest, AServerThatCannotStartSaysWhy) {
  testing::PulseServer server("/nonexistent/pulseaudio");
  std::string why;
  EXPECT_FALSE(server.Start(&why));
  EXPECT_NE(why.find("PulseAudio (/nonexistent/pulseaudio) did not start"),
            std::string::npos)
      << why;
}

}  // namespace
}  // namespace tessavar
