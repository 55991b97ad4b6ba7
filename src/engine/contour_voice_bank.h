// The contour voice bank: entry 0 the melody, entries 1..22 the contour
// voices found for it, 23 and 24 empty. The composer takes only two of the
// 22 voices, so a contour voice is searched when it is first read; reading
// gives the same voice as a search of all 22 at once would.
#ifndef TESSAVAR_ENGINE_CONTOUR_VOICE_BANK_H_
#define TESSAVAR_ENGINE_CONTOUR_VOICE_BANK_H_

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/contour_note_choices.h"
#include "engine/voice_string.h"

namespace tessavar {

class ContourSearch;

inline constexpr int kCandidateVoiceCount = 25;

class ContourVoiceBank {
 public:
  // Entry i; a contour voice not read before is searched now.
  const VoiceString& operator[](size_t i) const;
  // The same, writable.
  VoiceString& operator[](size_t i);
  static constexpr size_t size() { return kCandidateVoiceCount; }

  // Empties every entry.
  void Clear();
  // Entry 0 becomes the melody and entries 1..22 its contour voices
  // (searched on first reading) for the note choices, the voice choice
  // table and the key; the others are emptied. Throws std::out_of_range
  // when the table holds an entry other than 0, 1 or 2 where the search
  // reads; entry 0 is the melody and the others are empty then.
  void Fill(const VoiceString& melody, std::vector<ContourNoteChoices> choices,
            const std::vector<int16_t>& choice_table, int key);

  // Entry by entry.
  friend bool operator==(const ContourVoiceBank& a, const ContourVoiceBank& b);

 private:
  void Resolve(size_t i) const;

  // Entries not searched yet are marked pending; copies of a bank share the
  // search, which does not change.
  mutable std::array<VoiceString, kCandidateVoiceCount> voices_{};
  mutable std::bitset<kCandidateVoiceCount> pending_;
  std::shared_ptr<const ContourSearch> search_;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_CONTOUR_VOICE_BANK_H_
