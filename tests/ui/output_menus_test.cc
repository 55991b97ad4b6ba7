#include "ui/output_menus.h"

#include <gtest/gtest.h>

#include <QMenu>

#include "support/fake_midi_sequencer.h"

namespace tessavar {
namespace {

using testing::FakePlaybackOutputs;

class OutputMenusTest : public ::testing::Test {
 protected:
  void SetUp() override { AddOutputMenus(&options_menu_, options_, outputs_); }

  // The submenu's items as its next opening makes them.
  QList<QAction*> Open(const char* name) {
    auto* menu = options_menu_.findChild<QMenu*>(name);
    if (menu == nullptr) return {};
    Q_EMIT menu->aboutToShow();
    return menu->actions();
  }

  QMenu options_menu_;
  Options options_;
  FakePlaybackOutputs outputs_;
};

TEST_F(OutputMenusTest, OutputFollowsThePortsEachTimeItOpens) {
  outputs_.sequencer.ports = {"Synth & Co"};
  QList<QAction*> items = Open("OptionsOutput");
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "Built-in Synthesizer");
  EXPECT_TRUE(items[0]->isChecked());
  EXPECT_EQ(items[1]->text(), "Synth && Co");
  items[1]->trigger();
  EXPECT_EQ(options_.midi_output, "Synth & Co");
  EXPECT_EQ(outputs_.log, std::vector<std::string>{"port Synth & Co"});
  EXPECT_TRUE(Open("OptionsOutput")[1]->isChecked());

  outputs_.sequencer.present = false;
  items = Open("OptionsOutput");
  ASSERT_EQ(items.size(), 2);
  EXPECT_TRUE(items[0]->isChecked());
  EXPECT_EQ(items[1]->text(), "No MIDI ports");
  EXPECT_FALSE(items[1]->isEnabled());
}

TEST_F(OutputMenusTest, AudioOutputChoosesADriver) {
  outputs_.drivers = {"pulseaudio", "alsa"};
  QList<QAction*> items = Open("OptionsAudioOutput");
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[1]->text(), "ALSA");
  items[1]->trigger();
  EXPECT_EQ(options_.audio_driver, "alsa");
  EXPECT_EQ(outputs_.log, std::vector<std::string>{"driver alsa"});
}

}  // namespace
}  // namespace tessavar
