#include "model/panel_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/text_number.h"

namespace tessavar {
namespace {

const std::vector<std::string> kTonalityEntries = {
    " CHROMATIC",    " MAJOR",        " MINOR",      " PENTATONIC 1",
    " PENTATONIC 2", " PENTATONIC 3", " WHOLE-TONE", "USER-DEFINED"};
const std::vector<std::string> kSmoothingEntries = {"NONE", "PERIODS",
                                                    "PHRASES", "ALL"};
const std::vector<std::string> kMeterEntries = {"VARIABLE", "FIXED 1",
                                                "FIXED 2"};
const std::vector<std::string> kFadeEntries = {"NONE", "FADE IN", "FADE OUT",
                                               "FADE IN & OUT"};
const std::vector<std::string> kInstrumentEntries = {
    "0 Piano",
    "1 Bright Acoustic Piano",
    "2 Electric Grand Piano",
    "3 Honky-Tonk Piano",
    "4 Rhodes Piano",
    "5 Chorused Piano",
    "6 Harpsichord",
    "7 Clavinet",
    "8 Celesta",
    "9 Glockenspiel",
    "10 Music Box",
    "11 Vibraphone",
    "12 Marimba",
    "13 Xylophone",
    "14 Tubular Bells",
    "15 Dulcimer",
    "16 Hammond Organ",
    "17 Percussive Organ",
    "18 Rock Organ",
    "19 Church Organ",
    "20 Reed Organ",
    "21 Accordion",
    "22 Harmonica",
    "23 Tango Accordion",
    "24 Acoustic Nylon Guitar",
    "25 Acoustic Steel Guitar",
    "26 Electric Jazz Guitar",
    "27 Electric Clean Guitar",
    "28 Electric Muted Guitar",
    "29 Overdriven Guitar",
    "30 Distortion Guitar",
    "31 Guitar Harmonics",
    "32 Acoustic Bass",
    "33 Electric Bass Fingered",
    "34 Electric Bass Picked",
    "35 Fretless Bass",
    "36 Slap Bass 1",
    "37 Slap Bass 2",
    "38 Synth Bass 1",
    "39 Synth Bass 2",
    "40 Violin",
    "41 Viola",
    "42 Cello",
    "43 Contrabass",
    "44 Tremelo Strings",
    "45 Pizzicato Strings",
    "46 Orchestral Harp",
    "47 Timpani",
    "48 String Ensemble 1",
    "49 String Ensemble 2",
    "50 Synth Strings 1",
    "51 Synth Strings 2",
    "52 Choir Aahs",
    "53 Voice Oohs",
    "54 Synth Voice",
    "55 Orchestral Hit",
    "56 Trumpet",
    "57 Trombone",
    "58 Tuba",
    "59 Muted Trumpet",
    "60 French Horn",
    "61 Brass Section",
    "62 Synth Brass 1",
    "63 Synth Brass 2",
    "64 Soprano Sax",
    "65 Alto Sax",
    "66 Tenor Sax",
    "67 Baritone Sax",
    "68 Oboe",
    "69 English Horn",
    "70 Bassoon",
    "71 Clarinet",
    "72 Piccolo",
    "73 Flute",
    "74 Recorder",
    "75 Pan Flute",
    "76 Bottle Blow",
    "77 Shakuhachi",
    "78 Whistle",
    "79 Ocarina",
    "80 Synth Lead 1 Square",
    "81 Synth Lead 2 Sawtooth",
    "82 Synth Lead 3 Caliope",
    "83 Synth Lead 4 Chiff",
    "84 Synth Lead 5 Charang",
    "85 Synth Lead 6 Solo Voice",
    "86 Synth Lead 7 Bright Saw",
    "87 Synth Lead 8 Bass&Lead",
    "88 Synth Pad 1 Fantasia",
    "89 Synth Pad 2 Warm",
    "90 Synth Pad 3 Poly Synth",
    "91 Synth Pad 4 Space Voice",
    "92 Synth Pad 5 Bowed Glass",
    "93 Synth Pad 6 Metal",
    "94 Synth Pad 7 Halo",
    "95 Synth Pad 8 Sweep",
    "96 Synth SFX 1 Ice Rain",
    "97 Synth SFX 2 Sound Track",
    "98 Synth SFX 3 Crystal",
    "99 Synth SFX 4 Atmosphere",
    "100 Synth SFX 5 Brightness",
    "101 Synth SFX 6 Goblins",
    "102 Synth SFX 7 Echo Drops",
    "103 Synth SFX 8 Star Theme",
    "104 Sitar",
    "105 Banjo",
    "106 Shamisen",
    "107 Koto",
    "108 Kalimba",
    "109 Bagpipe",
    "110 Fiddle",
    "111 Shanai",
    "112 Tinkle Bells",
    "113 Agogo",
    "114 Steel Drums",
    "115 Woodblock",
    "116 Taiko Drum",
    "117 Melodic Drum",
    "118 Synth Drum",
    "119 Reverse Drum",
    "120 Guitar Fret Noise",
    "121 Breath Noise",
    "122 Seashore",
    "123 Bird Tweet",
    "124 Telephone Ring",
    "125 Helicopter",
    "126 Applause",
    "127 Gunshot",
};

bool IsGeneral(Box box) {
  return box == Box::kMapping || box == Box::kVariation ||
         box == Box::kTracks || box == Box::kTempo;
}
bool IsTrack(Box box) {
  return box == Box::kOctave || box == Box::kVolume || box == Box::kPan;
}

int GeneralListSlot(List list) { return static_cast<int>(list); }

}  // namespace

const std::vector<std::string>& ListEntries(List list) {
  switch (list) {
    case List::kTonality:
      return kTonalityEntries;
    case List::kSmoothing:
      return kSmoothingEntries;
    case List::kMeter:
      return kMeterEntries;
    case List::kFade:
      return kFadeEntries;
    case List::kInstrument:
      break;
  }
  return kInstrumentEntries;
}

PanelModel::PanelModel() {
  structure_.text = "1234567890123456";
  mapping_ = {"32767", 32767};
  variation_ = {"5", 5};
  tracks_ = {"6", 6};
  tempo_ = {"150", 150};
  for (int t = 0; t < kTrackCount; ++t) {
    octave_[t] = {"99", 60};
    volume_[t] = {"999", 64};
    pan_[t] = {"999", 64};
  }
  for (int i = 0; i < kMappedParameterCount; ++i) {
    mapped_[i] = {"999", kMappedParameterRows[i].initial};
  }
}

SpinnerRange PanelModel::Range(BoxId id) {
  switch (id.box) {
    case Box::kStructure:
      return {0, 0, 0};
    case Box::kMapping:
      return {1, 32767, 1};
    case Box::kVariation:
      return {0, 10, 1};
    case Box::kTracks:
      return {1, kTrackCount, 1};
    case Box::kTempo:
      return {20, 420, 10};
    case Box::kOctave:
      return {0, 96, 1};
    case Box::kVolume:
    case Box::kPan:
      return {0, 127, 1};
    case Box::kMapped: {
      const MappedParameterRow& row = kMappedParameterRows.at(id.index);
      return {row.low, row.high, 1};
    }
  }
  return {0, 0, 0};
}

PanelModel::BoxState& PanelModel::State(BoxId id) {
  return const_cast<BoxState&>(std::as_const(*this).State(id));
}

const PanelModel::BoxState& PanelModel::State(BoxId id) const {
  switch (id.box) {
    case Box::kStructure:
      return structure_;
    case Box::kMapping:
      return mapping_;
    case Box::kVariation:
      return variation_;
    case Box::kTracks:
      return tracks_;
    case Box::kTempo:
      return tempo_;
    case Box::kOctave:
      return octave_.at(id.index);
    case Box::kVolume:
      return volume_.at(id.index);
    case Box::kPan:
      return pan_.at(id.index);
    case Box::kMapped:
      return mapped_.at(id.index);
  }
  return structure_;
}

const std::string& PanelModel::Text(BoxId id) const { return State(id).text; }

int PanelModel::Spinner(BoxId id) const { return State(id).spinner; }

int PanelModel::Selection(ListId id) const {
  switch (id.list) {
    case List::kTonality:
      return tonality_;
    case List::kSmoothing:
      return smoothing_;
    case List::kMeter:
      return meter_;
    case List::kFade:
      return fade_;
    case List::kInstrument:
      return instrument_.at(id.index);
  }
  return -1;
}

int PanelModel::CheckValue(CheckId id) const {
  switch (id.check) {
    case Check::kTie:
      return tie_.at(id.index);
    case Check::kMappedAuto:
      return mapped_auto_;
    case Check::kHiddenAuto:
      return hidden_auto_;
  }
  return 0;
}

bool PanelModel::IsSpinnerEnabled(BoxId id) const {
  if (id.box == Box::kMapped) return enabled_ && mapped_spinners_enabled_;
  return enabled_ && HasSpinner(id);
}

bool PanelModel::IsHighlighted(ListId id) const {
  if (id.list == List::kInstrument) return instrument_highlight_.at(id.index);
  return general_highlight_.at(GeneralListSlot(id.list));
}

void PanelModel::Changed() {
  if (on_changed) on_changed();
}

// Setting a text raises the change reaction only when the text really
// changes; the reactions set texts and spinners again, and because the
// second assignment does not change the value, every chain ends after one
// pass.
void PanelModel::SetText(BoxId id, std::string text) {
  BoxState& state = State(id);
  if (state.text == text) return;
  state.text = std::move(text);
  OnTextChanged(id);
  Changed();
}

void PanelModel::SetSpinner(BoxId id, int value) {
  if (!HasSpinner(id)) return;
  SpinnerRange range = Range(id);
  value = std::clamp(value, range.low, range.high);
  BoxState& state = State(id);
  if (state.spinner == value) return;
  state.spinner = value;
  OnSpinnerChanged(id);
  Changed();
}

void PanelModel::StepSpinner(BoxId id, int direction) {
  if (!IsSpinnerEnabled(id)) return;
  SpinnerRange range = Range(id);
  SetSpinner(id, Spinner(id) + (direction > 0 ? range.step : -range.step));
}

void PanelModel::OnSpinnerChanged(BoxId id) {
  const BoxState& state = State(id);
  if (id.box == Box::kMapped) {
    if (IsSpinnerEnabled(id)) MarkScoreStale();
  } else {
    MarkScoreStale(id.box == Box::kPan);
  }
  SetText(id, NumberToText(state.spinner));
}

void PanelModel::OnTextChanged(BoxId id) {
  if (id.box == Box::kStructure) {
    MarkScoreStale();
  } else if (IsGeneral(id.box)) {
    GeneralTextChanged(id);
  } else if (IsTrack(id.box)) {
    TrackTextChanged(id);
  } else {
    MappedTextChanged(id);
  }
}

void PanelModel::GeneralTextChanged(BoxId id) {
  MarkScoreStale();
  const std::string& text = State(id).text;
  double v = NumericValue(text);
  if (id.box == Box::kMapping) v = std::fabs(v);
  SpinnerRange range = Range(id);
  if (v < range.low || v > range.high) return;
  if (id.box == Box::kVariation && text.empty()) return;
  SetText(id, NumberToText(v));
  int position = ToInt(CInt(v));
  if (id.box == Box::kTempo) position = position / 10 * 10;
  SetSpinner(id, position);
}

void PanelModel::TrackTextChanged(BoxId id) {
  if (id.box != Box::kPan) MarkScoreStale();
  const std::string& text = State(id).text;
  double n = NumericValue(text);
  if (id.box != Box::kVolume) n = RoundHalfEven(n);
  SpinnerRange range = Range(id);
  if (n < range.low || n > range.high || text.empty()) return;
  SetSpinner(id, ToInt(CInt(n)));
}

void PanelModel::MappedTextChanged(BoxId id) {
  if (enabled_) {
    MarkScoreStale();
    SetCheck({Check::kMappedAuto}, 0);
  }
  const std::string& text = State(id).text;
  double v = NumericValue(text);
  SpinnerRange range = Range(id);
  if (v < range.low || v > range.high || text.empty()) return;
  SetText(id, NumberToText(v));
  SetSpinner(id, ToInt(CInt(v)));
}

void PanelModel::FocusGained(BoxId id) {
  // The whole text is selected by the view; the model only clears a
  // structure warning that Compose left in the status line.
  if (id.box == Box::kStructure &&
      status_text_.find("Note:") != std::string::npos) {
    status_text_.clear();
    Changed();
  }
}

void PanelModel::FocusLost(BoxId id) {
  if (id.box == Box::kStructure) return;
  const std::string& text = State(id).text;
  SpinnerRange range = Range(id);
  if (IsGeneral(id.box)) {
    double v = NumericValue(text);
    if (id.box == Box::kTempo) v = static_cast<double>(CInt(v) / 10 * 10);
    if (id.box == Box::kMapping) v = std::fabs(v);
    if (v < range.low || v > range.high) return;
    if (id.box == Box::kVariation && text.empty()) return;
    SetText(id, NumberToText(v));
    SetSpinner(id, ToInt(CInt(v)));
    if (id.box == Box::kMapping && on_yield) on_yield();
  } else if (IsTrack(id.box)) {
    int64_t n = CInt(NumericValue(text));
    n = std::clamp<int64_t>(n, range.low, range.high);
    SetText(id, NumberToText(static_cast<double>(n)));
    SetSpinner(id, static_cast<int>(n));
  } else {
    double v = NumericValue(text);
    if (v >= range.low && v <= range.high && !text.empty()) return;
    SetText(id, NumberToText(range.low));
  }
}

bool PanelModel::Select(ListId id, int index) {
  int count = static_cast<int>(ListEntries(id.list).size());
  if (index < -1 || index >= count) return false;
  if (id.list == List::kInstrument) {
    if (id.index < 0 || id.index >= kTrackCount) return false;
    if (instrument_[id.index] == index) return true;
    instrument_[id.index] = index;  // the instrument does not mark the score
    Changed();
    return true;
  }
  int* target = id.list == List::kTonality    ? &tonality_
                : id.list == List::kSmoothing ? &smoothing_
                : id.list == List::kMeter     ? &meter_
                                              : &fade_;
  if (*target == index) return true;
  *target = index;
  MarkScoreStale();
  Changed();
  return true;
}

void PanelModel::DropDownOpened(ListId id) {
  if (id.list == List::kInstrument) {
    instrument_highlight_.at(id.index) = true;
  } else {
    MarkScoreStale();
    general_highlight_.at(GeneralListSlot(id.list)) = true;
  }
  Changed();
}

void PanelModel::ListFocusLost(ListId id) {
  if (id.list == List::kInstrument) {
    instrument_highlight_.at(id.index) = false;
  } else {
    general_highlight_.at(GeneralListSlot(id.list)) = false;
  }
  Changed();
}

bool PanelModel::SetCheck(CheckId id, int value) {
  if (value < 0 || value > 2) return false;
  switch (id.check) {
    case Check::kTie: {
      int& tie = tie_.at(id.index);
      if (tie == value) return true;
      tie = value;
      MarkScoreStale();
      break;
    }
    case Check::kMappedAuto:
      if (mapped_auto_ == value) return true;
      mapped_auto_ = value;
      break;
    case Check::kHiddenAuto:
      if (hidden_auto_ == value) return true;
      hidden_auto_ = value;
      break;
  }
  Changed();
  return true;
}

void PanelModel::MarkScoreStale(bool redo_applies) {
  if (on_score_cleared) on_score_cleared();
  compose_enabled_ = true;
  save_enabled_ = false;
  if (!redo_applies) score_current_ = false;
  status_text_.clear();
  Changed();
}

void PanelModel::EnablePanel() {
  enabled_ = true;
  mapped_spinners_enabled_ = true;
  Changed();
  if (on_yield) on_yield();
}

void PanelModel::DisablePanel() {
  enabled_ = false;
  mapped_spinners_enabled_ = false;
  Changed();
  if (on_yield) on_yield();
}

void PanelModel::SetMappedSpinnersEnabled(bool enabled) {
  mapped_spinners_enabled_ = enabled;
  Changed();
}

}  // namespace tessavar
