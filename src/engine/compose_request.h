// What one composition is made from, as plain values: the panel's texts
// already read with the number rules, its selections and checks, and the
// user scale.
#ifndef TESSAVAR_ENGINE_COMPOSE_REQUEST_H_
#define TESSAVAR_ENGINE_COMPOSE_REQUEST_H_

#include <array>
#include <optional>
#include <string>

#include "engine/mapped_parameter.h"
#include "engine/scale_tables.h"
#include "engine/track_count.h"

namespace tessavar {

// One track row of the panel.
struct TrackRow {
  bool tie = false;
  double volume = 0;       // the volume box as a number
  double octave_base = 0;  // the octave box as a number
  int instrument = -1;     // list index; -1 (no selection) plays program 0
};

struct ComposeRequest {
  std::string structure;  // as typed; letters compose as digits
  double mapping = 0;
  double variation = 0;
  double tracks = 0;
  // List indices; -1 (no selection) reads as the first entry.
  int tonality = -1;
  int smoothing = -1;
  int meter = -1;
  int fade = -1;
  // "Auto": the composer draws the mapped values itself and reports them.
  bool mapped_auto = false;
  // The mapped boxes as numbers; used when "Auto" is off.
  MappedArray<double> mapped;
  std::array<TrackRow, kTrackCount> track_rows{};
  // 2-character semitone fields.
  std::string user_scale = kDefaultUserScale;
};

// The mapped values as the boxes show them: the feature index plus one, or
// 0 for a parameter that is switched off.
using MappedBoxValues = MappedArray<int>;

struct ComposeResult {
  bool composed = false;
  // With "Auto" on: the values drawn, for the boxes.
  std::optional<MappedBoxValues> drawn;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_COMPOSE_REQUEST_H_
