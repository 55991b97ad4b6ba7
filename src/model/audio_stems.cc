#include "model/audio_stems.h"

#include <algorithm>
#include <cstdio>

#include "model/panel_model.h"

namespace tessavar {
namespace {

constexpr int kDrumChannel = 9;
constexpr char kPercussionName[] = "Percussion";

bool OnDrumChannel(const MidiTrack& track) {
  return std::all_of(
      track.notes.begin(), track.notes.end(),
      [](const MidiNote& note) { return note.channel == kDrumChannel; });
}

std::string TrackNumber(int track) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%02d", track);
  return digits;
}

}  // namespace

// "40 Violin" in the instrument list gives "Violin"; a path separator
// would put the file elsewhere.
std::string InstrumentName(const MidiTrack& track) {
  if (OnDrumChannel(track)) return kPercussionName;
  const std::vector<std::string>& names = ListEntries(List::kInstrument);
  const size_t program =
      track.program >= 0 && static_cast<size_t>(track.program) < names.size()
          ? static_cast<size_t>(track.program)
          : 0;
  std::string name = names[program].substr(names[program].find(' ') + 1);
  std::replace(name.begin(), name.end(), '/', '-');
  return name;
}

std::vector<Stem> PlanStems(const MidiContent& content,
                            const std::vector<bool>& silent_tracks,
                            AudioFormat format) {
  std::vector<Stem> stems;
  for (size_t i = 0; i < content.tracks.size(); ++i) {
    const MidiTrack& track = content.tracks[i];
    const bool silenced = i < silent_tracks.size() && silent_tracks[i];
    if (track.notes.empty() || silenced) continue;
    const int index = static_cast<int>(i);
    stems.push_back({index, TrackNumber(index) + " " + InstrumentName(track) +
                                "." + std::string(AudioExtension(format))});
  }
  return stems;
}

Status CheckStemCount(const std::vector<Stem>& stems,
                      const std::string& midi_path) {
  if (stems.size() <= kMaxStems) return Status();
  return Status(kErrOverflow, midi_path, 0,
                ErrorMessage(kErrOverflow) + " (the file has " +
                    std::to_string(stems.size()) +
                    " sounding tracks; at most " + std::to_string(kMaxStems) +
                    " stems are rendered)");
}

std::vector<bool> OnlyTrackSounding(size_t track_count, int track) {
  std::vector<bool> silent(track_count, true);
  if (track >= 0 && static_cast<size_t>(track) < track_count) {
    silent[static_cast<size_t>(track)] = false;
  }
  return silent;
}

}  // namespace tessavar
