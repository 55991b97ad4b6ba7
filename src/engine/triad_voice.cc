#include "engine/triad_voice.h"

#include <array>
#include <string_view>

#include "engine/text_number.h"

namespace tessavar {
namespace {

// Row a (melody pitch class) after row, 12 two-digit entries per row, one
// per counter pitch class b: the pitch class that goes with the pair.
constexpr std::string_view kMajorTriads =
    "000000000709000400050000"
    "000101010101010101010101"
    "000102020402021102020207"
    "000102030303030303030303"
    "070104030404040004040404"
    "090102030405050705000505"
    "000102030405060606060606"
    "040111030007060707070702"
    "000102030405060708080808"
    "050102030400060708090909"
    "000102030405060708091010"
    "000107030405060208091011";

constexpr std::string_view kMinorTriads =
    "000000070008000305000000"
    "000101010101010101010101"
    "000102030202020702020202"
    "070103030303030011030308"
    "000102030404040404040404"
    "080102030405050700050505"
    "000102030405060606060606"
    "030107000407060707070707"
    "050102110400060708080803"
    "000102030405060708090909"
    "000102030405060708091010"
    "000102030405060703091011";

static_assert(kMajorTriads.size() == 288 && kMinorTriads.size() == 288);

using TriadTable = std::array<std::array<int, 12>, 12>;

// The texts as numbers, read once at compile time: every entry is two
// digits.
constexpr bool IsTriadText(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}
static_assert(IsTriadText(kMajorTriads) && IsTriadText(kMinorTriads));

constexpr TriadTable MakeTriadTable(std::string_view text) {
  TriadTable table{};
  for (int a = 0; a < 12; ++a) {
    for (int b = 0; b < 12; ++b) {
      const size_t at = 24 * a + 2 * b;
      table[a][b] = 10 * (text[at] - '0') + (text[at + 1] - '0');
    }
  }
  return table;
}

constexpr TriadTable kMajorTriadTable = MakeTriadTable(kMajorTriads);
constexpr TriadTable kMinorTriadTable = MakeTriadTable(kMinorTriads);

int PitchClass(int code) {
  const int r = code % 12;
  return r < 0 ? r + 12 : r;
}

}  // namespace

VoiceString CompleteTriadVoice(RandomStream& random, int key,
                               const VoiceString& melody,
                               const VoiceString& counter) {
  if (melody.empty() || counter.empty() || melody.size() != counter.size()) {
    return {};
  }
  // A fixed restart: what follows does not depend on the user's seed.
  random.RestartRandom(-1);
  random.MixRandom(-1);

  VoiceString result;
  result.durations = melody.durations;
  result.pitches.reserve(melody.size());
  for (size_t i = 0; i < melody.size(); ++i) {
    int a = melody.pitches[i];
    int b = counter.pitches[i];
    if (a == kRestCode) a = b;
    if (b == kRestCode) b = a;
    a = PitchClass(a);
    b = PitchClass(b);
    const double r = random.NextRandom();
    const TriadTable* table = &kMajorTriadTable;
    if (key < 0 && r < 0.5) table = &kMinorTriadTable;
    if (key >= 0 && key % 24 >= 12) table = &kMinorTriadTable;
    result.pitches.push_back((*table)[a][b]);
  }
  return result;
}

}  // namespace tessavar
