#include "model/audio_stems.h"

#include <algorithm>

#include "base/text.h"
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

// A path separator in the instrument would put the file elsewhere.
std::string FileNameInstrument(const MidiTrack& track) {
  std::string name = TrackInstrumentName(track);
  std::replace(name.begin(), name.end(), '/', '-');
  return name;
}

bool Silenced(const std::vector<bool>& silent_tracks, size_t track) {
  return track < silent_tracks.size() && silent_tracks[track];
}

}  // namespace

// "40 Violin" in the instrument list gives "Violin".
std::string TrackInstrumentName(const MidiTrack& track) {
  if (OnDrumChannel(track)) return kPercussionName;
  const std::vector<std::string>& names = ListEntries(List::kInstrument);
  const size_t program =
      track.program >= 0 && static_cast<size_t>(track.program) < names.size()
          ? static_cast<size_t>(track.program)
          : 0;
  return names[program].substr(names[program].find(' ') + 1);
}

std::vector<Stem> PlanStems(const MidiContent& content,
                            const std::vector<bool>& silent_tracks,
                            AudioFormat format) {
  std::vector<Stem> stems;
  for (size_t i = 0; i < content.tracks.size(); ++i) {
    const MidiTrack& track = content.tracks[i];
    if (track.notes.empty() || Silenced(silent_tracks, i)) continue;
    const int index = static_cast<int>(i);
    stems.push_back({index, TwoDigits(index) + " " + FileNameInstrument(track) +
                                "." + std::string(AudioExtension(format))});
  }
  return stems;
}

std::vector<std::string> SilencedTrackNames(
    const MidiContent& content, const std::vector<bool>& silent_tracks) {
  std::vector<std::string> names;
  for (size_t i = 0; i < content.tracks.size(); ++i) {
    const MidiTrack& track = content.tracks[i];
    if (track.notes.empty() || !Silenced(silent_tracks, i)) continue;
    names.push_back(TwoDigits(static_cast<int>(i)) + " " +
                    TrackInstrumentName(track));
  }
  return names;
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
