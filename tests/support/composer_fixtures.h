// Panels for compose tests: a panel ready to compose (as the Compose
// command leaves it, disabled).
#ifndef TESSAVAR_TESTS_SUPPORT_COMPOSER_FIXTURES_H_
#define TESSAVAR_TESTS_SUPPORT_COMPOSER_FIXTURES_H_

#include <array>
#include <string>
#include <vector>

#include "model/panel_model.h"

namespace tessavar::testing {

struct PanelSetup {
  std::string structure = "1234567890123456";
  std::string mapping = "32767";
  std::string variation = "5";
  std::string tracks = "6";
  int tonality = 0;
  int smoothing = 0;
  int meter = 0;
  int fade = 0;
  bool automatic = true;
  // The mapped boxes at their initial spinner positions.
  std::array<std::string, kMappedParameterCount> mapped = {
      "1", "1", "0", "1", "1", "13", "13", "0", "0", "0", "0", "1", "1", "1"};
  std::string octave = "48";
  std::string volume = "100";
  int tie = 0;
};

// A panel holding `setup`, disabled as the Compose command leaves it.
inline PanelModel MakePanel(const PanelSetup& setup) {
  PanelModel panel;
  panel.SetText({Box::kStructure}, setup.structure);
  panel.SetText({Box::kMapping}, setup.mapping);
  panel.SetText({Box::kVariation}, setup.variation);
  panel.SetText({Box::kTracks}, setup.tracks);
  panel.Select({List::kTonality}, setup.tonality);
  panel.Select({List::kSmoothing}, setup.smoothing);
  panel.Select({List::kMeter}, setup.meter);
  panel.Select({List::kFade}, setup.fade);
  for (int t = 0; t < kTrackCount; ++t) {
    panel.SetText({Box::kOctave, t}, setup.octave);
    panel.SetText({Box::kVolume, t}, setup.volume);
    panel.SetText({Box::kPan, t}, "64");
    panel.SetCheck({Check::kTie, t}, setup.tie);
    panel.Select({List::kInstrument, t}, t);
  }
  for (int i = 0; i < kMappedParameterCount; ++i) {
    panel.SetText({Box::kMapped, i}, setup.mapped[i]);
  }
  // Set last: typing into a mapped box unchecks it.
  panel.SetCheck({Check::kMappedAuto}, setup.automatic ? 1 : 0);
  panel.DisablePanel();
  return panel;
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_COMPOSER_FIXTURES_H_
