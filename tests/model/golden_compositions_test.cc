// Golden files: each composition must give exactly the MIDI file whose
// SHA-256 is recorded beside it. Any change of the music shows here.
//
// On a mismatch the composed file is kept in the temporary directory, and
// when TESSAVAR_GOLDEN_REFERENCE names a directory holding the known-good
// files (NAME.tvx.mid) the first differing event is printed. To make such a
// directory, compose with a build of a good commit (see also the README in
// tests/data/golden):
//   for f in tests/data/golden/*.tvx; do
//     build/tessavar-cli compose "$f" -o "$DIR/$(basename "$f").mid"; done
// When a change of the music is intended, regenerate the hashes the same way
// with the new build, put them into SHA256SUMS (sha256sum output, one line
// per composition) and say why in the commit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "model/compose_command.h"
#include "model/composition_file_io.h"
#include "model/program_init.h"
#include "support/fake_player.h"
#include "support/midi_bytes.h"
#include "support/midi_events.h"
#include "support/scripted_error_reporter.h"
#include "support/sha256.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;

const std::string kGoldenDir = std::string(TESSAVAR_TEST_DATA_DIR) + "/golden";

struct GoldenEntry {
  std::string hash;
  std::string file;
};

// "HASH  FILE" lines as sha256sum writes them; '#' starts a comment.
std::vector<GoldenEntry> ReadGoldenList() {
  std::vector<GoldenEntry> entries;
  std::istringstream in(ReadWholeFile(kGoldenDir + "/SHA256SUMS"));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    GoldenEntry entry;
    fields >> entry.hash >> entry.file;
    entries.push_back(entry);
  }
  return entries;
}

// The working MIDI file the Compose command writes after the composition
// was loaded as the program loads its default composition.
std::string ComposeFile(const std::string& composition, const fs::path& dir) {
  ProgramState state;
  state.paths = ProgramPaths::FromDirectory(dir.string());
  UiHost host;
  EXPECT_TRUE(LoadStartupComposition(state, composition, host).ok())
      << composition;
  EXPECT_TRUE(ValidateCompose(state.panel).passed()) << composition;
  testing::FakePlayer player;
  testing::ScriptedErrorReporter errors;
  ComposeOutcome outcome = ComposeCommand(state, player, host, errors).Click();
  EXPECT_TRUE(outcome.written) << composition;
  return ReadWholeFile(state.paths.working_midi);
}

// Where a mismatching file first differs from the known-good one, if the
// environment names a directory of them.
std::string DescribeMismatch(const std::string& file, const std::string& midi,
                             const fs::path& dir) {
  const fs::path kept = dir / (file + ".mid");
  std::ofstream(kept, std::ios::binary) << midi;
  std::string text = "composed file kept as " + kept.string();
  const char* reference_dir = std::getenv("TESSAVAR_GOLDEN_REFERENCE");
  if (reference_dir == nullptr) return text;
  const fs::path reference = fs::path(reference_dir) / (file + ".mid");
  if (!fs::exists(reference)) return text + "; no " + reference.string();
  return text + "\n" +
         testing::FirstMidiDifference(ReadWholeFile(reference.string()), midi);
}

TEST(GoldenCompositionsTest, EachCompositionGivesItsRecordedMidiFile) {
  fs::path dir = fs::temp_directory_path() / "golden_compositions_test";
  fs::create_directories(dir);
  std::vector<GoldenEntry> entries = ReadGoldenList();
  ASSERT_GE(entries.size(), 5u);
  bool all_match = true;
  for (const GoldenEntry& entry : entries) {
    std::string midi = ComposeFile(kGoldenDir + "/" + entry.file, dir);
    if (testing::Sha256Hex(midi) == entry.hash) continue;
    all_match = false;
    ADD_FAILURE() << entry.file << " no longer gives its recorded MIDI file; "
                  << DescribeMismatch(entry.file, midi, dir);
  }
  if (all_match) fs::remove_all(dir);
}

TEST(GoldenCompositionsTest, FirstDifferenceNamesTrackEventAndTime) {
  using testing::Note;
  using testing::WriterLayoutFile;
  const std::string expected =
      WriterLayoutFile({{{0, 60, 96}, {0, 62, 96}}, {{0, 48, 192}}});
  const std::string moved =
      WriterLayoutFile({{{0, 60, 96}, {0, 62, 96}}, {{0, 48, 96}}});
  EXPECT_EQ(testing::FirstMidiDifference(expected, expected), "");
  // Track 2 (after the tempo track): program, note on, then the note off.
  EXPECT_EQ(testing::FirstMidiDifference(expected, moved),
            "track 2, event 2: expected at tick 192: 81 30 00, "
            "got at tick 96: 81 30 00");
  const std::string longer =
      WriterLayoutFile({{{0, 60, 96}, {0, 62, 96}, {0, 64, 96}}, {}});
  EXPECT_EQ(testing::FirstMidiDifference(expected, longer),
            "track 1, event 5: expected at tick 192: FF 2F 00, got at "
            "tick 192: 90 40 64");
}

TEST(Sha256Test, KnownDigests) {
  EXPECT_EQ(testing::Sha256Hex(""),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(testing::Sha256Hex("abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(testing::Sha256Hex(std::string(1000, 'a')),
            "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}

}  // namespace
}  // namespace tessavar
