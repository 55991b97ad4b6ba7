#include "engine/contour_voice_bank.h"

#include <stdexcept>
#include <utility>

#include "engine/contour_search.h"

namespace tessavar {

void ContourVoiceBank::Resolve(size_t i) const {
  if (i >= voices_.size()) throw std::out_of_range("no such contour voice");
  if (!pending_[i]) return;
  voices_[i] = search_->Voice(static_cast<int>(i) - 1);
  pending_[i] = false;
}

const VoiceString& ContourVoiceBank::operator[](size_t i) const {
  Resolve(i);
  return voices_[i];
}

VoiceString& ContourVoiceBank::operator[](size_t i) {
  Resolve(i);
  return voices_[i];
}

void ContourVoiceBank::Clear() {
  for (auto& voice : voices_) voice.clear();
  pending_.reset();
  search_.reset();
}

void ContourVoiceBank::Fill(const VoiceString& melody,
                            std::vector<ContourNoteChoices> choices,
                            const std::vector<int16_t>& choice_table, int key) {
  // The last search's copy of the choice table is usually still good.
  const std::shared_ptr<const ContourSearch> previous = std::move(search_);
  Clear();
  voices_[0] = melody;
  search_ = std::make_shared<const ContourSearch>(
      std::move(choices), melody.durations, choice_table, key, previous.get());
  for (int p = 0; p < ContourSearch::kPatternCount; ++p) pending_[p + 1] = true;
}

bool operator==(const ContourVoiceBank& a, const ContourVoiceBank& b) {
  for (size_t i = 0; i < ContourVoiceBank::size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace tessavar
