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

TEST_F(OutputMenusTest, ItemsAreMadeAnewAtEachOpeningAndChoose) {
  outputs_.sequencer.ports = {"Synth & Co"};
  QList<QAction*> items = Open("OptionsOutput");
  ASSERT_EQ(items.size(), 2);
  EXPECT_TRUE(items[0]->isChecked());
  EXPECT_EQ(items[1]->text(), "Synth && Co");  // no access key
  items[1]->trigger();
  EXPECT_EQ(options_.midi_output, "Synth & Co");
  EXPECT_TRUE(Open("OptionsOutput")[1]->isChecked());

  outputs_.sequencer.present = false;
  items = Open("OptionsOutput");
  ASSERT_EQ(items.size(), 2);
  EXPECT_FALSE(items[1]->isEnabled());

  outputs_.drivers = {"pulseaudio", "alsa"};
  items = Open("OptionsAudioOutput");
  ASSERT_EQ(items.size(), 2);
  items[1]->trigger();
  EXPECT_EQ(outputs_.log,
            (std::vector<std::string>{"port Synth & Co", "driver alsa"}));
}

}  // namespace
}  // namespace tessavar
