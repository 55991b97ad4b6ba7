#include "platform/fluid_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "base/file_system.h"
#include "midi/midi_bytes.h"
#include "midi/midi_timing.h"
#include "model/playback_monitor.h"
#include "model/program_state.h"
#include "support/fake_midi_sequencer.h"
#include "support/midi_bytes.h"
#include "support/soundfont_check.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::Note;
using testing::Quarters;
using testing::WriterLayoutFile;

// 20 quarter notes: 1920 ticks of 399,904 / 96 us = 7,998.08 ms.
constexpr int64_t kTwentyQuartersMs = 7998;
// The window's polling interval.
constexpr int64_t kPollMs = 250;

class FluidPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::DefaultSoundFontInstalled());
    ASSERT_FALSE(dir_.path().empty());
  }

  std::string WriteMidi(const std::string& name, const std::string& bytes) {
    std::string path = dir_.File(name);
    WriteFileAtomically(path, bytes);
    return path;
  }

  void OpenFile(const std::string& path) {
    player_.SetFileName(path);
    ASSERT_TRUE(player_.Open());
  }

  // Renders like the audio thread would, polling like the window's timer,
  // until the player stops or the time runs out; returns the milliseconds
  // rendered.
  int64_t PlayOn(int64_t max_ms) {
    int64_t rendered = 0;
    while (rendered < max_ms && player_.Mode() == kPlayerModePlaying) {
      player_.RenderOfflineMs(kPollMs);
      rendered += kPollMs;
      monitor_.Poll();
    }
    return rendered;
  }

  const std::string& Status() const { return state_.panel.status_text(); }

  testing::TempDir dir_;
  testing::FakeMidiSequencer sequencer_;
  FluidPlayer player_{
      FluidPlayerOptions{AudioOutput::kOffline, {}, {}, {}, &sequencer_, {}}};
  ProgramState state_;
  PlaybackMonitor monitor_{player_, state_};
};

TEST_F(FluidPlayerTest, OpenGivesTheFilesLengthAndReady) {
  EXPECT_EQ(player_.Mode(), kPlayerModeNotOpen);
  EXPECT_EQ(player_.LoadedSoundFont(), "");  // not before the first Open
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  EXPECT_EQ(player_.Mode(), kPlayerModeStopped);
  EXPECT_EQ(player_.LengthMs(), kTwentyQuartersMs);
  EXPECT_EQ(player_.PositionMs(), 0);
  EXPECT_EQ(player_.LoadedSoundFont(), DefaultSoundFontPath());
  monitor_.Poll();
  EXPECT_EQ(Status(), "ready");
  EXPECT_EQ(player_.TakeNotice(), "");
}

TEST_F(FluidPlayerTest, PlaysFromTheSliderAndReportsThePosition) {
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  state_.play_slider = 500;
  monitor_.PlayPressed();
  EXPECT_EQ(player_.Mode(), kPlayerModePlaying);
  EXPECT_EQ(player_.PositionMs(), 3999);  // where the slider stands

  float peak = player_.RenderOfflineMs(1000);
  EXPECT_GT(peak, 0.01f) << "playback is silent";
  int64_t position = player_.PositionMs();
  EXPECT_NEAR(position, 3999 + 1000, 15);
  monitor_.Poll();
  EXPECT_EQ(state_.play_slider, SliderForPosition(position, 7998));
  EXPECT_NEAR(state_.play_slider, 625, 2);
  EXPECT_EQ(Status(), PlayingStatusText(position, kTwentyQuartersMs));
  EXPECT_EQ(Status().substr(0, 10), "playing...");
}

TEST_F(FluidPlayerTest, ReachingTheEndStopsAtOnceAndRewindsTheSlider) {
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  monitor_.PlayPressed();
  int64_t rendered = PlayOn(20000);
  // Found by the tick count within the poll that passes the end, not
  // seconds later when the last notes have died away.
  EXPECT_GE(rendered, kTwentyQuartersMs);
  EXPECT_LE(rendered, kTwentyQuartersMs + kPollMs);
  EXPECT_EQ(player_.Mode(), kPlayerModeStopped);
  EXPECT_EQ(player_.PositionMs(), kTwentyQuartersMs);
  EXPECT_EQ(state_.play_slider, 0);
  EXPECT_EQ(Status(), "stopped");
  player_.RenderOfflineMs(kPollMs);
  monitor_.Poll();
  EXPECT_EQ(Status(), "stopped");
  EXPECT_EQ(player_.TakeCompletion(), 0);  // code 1 was delivered once
}

TEST_F(FluidPlayerTest, SliderAtTheEndFinishesImmediately) {
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  state_.play_slider = 1000;
  monitor_.PlayPressed();
  player_.RenderOffline(512);
  EXPECT_EQ(player_.Mode(), kPlayerModeStopped);
  EXPECT_EQ(player_.TakeCompletion(), kNotifySuccessful);
}

TEST_F(FluidPlayerTest, PauseHoldsThePositionAndResumes) {
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  player_.Play();
  player_.RenderOfflineMs(1000);
  player_.Pause();
  EXPECT_EQ(player_.Mode(), kPlayerModePaused);
  int64_t paused_at = player_.PositionMs();
  EXPECT_NEAR(paused_at, 1000, 15);
  player_.RenderOfflineMs(1000);
  EXPECT_EQ(player_.PositionMs(), paused_at);
  monitor_.Poll();
  EXPECT_EQ(Status(), PausedStatusText(paused_at, kTwentyQuartersMs));

  player_.Pause();  // resumes
  EXPECT_EQ(player_.Mode(), kPlayerModePlaying);
  player_.RenderOfflineMs(500);
  EXPECT_NEAR(player_.PositionMs(), paused_at + 500, 15);
}

TEST_F(FluidPlayerTest, StopKeepsThePositionAndReportsAnAbortedPlay) {
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  player_.Play();
  player_.RenderOfflineMs(2000);
  player_.Play();  // again while playing: the first play is superseded
  EXPECT_EQ(player_.TakeCompletion(), kNotifySuperseded);
  player_.RenderOfflineMs(500);
  player_.Stop();
  EXPECT_EQ(player_.TakeCompletion(), kNotifyAborted);
  EXPECT_EQ(player_.Mode(), kPlayerModeStopped);
  int64_t stopped_at = player_.PositionMs();
  EXPECT_NEAR(stopped_at, 2500, 20);
  // The released notes die away: a second later the output is silent.
  player_.RenderOfflineMs(1500);
  EXPECT_LT(player_.RenderOfflineMs(100), 0.001f);
  EXPECT_EQ(player_.PositionMs(), stopped_at);
  // Play without a start position goes on from there.
  player_.Play();
  player_.RenderOfflineMs(300);
  EXPECT_NEAR(player_.PositionMs(), stopped_at + 300, 15);
}

TEST_F(FluidPlayerTest, StopAndRewindFromTheMonitor) {
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  monitor_.PlayPressed();
  PlayOn(1000);
  EXPECT_GT(state_.play_slider, 100);
  monitor_.StopAndRewindPressed();
  monitor_.Poll();
  EXPECT_EQ(state_.play_slider, 0);
  EXPECT_EQ(Status(), "stopped");
  monitor_.PlayPressed();  // from the slider: the start
  EXPECT_EQ(player_.PositionMs(), 0);
}

TEST_F(FluidPlayerTest, FileLongerThanThirtyFiveMinutes) {
  // Two notes 600,000 ticks apart: 600,096 ticks = 2,499,800 ms.
  std::string file =
      WriterLayoutFile({{Note{0, 60, 96}, Note{600000 - 96, 62, 96}}});
  OpenFile(WriteMidi("long.mid", file));
  ASSERT_EQ(player_.LengthMs(), 2499800);
  state_.play_slider = 900;
  monitor_.PlayPressed();
  EXPECT_EQ(player_.PositionMs(), 2249820);
  player_.RenderOfflineMs(500);
  monitor_.Poll();
  EXPECT_EQ(state_.play_slider, 900);
  EXPECT_EQ(Status(), "playing...37:30 of 41:39");
}

TEST_F(FluidPlayerTest, CloseRewriteOpenPlaysTheNewFile) {
  std::string path = WriteMidi("tvx.mid", WriterLayoutFile({Quarters(20)}));
  OpenFile(path);
  player_.Play();
  player_.RenderOfflineMs(500);
  player_.Close();
  EXPECT_EQ(player_.Mode(), kPlayerModeNotOpen);
  EXPECT_EQ(player_.TakeCompletion(), kNotifyAborted);
  monitor_.Poll();
  EXPECT_EQ(Status(), "");

  WriteFileAtomically(path, WriterLayoutFile({Quarters(5, 72)}));
  player_.SetFileName(dir_.File("TVX.MID"));  // found case-insensitively
  ASSERT_TRUE(player_.Open());
  EXPECT_EQ(player_.LengthMs(), 2000);  // 5 x 399.904 ms
  player_.Play();
  int64_t rendered = PlayOn(10000);
  EXPECT_LE(rendered, 2000 + kPollMs);
  EXPECT_EQ(player_.PositionMs(), 2000);
  EXPECT_EQ(Status(), "stopped");
}

TEST_F(FluidPlayerTest, FileThatCannotBeOpenedLeavesThePlayerClosed) {
  player_.SetFileName(dir_.File("missing.mid"));
  EXPECT_FALSE(player_.Open());
  player_.SetFileName(WriteMidi("text.mid", "not a MIDI file at all"));
  EXPECT_FALSE(player_.Open());
  EXPECT_EQ(player_.Mode(), kPlayerModeNotOpen);
  player_.Play();
  EXPECT_EQ(player_.Mode(), kPlayerModeNotOpen);
  EXPECT_EQ(player_.LengthMs(), 0);
  // The next good Open makes it usable again.
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(2)})));
  EXPECT_EQ(player_.Mode(), kPlayerModeStopped);
}

TEST_F(FluidPlayerTest, MissingSoundFontIsNamedOnceAndTheDefaultPlays) {
  player_.SetSoundFont(dir_.File("none.sf2"));
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  EXPECT_EQ(player_.TakeNotice(),
            "SoundFont not found: " + dir_.File("none.sf2") +
                " - playing with " + DefaultSoundFontPath());
  EXPECT_EQ(player_.LoadedSoundFont(), DefaultSoundFontPath());
  player_.Play();
  EXPECT_GT(player_.RenderOfflineMs(1000), 0.01f);
  EXPECT_NEAR(player_.PositionMs(), 1000, 15);
  player_.Close();
  OpenFile(dir_.File("a.mid"));
  EXPECT_EQ(player_.TakeNotice(), "");
  // Choosing another SoundFont takes effect at the next Open.
  player_.SetSoundFont("");
  OpenFile(dir_.File("a.mid"));
  EXPECT_EQ(player_.LoadedSoundFont(), DefaultSoundFontPath());
  EXPECT_EQ(player_.TakeNotice(), "");
  player_.Play();
  EXPECT_GT(player_.RenderOfflineMs(1000), 0.01f);
  // A broken choice later keeps the SoundFont that works.
  WriteFileAtomically(dir_.File("broken.sf2"), "not a SoundFont");
  player_.SetSoundFont(dir_.File("broken.sf2"));
  OpenFile(dir_.File("a.mid"));
  EXPECT_EQ(player_.TakeNotice(),
            "Not a usable SoundFont: " + dir_.File("broken.sf2") +
                " - playing with " + DefaultSoundFontPath());
  EXPECT_EQ(player_.LoadedSoundFont(), DefaultSoundFontPath());
  player_.Play();
  EXPECT_GT(player_.RenderOfflineMs(1000), 0.01f);
}

TEST(FluidPlayerDeviceTest, WithoutAudioDeviceItSaysSoAndKeepsTime) {
  ASSERT_TRUE(testing::DefaultSoundFontInstalled());
  testing::TempDir dir;
  std::string path = dir.File("a.mid");
  WriteFileAtomically(path, WriterLayoutFile({Quarters(20)}));
  FluidPlayer player(FluidPlayerOptions{AudioOutput::kDevice,
                                        {},
                                        {"no-such-driver"},
                                        "not-a-driver-either",
                                        nullptr,
                                        {}});
  player.SetFileName(path);
  ASSERT_TRUE(player.Open());
  EXPECT_TRUE(player.audio_device_missing());
  EXPECT_EQ(player.TakeNotice(), kNoAudioDeviceNotice);
  EXPECT_EQ(player.TakeNotice(), "");  // once
  player.Play();
  // The silent clock moves playback on in real time.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (player.PositionMs() < 100 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_GE(player.PositionMs(), 100);
  EXPECT_EQ(player.Mode(), kPlayerModePlaying);
  player.Close();
  // A second Open does not try the device again.
  ASSERT_TRUE(player.Open());
  EXPECT_EQ(player.TakeNotice(), "");
  player.Play();
}  // destroyed while playing: must neither hang nor crash

TEST_F(FluidPlayerTest, SeekWhilePlayingContinuesFromTheNewPosition) {
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  monitor_.PlayPressed();
  player_.RenderOfflineMs(1000);
  monitor_.SeekTo(5000);
  EXPECT_EQ(player_.Mode(), kPlayerModePlaying);
  EXPECT_EQ(player_.PositionMs(), 5000);
  EXPECT_GT(player_.RenderOfflineMs(500), 0.01f);
  EXPECT_NEAR(player_.PositionMs(), 5500, 15);
  // Paused: resumes where the seek went.
  player_.Pause();
  monitor_.SeekTo(2000);
  EXPECT_EQ(monitor_.PlayheadMs(), 2000);
  player_.Pause();
  player_.RenderOfflineMs(100);
  EXPECT_NEAR(player_.PositionMs(), 2100, 15);
}

TEST_F(FluidPlayerTest, LoopRestartsAtTheRegionStart) {
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  player_.SetLoop(2000, 3000);
  player_.SetFrom(2000);
  player_.Play();
  int64_t highest = 0;
  for (int step = 0; step < 15; ++step) {  // 1.5 s in steps of 100 ms
    player_.RenderOfflineMs(100);
    highest = std::max(highest, player_.PositionMs());
  }
  EXPECT_EQ(player_.Mode(), kPlayerModePlaying);
  EXPECT_LE(highest, 3015);
  EXPECT_NEAR(player_.PositionMs(), 2500, 20);
  // The whole piece: the end goes on at the start instead of stopping.
  player_.SetLoop(0, kTwentyQuartersMs);
  PlayOn(kTwentyQuartersMs);
  EXPECT_EQ(player_.Mode(), kPlayerModePlaying);
  EXPECT_EQ(player_.TakeCompletion(), 0);
  player_.SetLoop(0, 0);
  PlayOn(2 * kTwentyQuartersMs);
  EXPECT_EQ(player_.Mode(), kPlayerModeStopped);
}

TEST_F(FluidPlayerTest, SilencedTracksFallSilentAtOnceWhilePlaying) {
  OpenFile(
      WriteMidi("a.mid", WriterLayoutFile({Quarters(20), Quarters(20, 48)})));
  player_.Play();
  EXPECT_GT(player_.RenderOfflineMs(500), 0.01f);
  player_.SetSilentTracks({false, true, false});
  EXPECT_GT(player_.RenderOfflineMs(500), 0.01f);  // track 2 still plays
  player_.SetSilentTracks({false, true, true});
  EXPECT_NEAR(player_.PositionMs(), 1000, 15);  // playing on from there
  player_.RenderOfflineMs(1500);                // the last notes die away
  EXPECT_LT(player_.RenderOfflineMs(500), 1e-4f);
  EXPECT_EQ(player_.Mode(), kPlayerModePlaying);
}

MidiMessage Message(int status, int data1, int data2 = -1) {
  if (data2 < 0) return {{uint8_t(status), uint8_t(data1), 0}, 2};
  return {{uint8_t(status), uint8_t(data1), uint8_t(data2)}, 3};
}

TEST_F(FluidPlayerTest, APortPlaysTheNotesInTimeWhileTheSynthesizerRests) {
  sequencer_.ports = {"Synth A", "Synth B"};
  EXPECT_TRUE(player_.SequencerPresent());
  EXPECT_EQ(player_.MidiPorts(), sequencer_.ports);
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  player_.UseMidiPort("Synth B");
  player_.Play();
  EXPECT_EQ(sequencer_.connected, "Synth B");
  // Quarters of 400 ms: three notes begin in the first second.
  EXPECT_LT(player_.RenderOfflineMs(1000), 1e-4f);
  EXPECT_EQ(
      sequencer_.sent,
      (std::vector<MidiMessage>{Message(0xC0, 0), Message(0x90, 60, 100),
                                Message(0x80, 60, 0), Message(0x90, 60, 100),
                                Message(0x80, 60, 0), Message(0x90, 60, 100)}));
  monitor_.Poll();
  EXPECT_EQ(Status(),
            PlayingStatusText(player_.PositionMs(), kTwentyQuartersMs));

  // Stop ends every channel's notes.
  sequencer_.sent.clear();
  player_.Stop();
  EXPECT_EQ(sequencer_.sent, AllNotesOffMessages());
  // Back to the synthesizer while playing: the port's notes end, the
  // synthesizer sounds.
  player_.Play();
  player_.UseMidiPort("");
  EXPECT_EQ(
      std::vector<MidiMessage>(sequencer_.sent.end() - midi::kChannelCount,
                               sequencer_.sent.end()),
      AllNotesOffMessages());
  EXPECT_EQ(sequencer_.connected, "");
  EXPECT_GT(player_.RenderOfflineMs(500), 0.01f);
}

TEST_F(FluidPlayerTest,
       APortThatGoesAwayStopsPlaybackAndTheSynthesizerTakesOver) {
  sequencer_.ports = {"Synth A"};
  OpenFile(WriteMidi("a.mid", WriterLayoutFile({Quarters(20)})));
  player_.UseMidiPort("Synth A");
  monitor_.PlayPressed();
  player_.RenderOfflineMs(500);
  sequencer_.ports.clear();  // unplugged
  PlayOn(2000);
  EXPECT_EQ(player_.Mode(), kPlayerModeStopped);
  EXPECT_NEAR(player_.PositionMs(), 800, 15);  // where the next note failed
  EXPECT_EQ(Status(), "MIDI port Synth A is gone - playback stopped");

  monitor_.PlayPressed();
  EXPECT_EQ(player_.Mode(), kPlayerModePlaying);
  EXPECT_EQ(player_.TakeNotice(),
            "MIDI port Synth A not found - playing through the built-in "
            "synthesizer");
  EXPECT_GT(player_.RenderOfflineMs(500), 0.01f);
  player_.Play();  // told once, not at every play
  EXPECT_EQ(player_.TakeNotice(), "");
  sequencer_.present = false;
  EXPECT_FALSE(player_.SequencerPresent());
  EXPECT_TRUE(player_.MidiPorts().empty());
}

}  // namespace
}  // namespace tessavar
