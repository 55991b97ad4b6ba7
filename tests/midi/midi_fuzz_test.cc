// Random, truncated and damaged MIDI files fed to the information reader
// and writer and to the Redo patcher: nothing may crash, and the patcher may
// only touch program and pan bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "midi/composition_info.h"
#include "midi/redo_patcher.h"
#include "midi/writer_layout_file.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::LayoutFile;
using testing::LayoutTrack;
using testing::WriterLayoutFile;

unsigned char At(const std::string& bytes, size_t offset) {
  return static_cast<unsigned char>(bytes[offset]);
}

// Settings that change every track's program and pan, with the channels of
// the sample files (channel t + 1), so that any place found gets written.
RedoSettings ChangingSettings() {
  RedoSettings settings;
  for (int t = 0; t < kTrackCount; ++t) {
    settings.channel[t] = t + 1;
    settings.instrument[t] = 100 + t;
    settings.pan[t] = 110 + t;
  }
  return settings;
}

// True when offset j of the original bytes is the program or pan byte of a
// "00 Cc p 00 Bc 0A v" sequence.
bool IsProgramOrPanByte(const std::string& bytes, size_t j) {
  auto sequence_at = [&](size_t start) {
    if (start + 7 > bytes.size()) return false;
    unsigned char status = At(bytes, start + 1);
    return At(bytes, start) == 0 && (status & 0xF0) == 0xC0 &&
           At(bytes, start + 3) == 0 &&
           At(bytes, start + 4) == (0xB0 | (status & 0x0F)) &&
           At(bytes, start + 5) == 0x0A;
  };
  return (j >= 2 && sequence_at(j - 2)) || (j >= 6 && sequence_at(j - 6));
}

void CheckPatchTouchesOnlyProgramAndPan(const std::string& original) {
  std::string bytes = original;
  int patched = PatchProgramsAndPans(bytes, ChangingSettings());
  ASSERT_EQ(bytes.size(), original.size());
  int changed = 0;
  for (size_t j = 0; j < bytes.size(); ++j) {
    if (bytes[j] == original[j]) continue;
    ++changed;
    EXPECT_TRUE(IsProgramOrPanByte(original, j)) << "offset " << j;
    EXPECT_LT(At(bytes, j), 0x80) << "offset " << j;
  }
  EXPECT_LE(changed, 2 * patched);
  EXPECT_LE(patched, kTrackCount);
}

void CheckInfoRoundTrip(const std::string& original) {
  std::optional<std::string> info = CompInfoFromBytes(original);
  std::optional<std::string> embedded =
      BytesWithCompInfo(original, "fuzz info");
  if (!embedded) return;
  // Accepted bytes always held a readable name text.
  EXPECT_TRUE(info.has_value());
  EXPECT_EQ(CompInfoFromBytes(*embedded), "fuzz info");
  size_t old_length = At(original, kNameLengthOffset);
  EXPECT_EQ(embedded->substr(kNameTextOffset + 9),
            original.substr(kNameTextOffset + old_length));
}

LayoutFile SampleFile() {
  std::vector<LayoutTrack> tracks = testing::SampleTracks(16);
  tracks[5].name = "";
  tracks[9].notes.clear();
  return WriterLayoutFile(97, tracks);
}

TEST(MidiFuzzTest, RandomBytes) {
  std::mt19937 random(20240611u);
  for (int round = 0; round < 3000; ++round) {
    size_t size = random() % 400;
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    // Half of them look like a MIDI file at first glance.
    if (round % 2 == 0 && size >= 26) {
      bytes.replace(0, 4, "MThd");
      bytes.replace(14, 4, "MTrk");
      bytes[22] = 0x00;
      bytes[23] = static_cast<char>(0xFF);
      bytes[24] = 0x03;
      bytes[25] = static_cast<char>(random() % 128);
    }
    CheckPatchTouchesOnlyProgramAndPan(bytes);
    CheckInfoRoundTrip(bytes);
  }
}

TEST(MidiFuzzTest, TruncatedFilesPatchOnlyTheirWholeTracks) {
  LayoutFile file = SampleFile();
  std::set<size_t> allowed(file.program_offsets.begin(),
                           file.program_offsets.end());
  allowed.insert(file.pan_offsets.begin(), file.pan_offsets.end());
  for (size_t size = 0; size <= file.bytes.size(); ++size) {
    std::string original = file.bytes.substr(0, size);
    std::string bytes = original;
    int patched = PatchProgramsAndPans(bytes, ChangingSettings());
    int whole_tracks = 0;
    for (size_t t = 0; t < file.pan_offsets.size(); ++t) {
      if (file.pan_offsets[t] < size) ++whole_tracks;
    }
    ASSERT_EQ(patched, whole_tracks) << "size " << size;
    for (size_t j = 0; j < size; ++j) {
      if (bytes[j] != original[j]) {
        ASSERT_TRUE(allowed.count(j)) << "size " << size << " offset " << j;
      }
    }
    EXPECT_EQ(CompInfoFromBytes(original),
              size >= 33 ? std::optional<std::string>("TVX") : std::nullopt);
    CheckInfoRoundTrip(original);
  }
}

TEST(MidiFuzzTest, DamagedFiles) {
  LayoutFile file = SampleFile();
  std::mt19937 random(77u);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = file.bytes;
    int damage = 1 + static_cast<int>(random() % 6);
    for (int d = 0; d < damage; ++d) {
      size_t at = random() % bytes.size();
      switch (random() % 3) {
        case 0:
          bytes[at] = static_cast<char>(random() & 0xFF);
          break;
        case 1:
          bytes.erase(at, 1 + random() % 8);
          break;
        default:
          bytes.insert(at, 1 + random() % 8, static_cast<char>(random()));
          break;
      }
      if (bytes.empty()) break;
    }
    CheckPatchTouchesOnlyProgramAndPan(bytes);
    CheckInfoRoundTrip(bytes);
  }
}

TEST(MidiFuzzTest, FilePatchWritesWhatTheMemoryPatchComputes) {
  testing::TempDir dir;
  LayoutFile file = SampleFile();
  std::mt19937 random(5u);
  for (int round = 0; round < 40; ++round) {
    std::string bytes = file.bytes.substr(0, random() % file.bytes.size());
    dir.Write("fuzz.mid", bytes);
    std::string expected = bytes;
    int patched = PatchProgramsAndPans(expected, ChangingSettings());
    EXPECT_EQ(PatchMIDIFile(dir / "fuzz.mid", ChangingSettings()), patched);
    EXPECT_EQ(dir.Read("fuzz.mid"), expected);
    EXPECT_EQ(ExtractCompositionInfo(dir / "fuzz.mid"),
              CompInfoFromBytes(bytes).value_or(""));
  }
}

}  // namespace
}  // namespace tessavar
