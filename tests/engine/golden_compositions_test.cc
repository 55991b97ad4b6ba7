// Golden files: each composition must give exactly the MIDI file whose
// SHA-256 is recorded beside it. Any change of the music shows here; when a
// change is intended, record the new hashes and say why in the commit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/compose_command.h"
#include "model/composition_file_io.h"
#include "base/file_system.h"
#include "support/fake_player.h"
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
  EXPECT_TRUE(LoadStartupComposition(state, composition, host).complete)
      << composition;
  EXPECT_TRUE(ValidateCompose(state.panel).passed()) << composition;
  testing::FakePlayer player;
  testing::ScriptedErrorReporter errors;
  ComposeOutcome outcome = ComposeCommand(state, player, host, errors).Click();
  EXPECT_EQ(outcome.result, 1) << composition;
  return ReadWholeFile(state.paths.working_midi);
}

TEST(GoldenCompositionsTest, EachCompositionGivesItsRecordedMidiFile) {
  fs::path dir = fs::temp_directory_path() / "golden_compositions_test";
  fs::create_directories(dir);
  std::vector<GoldenEntry> entries = ReadGoldenList();
  ASSERT_GE(entries.size(), 5u);
  for (const GoldenEntry& entry : entries) {
    std::string midi = ComposeFile(kGoldenDir + "/" + entry.file, dir);
    EXPECT_EQ(testing::Sha256Hex(midi), entry.hash) << entry.file;
  }
  fs::remove_all(dir);
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
