// A composition load that fails after a compose: the composed music no
// longer belongs to the panel, so Save goes off, Compose comes back and the
// player is closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/file_system.h"
#include "model/compose_command.h"
#include "model/composition_file_io.h"
#include "support/app_commands_fixture.h"

namespace tessavar::testing {
namespace {

class LoadAfterComposeTest : public AppCommandsFixture {
 protected:
  void Compose() {
    ASSERT_TRUE(LoadStartupComposition(
                    state_, TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX", ui_)
                    .ok());
    ASSERT_TRUE(ComposeCommand(state_, player_, ui_, errors_).Click().written);
    ASSERT_TRUE(state_.panel.save_enabled());
    ASSERT_FALSE(state_.panel.compose_enabled());
    ASSERT_TRUE(player_.open);
    player_.log.clear();
    // The companion MIDI file of the compositions below is missing too.
    player_.open_succeeds = false;
  }

  void ExpectComposedMusicLetGo() {
    EXPECT_FALSE(state_.panel.save_enabled());
    EXPECT_TRUE(state_.panel.compose_enabled());
    EXPECT_FALSE(player_.open);
    EXPECT_NE(std::find(player_.log.begin(), player_.log.end(), "Close"),
              player_.log.end());
  }
};

TEST_F(LoadAfterComposeTest, MissingComposition) {
  Compose();
  commands_.LoadComposition(dir_ / "gone.tvx");
  ExpectComposedMusicLetGo();
}

TEST_F(LoadAfterComposeTest, DamagedComposition) {
  dir_.Write("short.tvx", "2.0\r\n1234567\r\n 0 \r\n");
  Compose();
  commands_.LoadComposition(dir_ / "short.tvx");
  ExpectComposedMusicLetGo();
}

// Its MIDI file still plays, but it is not the half-read panel's music.
TEST_F(LoadAfterComposeTest, DamagedCompositionBesideItsMidiFile) {
  dir_.Write("short.tvx", "2.0\r\n1234567\r\n 0 \r\n");
  Compose();
  std::filesystem::copy_file(FindExistingPath(state_.paths.working_midi),
                             dir_ / "short.mid");
  player_.open_succeeds = true;
  commands_.LoadComposition(dir_ / "short.tvx");
  EXPECT_TRUE(player_.open);
  EXPECT_FALSE(state_.panel.save_enabled());
}

}  // namespace
}  // namespace tessavar::testing
