// The parameter panel as a model without any toolkit: it holds exactly what
// the panel's controls hold (every text as typed, spinner positions, list
// selections, check values, enabled states) and carries out the panel's
// reactions to text, spinner, focus and selection changes. The desktop
// program's widgets display it and forward user actions to it; the composer,
// the file readers and the command-line composer read and write it.
#ifndef TESSAVAR_MODEL_PANEL_MODEL_H_
#define TESSAVAR_MODEL_PANEL_MODEL_H_

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/mapped_parameter.h"
#include "engine/mapped_parameter_rows.h"
#include "engine/track_count.h"

namespace tessavar {

inline constexpr int kInstrumentCount = 128;

// The text boxes of the panel. Per-track boxes and mapped boxes take an
// index (track 0..15, mapped parameter 0..13).
enum class Box {
  kStructure,  // SequenceBox
  kMapping,    // SeedBox + ThemeScroll
  kVariation,  // ComplexBox + ComplexScroll
  kTracks,     // TracksBox + TracksScroll
  kTempo,      // TempoBox + TempoScroll
  kOctave,     // OctaveText(t) + OctaveScroll(t)
  kVolume,     // VolumeText(t) + VolumeScroll(t)
  kPan,        // PanText(t) + PanScroll(t)
  kMapped,     // FBox(i) + FScroll(i)
};

struct BoxId {
  Box box;
  int index = 0;
  friend bool operator==(const BoxId&, const BoxId&) = default;
};

// The mapped box of a parameter.
constexpr BoxId MappedBox(MappedParameter parameter) {
  return {Box::kMapped, MappedIndex(parameter)};
}

enum class List {
  kTonality,    // TonalityCombo
  kSmoothing,   // SmoothingCombo
  kMeter,       // MeterCombo
  kFade,        // FadeCombo
  kInstrument,  // InstrumentCombo(t)
};

struct ListId {
  List list;
  int index = 0;
  friend bool operator==(const ListId&, const ListId&) = default;
};

enum class Check {
  kTie,         // Tie(t)
  kMappedAuto,  // FCheck, headed "Auto"
  kHiddenAuto,  // the Auto check box, hidden; only stored in composition files
};

struct CheckId {
  Check check;
  int index = 0;
  friend bool operator==(const CheckId&, const CheckId&) = default;
};

struct SpinnerRange {
  int low;
  int high;
  int step;
};

// The list entries exactly as stored (instrument names in mixed case; the
// window shows them upper-cased).
const std::vector<std::string>& ListEntries(List list);

class PanelModel {
 public:
  PanelModel();

  // --- Reading -------------------------------------------------------------
  const std::string& Text(BoxId id) const;
  // Spinner position; the structure box has no spinner (0).
  int Spinner(BoxId id) const;
  static bool HasSpinner(BoxId id) { return id.box != Box::kStructure; }
  static SpinnerRange Range(BoxId id);
  int Selection(ListId id) const;
  int CheckValue(CheckId id) const;
  // A check box counts as on for the composer when checked or greyed.
  bool IsChecked(CheckId id) const { return CheckValue(id) != 0; }

  // Enabled state of the panel (EnablePanel / DisablePanel).
  bool enabled() const { return enabled_; }
  bool IsSpinnerEnabled(BoxId id) const;
  // Lists whose drop-down was opened show black on white until they lose
  // the focus.
  bool IsHighlighted(ListId id) const;

  // The main-window state that the panel's rules touch.
  const std::string& status_text() const { return status_text_; }
  bool compose_enabled() const { return compose_enabled_; }
  bool save_enabled() const { return save_enabled_; }
  // The working MIDI file is the panel's music but for the instruments and
  // pans that Redo applies: set by a successful Compose or load of the
  // music (set_save_enabled(true)), cleared by every other change.
  bool score_current() const { return score_current_; }

  // --- Changes (each raises the reactions of the control) -----------------
  // A new text for a box, typed by the user or set by code.
  void SetText(BoxId id, std::string text);
  // A new spinner position, clamped into the spinner's range. Nothing
  // happens when the position does not change.
  void SetSpinner(BoxId id, int value);
  // One click on a spinner arrow: +1 up, -1 down (by the spinner's step).
  void StepSpinner(BoxId id, int direction);
  void FocusGained(BoxId id);
  void FocusLost(BoxId id);

  // Selects a list entry (-1 = no selection). Out-of-range indices are
  // refused (false) and leave the list as it was.
  bool Select(ListId id, int index);
  void DropDownOpened(ListId id);
  void ListFocusLost(ListId id);

  // Sets a check value (0, 1 or 2 = greyed); others are refused (false).
  bool SetCheck(CheckId id, int value);

  // --- Window-level operations -------------------------------------------
  // Marks the composed score stale: player closed, Compose enabled, Save
  // disabled, status line emptied. A change that Redo can apply (a pan)
  // leaves score_current().
  void MarkScoreStale(bool redo_applies = false);
  void EnablePanel();
  void DisablePanel();
  void SetMappedSpinnersEnabled(bool enabled);
  void set_status_text(std::string text) { status_text_ = std::move(text); }
  void set_compose_enabled(bool enabled) { compose_enabled_ = enabled; }
  void set_save_enabled(bool enabled) {
    save_enabled_ = enabled;
    if (enabled) score_current_ = true;
  }
  void set_score_current(bool current) { score_current_ = current; }

  // Called by MarkScoreStale so that the window closes the player.
  std::function<void()> on_score_cleared;
  // Called after any change of the model, so that a view can refresh.
  std::function<void()> on_changed;
  // Called by DisablePanel / EnablePanel (they yield to the
  // event loop at the end).
  std::function<void()> on_yield;

 private:
  struct BoxState {
    std::string text;
    int spinner = 0;
  };
  BoxState& State(BoxId id);
  const BoxState& State(BoxId id) const;
  void OnTextChanged(BoxId id);
  void OnSpinnerChanged(BoxId id);
  void GeneralTextChanged(BoxId id);
  void TrackTextChanged(BoxId id);
  void MappedTextChanged(BoxId id);
  void Changed();

  BoxState structure_;
  BoxState mapping_;
  BoxState variation_;
  BoxState tracks_;
  BoxState tempo_;
  std::array<BoxState, kTrackCount> octave_;
  std::array<BoxState, kTrackCount> volume_;
  std::array<BoxState, kTrackCount> pan_;
  std::array<BoxState, kMappedParameterCount> mapped_;

  int tonality_ = 0;
  int smoothing_ = 0;
  int meter_ = 0;
  int fade_ = 0;
  std::array<int, kTrackCount> instrument_{};
  std::array<bool, 4> general_highlight_{};
  std::array<bool, kTrackCount> instrument_highlight_{};

  std::array<int, kTrackCount> tie_{};
  int mapped_auto_ = 0;
  int hidden_auto_ = 0;

  bool enabled_ = true;
  bool mapped_spinners_enabled_ = true;
  std::string status_text_;
  bool compose_enabled_ = true;
  bool save_enabled_ = false;
  bool score_current_ = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PANEL_MODEL_H_
