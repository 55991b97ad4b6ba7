#include "midi/music_xml_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <pugixml.hpp>
#include <sstream>
#include <string_view>
#include <vector>

namespace tessavar {
namespace {

constexpr char kVersion[] = "4.0";
constexpr char kDoctype[] =
    "score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
    "\"http://www.musicxml.org/dtds/partwise.dtd\"";
constexpr char kSoftware[] = "Tessavar Composer";
constexpr int kSemitones = 12;
// Parts whose notes lie mostly below middle C are written in the bass clef.
constexpr int kMiddleC = 60;
// MIDI pan 0..127 with 64 in the middle; MusicXML pan in degrees, -90 left.
constexpr int kCentrePan = 64;
constexpr double kPanDegrees = 90.0;
// Note values from the whole note down to the 128th.
constexpr std::array<std::string_view, 8> kTypes = {
    "whole", "half", "quarter", "eighth", "16th", "32nd", "64th", "128th"};
constexpr int kQuartersPerWhole = 4;

struct Spelling {
  char step;
  int alter;
};
constexpr std::array<Spelling, kSemitones> kSharpSpellings = {{{'C', 0},
                                                               {'C', 1},
                                                               {'D', 0},
                                                               {'D', 1},
                                                               {'E', 0},
                                                               {'F', 0},
                                                               {'F', 1},
                                                               {'G', 0},
                                                               {'G', 1},
                                                               {'A', 0},
                                                               {'A', 1},
                                                               {'B', 0}}};
constexpr std::array<Spelling, kSemitones> kFlatSpellings = {{{'C', 0},
                                                              {'D', -1},
                                                              {'D', 0},
                                                              {'E', -1},
                                                              {'E', 0},
                                                              {'F', 0},
                                                              {'G', -1},
                                                              {'G', 0},
                                                              {'A', -1},
                                                              {'A', 0},
                                                              {'B', -1},
                                                              {'B', 0}}};

// A stretch of a part: a note, or a rest when key < 0.
struct Segment {
  int64_t start = 0;
  int64_t end = 0;
  int key = -1;
};

// A written value: its length in ticks, type and dots; a length no value
// fits is written without a type.
struct NoteValue {
  int64_t ticks = 0;
  std::string_view type;
  int dots = 0;
};

// The values that fit the division exactly, longest first, each plain
// value followed by its dotted form.
std::vector<NoteValue> NoteValues(int division) {
  std::vector<NoteValue> values;
  const int64_t whole = static_cast<int64_t>(division) * kQuartersPerWhole;
  for (size_t i = 0; i < kTypes.size(); ++i) {
    const int64_t divisor = int64_t{1} << i;
    if (whole % divisor != 0) break;
    const int64_t ticks = whole / divisor;
    if (i > 0 && ticks % 2 == 0)
      values.push_back({ticks * 3 / 2, kTypes[i], 1});
    values.push_back({ticks, kTypes[i], 0});
  }
  std::sort(
      values.begin(), values.end(),
      [](const NoteValue& a, const NoteValue& b) { return a.ticks > b.ticks; });
  return values;
}

// A duration as written values, longest first.
std::vector<NoteValue> Spell(int64_t ticks,
                             const std::vector<NoteValue>& values) {
  std::vector<NoteValue> spelled;
  for (const NoteValue& value : values) {
    while (ticks >= value.ticks) {
      spelled.push_back(value);
      ticks -= value.ticks;
    }
  }
  if (ticks > 0) spelled.push_back({ticks, {}, 0});
  return spelled;
}

// The notes of a part and the rests between them, up to `end`.
std::vector<Segment> Segments(const ExchangePart& part, int64_t end) {
  std::vector<Segment> segments;
  int64_t now = 0;
  for (const MidiNote& note : part.notes) {
    const int64_t start = std::max(note.start, now);
    if (note.end <= start) continue;
    if (start > now) segments.push_back({now, start, -1});
    segments.push_back({start, note.end, note.key});
    now = note.end;
  }
  if (end > now) segments.push_back({now, end, -1});
  return segments;
}

void AddText(pugi::xml_node parent, const char* name, std::string_view text) {
  parent.append_child(name).text().set(std::string(text).c_str());
}

void AddNumber(pugi::xml_node parent, const char* name, int64_t value) {
  parent.append_child(name).text().set(static_cast<long long>(value));
}

void AddPitch(pugi::xml_node note, int key, bool flats) {
  const Spelling& spelling =
      (flats ? kFlatSpellings : kSharpSpellings)[key % kSemitones];
  pugi::xml_node pitch = note.append_child("pitch");
  AddText(pitch, "step", std::string_view(&spelling.step, 1));
  if (spelling.alter != 0) AddNumber(pitch, "alter", spelling.alter);
  AddNumber(pitch, "octave", key / kSemitones - 1);
}

class PartWriter {
 public:
  PartWriter(const ExchangePiece& piece, const ExchangePart& part,
             pugi::xml_node node, bool with_tempo)
      : piece_(piece),
        part_(part),
        node_(node),
        with_tempo_(with_tempo),
        values_(NoteValues(piece.division)),
        bar_(piece.TicksPerBar()) {}

  void Write(int64_t measures) {
    const std::vector<Segment> segments = Segments(part_, measures * bar_);
    size_t next = 0;
    for (int64_t m = 0; m < measures; ++m) {
      pugi::xml_node measure = node_.append_child("measure");
      measure.append_attribute("number") = static_cast<long long>(m + 1);
      if (m == 0) AddOpening(measure);
      const int64_t begin = m * bar_;
      const int64_t end = begin + bar_;
      while (next < segments.size() && segments[next].end <= begin) ++next;
      for (size_t s = next; s < segments.size() && segments[s].start < end;
           ++s) {
        AddPiece(measure, segments[s], std::max(segments[s].start, begin),
                 std::min(segments[s].end, end));
      }
    }
  }

 private:
  void AddOpening(pugi::xml_node measure) {
    pugi::xml_node attributes = measure.append_child("attributes");
    AddNumber(attributes, "divisions", piece_.division);
    pugi::xml_node key = attributes.append_child("key");
    AddNumber(key, "fifths", piece_.key.fifths);
    AddText(key, "mode", piece_.key.minor ? "minor" : "major");
    pugi::xml_node time = attributes.append_child("time");
    AddNumber(time, "beats", piece_.beats_per_bar);
    AddNumber(time, "beat-type", piece_.beat_unit);
    pugi::xml_node clef = attributes.append_child("clef");
    const bool bass = MeanKey() < kMiddleC;
    AddText(clef, "sign", bass ? "F" : "G");
    AddNumber(clef, "line", bass ? 4 : 2);
    if (!with_tempo_) return;
    pugi::xml_node direction = measure.append_child("direction");
    direction.append_attribute("placement") = "above";
    pugi::xml_node metronome =
        direction.append_child("direction-type").append_child("metronome");
    AddText(metronome, "beat-unit", "quarter");
    AddNumber(metronome, "per-minute", piece_.QuartersPerMinute());
    direction.append_child("sound").append_attribute("tempo") =
        piece_.QuartersPerMinute();
  }

  int MeanKey() const {
    int64_t sum = 0;
    for (const MidiNote& note : part_.notes) sum += note.key;
    return part_.notes.empty()
               ? kMiddleC
               : static_cast<int>(sum /
                                  static_cast<int64_t>(part_.notes.size()));
  }

  // The part of `segment` from `from` to `to`, inside one measure.
  void AddPiece(pugi::xml_node measure, const Segment& segment, int64_t from,
                int64_t to) {
    const bool rest = segment.key < 0;
    if (rest && to - from == bar_) {
      pugi::xml_node note = measure.append_child("note");
      note.append_child("rest").append_attribute("measure") = "yes";
      AddNumber(note, "duration", bar_);
      AddNumber(note, "voice", 1);
      return;
    }
    const std::vector<NoteValue> spelled = Spell(to - from, values_);
    for (size_t i = 0; i < spelled.size(); ++i) {
      pugi::xml_node note = measure.append_child("note");
      if (rest) {
        note.append_child("rest");
      } else {
        AddPitch(note, segment.key, piece_.key.fifths < 0);
      }
      AddNumber(note, "duration", spelled[i].ticks);
      pugi::xml_node notations;
      if (!rest) {
        // Ties join the values of one note, across bar lines too; the
        // schema wants them after the duration and before the voice.
        if (from > segment.start || i > 0) {
          note.append_child("tie").append_attribute("type") = "stop";
        }
        if (to < segment.end || i + 1 < spelled.size()) {
          note.append_child("tie").append_attribute("type") = "start";
        }
      }
      AddNumber(note, "voice", 1);
      if (!spelled[i].type.empty()) AddText(note, "type", spelled[i].type);
      for (int d = 0; d < spelled[i].dots; ++d) note.append_child("dot");
      for (pugi::xml_node tie = note.child("tie"); tie;
           tie = tie.next_sibling("tie")) {
        if (!notations) notations = note.append_child("notations");
        notations.append_child("tied").append_attribute("type") =
            tie.attribute("type").value();
      }
    }
  }

  const ExchangePiece& piece_;
  const ExchangePart& part_;
  pugi::xml_node node_;
  bool with_tempo_;
  std::vector<NoteValue> values_;
  int64_t bar_;
};

std::string PartId(size_t index) { return "P" + std::to_string(index + 1); }

int PanDegrees(int pan) {
  return static_cast<int>(
      std::lround((pan - kCentrePan) * kPanDegrees / kCentrePan));
}

void AddHeader(pugi::xml_node score, const ExchangePiece& piece) {
  AddText(score.append_child("work"), "work-title", piece.title);
  AddText(score.append_child("identification").append_child("encoding"),
          "software", kSoftware);
  const std::pair<const char*, const std::string*> credits[] = {
      {"title", &piece.title}, {"subtitle", &piece.subtitle}};
  for (const auto& [type, words] : credits) {
    if (words->empty()) continue;
    pugi::xml_node credit = score.append_child("credit");
    credit.append_attribute("page") = 1;
    AddText(credit, "credit-type", type);
    AddText(credit, "credit-words", *words);
  }
  pugi::xml_node list = score.append_child("part-list");
  for (size_t i = 0; i < piece.parts.size(); ++i) {
    const ExchangePart& part = piece.parts[i];
    const std::string id = PartId(i);
    const std::string instrument = id + "-I1";
    pugi::xml_node entry = list.append_child("score-part");
    entry.append_attribute("id") = id.c_str();
    AddText(entry, "part-name", part.name);
    pugi::xml_node score_instrument = entry.append_child("score-instrument");
    score_instrument.append_attribute("id") = instrument.c_str();
    AddText(score_instrument, "instrument-name", part.name);
    pugi::xml_node midi = entry.append_child("midi-instrument");
    midi.append_attribute("id") = instrument.c_str();
    AddNumber(midi, "midi-channel", part.channel + 1);
    AddNumber(midi, "midi-program", part.program + 1);
    AddNumber(midi, "pan", PanDegrees(part.pan));
  }
}

// Whole bars that hold the music, at least one.
int64_t MeasureCount(const ExchangePiece& piece) {
  const int64_t bar = piece.TicksPerBar();
  return std::max<int64_t>((piece.end_tick + bar - 1) / bar, 1);
}

}  // namespace

std::string BuildMusicXml(const ExchangePiece& piece) {
  pugi::xml_document document;
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  document.append_child(pugi::node_doctype).set_value(kDoctype);
  pugi::xml_node score = document.append_child("score-partwise");
  score.append_attribute("version") = kVersion;
  AddHeader(score, piece);
  const int64_t measures = MeasureCount(piece);
  for (size_t i = 0; i < piece.parts.size(); ++i) {
    pugi::xml_node part = score.append_child("part");
    part.append_attribute("id") = PartId(i).c_str();
    PartWriter(piece, piece.parts[i], part, i == 0).Write(measures);
  }
  std::ostringstream out;
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

}  // namespace tessavar
