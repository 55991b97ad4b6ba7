#include "model/panel_tips.h"

#include <array>

namespace tessavar {
namespace {

// By mapped box index (the order of kMappedCaptions).
constexpr std::array<const char*, kMappedParameterCount> kMappedTips = {
    "Active Voices (1 to 12): how many tracks sound at the same time in each "
    "phrase. At the start of the piece the voices enter one after another.",
    "Period Length (1 to 4): how many phrases a period has.",
    "Period Repeat (0 to 4, 0 = off): whether periods are played again, "
    "twice or four times, each later pass shorter than the one before.",
    "Phrase Len. (1 to 12): how many notes a phrase has.",
    "Current Key (1 to 12): the transposition of each phrase, which moves "
    "the music through different keys.",
    "Note Pitch (1 to 29): the pitch of each note of the melody.",
    "Note Duration (1 to 29): the length of each note.",
    "Glissando (0 to 12, 0 = off): passing notes that fill the leaps of the "
    "accompanying voices.",
    "Pointillism (0 to 12, 0 = off): splits the melody over three voices, so "
    "that its notes hop from instrument to instrument.",
    "Rhythm (0 to 12, 0 = off): fits phrases to the bar of a fixed meter and "
    "gives one track a rhythmic pulse voice.",
    "Phrase Mirror (0 to 12, 0 = off): mirrored phrases, which run forward "
    "to their middle and then back again.",
    "Rhythm Track (1 to 12): which track plays the pulse voice.",
    "Dynamics (0 to 12, 0 = off): accents that shape the loudness of the "
    "notes by their length. Off, every note of a track plays at an even "
    "level.",
    "Compression (0 to 12, 0 = off): narrows the range of the melody's "
    "pitches."};

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
      return std::string(kMappedTips.at(id.index)) + kMappedFeature;
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
