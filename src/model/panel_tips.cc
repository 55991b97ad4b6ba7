#include "model/panel_tips.h"

#include <string>

namespace tessavar {
namespace {

// "Caption (1 to 12): ..." or, for a box whose 0 switches its treatment
// off, "Caption (0 to 12, 0 = off): ...".
std::string MappedTip(const MappedParameterRow& row) {
  std::string tip = std::string(row.caption) + " (" + std::to_string(row.low) +
                    " to " + std::to_string(row.high);
  if (row.switch_flag != nullptr) tip += ", 0 = off";
  return tip + "): " + row.description;
}

constexpr char kMappedFeature[] =
    "\nThe number of the feature of the structure that controls this; low "
    "numbers change slowly, high ones from note to note.";

}  // namespace

std::string BoxTip(BoxId id) {
  switch (id.box) {
    case Box::kStructure:
      return "Structure: the plan of the piece, 3 to 16 digits, not all the "
             "same. Each digit starts a period; within a period the digits "
             "are read again as phrases, and within a phrase as notes.";
    case Box::kMapping:
      return "Mapping: a number from 1 to 32767 that seeds every random "
             "choice the composer makes. The same structure with another "
             "mapping gives another piece of the same shape.";
    case Box::kVariation:
      return "Variation: from 0 to 10, how many optional treatments the "
             "composer may use. At 0 the piece keeps to the basics; at 10 "
             "all of them are allowed.";
    case Box::kTracks:
      return "Tracks: from 1 to 16, how many tracks (instruments) take part. "
             "Only the first rows of the orchestration are used.";
    case Box::kTempo:
      return "Tempo: from 20 to 420 beats per minute. The spinner moves in "
             "steps of 10.";
    case Box::kOctave:
      return ColumnTip(OrchestrationColumn::kTransp);
    case Box::kVolume:
      return ColumnTip(OrchestrationColumn::kVolume);
    case Box::kPan:
      return ColumnTip(OrchestrationColumn::kPan);
    case Box::kMapped:
      return MappedTip(kMappedParameterRows.at(id.index)) + kMappedFeature;
  }
  return {};
}

std::string ListTip(List list) {
  switch (list) {
    case List::kTonality:
      return "Tonality: the notes the piece may use: CHROMATIC, MAJOR and "
             "MINOR, PENTATONIC 1 to 3, WHOLE-TONE, or USER-DEFINED (Define "
             "Scale).";
    case List::kSmoothing:
      return "Smooth: makes neighbouring parts of the piece more alike: NONE, "
             "PERIODS, PHRASES or ALL (both).";
    case List::kMeter:
      return "Phrase: the meter. VARIABLE lets every phrase have its own "
             "length; FIXED 1 and FIXED 2 fit phrases into bars of a regular "
             "length whenever the Rhythm treatment is active.";
    case List::kFade:
      return "Fade: NONE, FADE IN (the first period grows from silence), "
             "FADE OUT (the last period dies away) or FADE IN & OUT.";
    case List::kInstrument:
      return ColumnTip(OrchestrationColumn::kInstrument);
  }
  return {};
}

std::string ColumnTip(OrchestrationColumn column) {
  switch (column) {
    case OrchestrationColumn::kInstrument:
      return "Instrument: the General MIDI instrument of the track (0 PIANO "
             "to 127 GUNSHOT). Changing it needs no new composition: press "
             "Redo Midi.";
    case OrchestrationColumn::kTransp:
      return "Transp: 0 to 96, the lowest note of the track's register as a "
             "MIDI note number. 60 is middle C, 48 one octave lower, 72 one "
             "octave higher.";
    case OrchestrationColumn::kVolume:
      return "Volume: 0 to 127, how loud the track plays. Dynamics and fades "
             "work within this level.";
    case OrchestrationColumn::kPan:
      return "Pan: 0 to 127, from left to right; 64 is the centre. Redo Midi "
             "applies a new pan without composing again.";
    case OrchestrationColumn::kTie:
      return "Tie: when ticked, repeated notes of the same pitch in this "
             "track are joined into longer notes.";
  }
  return {};
}

std::string MappedAutoTip() {
  return "Auto: when ticked, Compose chooses all fourteen values itself from "
         "the mapping and the variation and writes its choices into the "
         "boxes. Changing a box yourself unticks it.";
}

}  // namespace tessavar
