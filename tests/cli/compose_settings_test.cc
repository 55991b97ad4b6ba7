// Settings given to tessavar-cli compose by word: "off" for check boxes,
// and the composition information measured in bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_system.h"
#include "midi/composition_info.h"
#include "support/cli_process.h"
#include "support/temp_dir.h"

namespace tessavar::testing {
namespace {

class ComposeSettingsTest : public ::testing::Test {
 protected:
  int Compose(std::vector<std::string> words) {
    words.insert(words.begin(), "compose");
    CliOutcome outcome = RunCliWords(words, dir_.path());
    last_error_ = outcome.err;
    return outcome.status;
  }
  std::string Show(const std::string& composition) {
    return RunCliWords({"show", composition}, dir_.path()).out;
  }

  TempDir dir_;
  std::string last_error_;
};

TEST_F(ComposeSettingsTest, OffSwitchesAutoAndATieOff) {
  const std::string on = dir_ / "on.tvx";
  ASSERT_EQ(Compose({"-o", dir_ / "on.mid", "--auto", "1", "--set", "tie.2=1",
                     "--save-composition", on}),
            0)
      << last_error_;
  const std::string shown_on = Show(on);
  ASSERT_NE(shown_on.find("\nauto=1\n"), std::string::npos) << shown_on;
  ASSERT_NE(shown_on.find("\ntie.2=1\n"), std::string::npos) << shown_on;

  ASSERT_EQ(Compose({on, "-o", dir_ / "off.mid", "--auto", "off", "--set",
                     "tie.2=OFF", "--save-composition", dir_ / "off.tvx"}),
            0)
      << last_error_;
  const std::string shown_off = Show(dir_ / "off.tvx");
  EXPECT_NE(shown_off.find("\nauto=0\n"), std::string::npos) << shown_off;
  EXPECT_NE(shown_off.find("\ntie.2=0\n"), std::string::npos) << shown_off;

  ASSERT_EQ(Compose({on, "-o", dir_ / "zero.mid", "--auto", "0", "--set",
                     "tie.2=0", "--save-composition", dir_ / "zero.tvx"}),
            0);
  EXPECT_EQ(dir_.Read("off.mid"), dir_.Read("zero.mid"));
  EXPECT_EQ(dir_.Read("off.tvx"), dir_.Read("zero.tvx"));
}

TEST_F(ComposeSettingsTest, InfoOfExactly127BytesFitsAnd128DoNot) {
  // Two bytes each: 64 of them are 128 bytes but only 64 characters.
  const std::string e_acute = "\xc3\xa9";
  std::string fits, too_long;
  for (int i = 0; i < 64; ++i) too_long += e_acute;
  fits = too_long.substr(0, 126) + "a";
  ASSERT_EQ(fits.size(), 127u);

  ASSERT_EQ(Compose({"-o", dir_ / "fits.mid", "--info", fits}), 0)
      << last_error_;
  EXPECT_EQ(ExtractCompositionInfo(dir_ / "fits.mid"), fits);

  EXPECT_EQ(Compose({"-o", dir_ / "long.mid", "--info", too_long}), 2);
  EXPECT_NE(last_error_.find("127 bytes"), std::string::npos) << last_error_;
  EXPECT_FALSE(FileExists(dir_ / "long.mid"));
}

}  // namespace
}  // namespace tessavar::testing
