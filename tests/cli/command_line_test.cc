// The command line as a user meets it: the documents' examples as written,
// "-" for standard input and output, one message form, shards that split a
// batch exactly, and values clamped as on leaving a box in the window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "support/cli_process.h"
#include "support/soundfont_check.h"
#include "support/temp_dir.h"

#ifdef TESSAVAR_CLI_PATH

namespace tessavar {
namespace {

namespace fs = std::filesystem;
using testing::CliOutcome;
using testing::Lines;
using testing::ShellQuoted;

const fs::path kProgramDir = fs::path(TESSAVAR_CLI_PATH).parent_path();
const std::string kSource = TESSAVAR_SOURCE_DIR;
const std::string kFactory = kSource + "/share/DEFAULT.TVX";

// A batch of pieces named by a pattern: a range by a list, and a list.
const std::vector<std::vector<std::string>> kBatches = {
    {"--mapping", "1..12", "--tempo", "90,120"},
    {"--mapping", "5,1,9,3", "--structure", "123,4567"},
};
const char kPattern[] = "p/{mapping}-{tempo}-{structure}.mid";

class CommandLineTest : public ::testing::Test {
 protected:
  // Runs a shell command line in `directory` (the test's own by default)
  // with the programs on PATH, temporaries in tmp/ and pipes checked.
  CliOutcome Shell(const std::string& line, const std::string& directory = "") {
    fs::create_directories(dir_ / "tmp");
    const std::string where = directory.empty() ? dir_.path() : directory;
    return testing::RunCaptured(
        "cd " + ShellQuoted(where) + " && TMPDIR=" + ShellQuoted(dir_ / "tmp") +
            " PATH=" + ShellQuoted(kProgramDir.string()) +
            ":\"$PATH\" bash -o pipefail -c " + ShellQuoted(line),
        dir_.path());
  }
  CliOutcome Cli(const std::string& arguments, const std::string& dir = "") {
    return Shell("tessavar-cli " + arguments, dir);
  }
  // The file names and bytes under a folder.
  static std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
      files[entry.path().filename()] = ReadWholeFile(entry.path());
    }
    return files;
  }
  // A compose of `batch` into `folder` (made here); returns its JSON lines.
  std::vector<std::string> ComposeBatch(const std::vector<std::string>& batch,
                                        const std::string& folder,
                                        const std::string& extra) {
    fs::create_directories(folder);
    std::string words = "compose -q --json -o '" + std::string(kPattern) + "'";
    for (const std::string& word : batch) words += " " + ShellQuoted(word);
    const CliOutcome run = Cli(words + " " + extra, folder);
    EXPECT_EQ(run.status, 0) << run.err;
    return Lines(run.out);
  }

  testing::TempDir dir_;
};

// Every runnable example of the README (marked "$ ") and of the manual page.
std::vector<std::string> DocumentExamples(std::string* man_part) {
  std::vector<std::string> readme;
  const std::vector<std::string> lines =
      Lines(ReadWholeFile(kSource + "/README.md"));
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].starts_with("    $ ")) continue;
    std::string command = lines[i].substr(6);
    while (command.ends_with("\\") && ++i < lines.size()) {
      command += "\n" + lines[i];
    }
    readme.push_back(command);
  }
  const std::string man = ReadWholeFile(kSource + "/share/man/tessavar-cli.1");
  const size_t start = man.find(".nf\n", man.find(".SH EXAMPLES"));
  *man_part = std::regex_replace(
      man.substr(start + 4, man.find("\n.fi", start) - start - 4),
      std::regex(R"(\\-)"), "-");
  return readme;
}

TEST_F(CommandLineTest, DocumentExamplesRunAsWritten) {
  ASSERT_TRUE(testing::DefaultSoundFontInstalled());
  std::string man;
  const std::vector<std::string> readme = DocumentExamples(&man);
  ASSERT_GE(readme.size(), 2u);
  // The README's run from the source tree, where build/ holds the programs.
  fs::create_directories(dir_ / "readme");
  fs::create_symlink(kProgramDir.parent_path(), dir_ / "readme/build");
  for (const std::string& example : readme) {
    const CliOutcome run = Shell(example, dir_ / "readme");
    EXPECT_EQ(run.status, 0) << example << "\n" << run.err;
    EXPECT_EQ(run.err, "") << example;
  }
  EXPECT_EQ(Lines(dir_.Read("readme/pieces.jsonl")).size(), 1000u);
  fs::create_directories(dir_ / "man");
  for (const std::string& example : Lines(man + "\n")) {
    const CliOutcome run = Shell(example, dir_ / "man");
    EXPECT_EQ(run.status, 0) << example << "\n" << run.err;
  }
  EXPECT_TRUE(fs::is_directory(dir_ / "man/out"));
}

TEST_F(CommandLineTest, DashReadsStandardInputAndWritesStandardOutput) {
  ASSERT_TRUE(testing::DefaultSoundFontInstalled());
  const std::string factory = ShellQuoted(kFactory);
  // A short piece: rendering takes a while.
  ASSERT_EQ(Cli("compose --structure 1234 --tempo 400 -o a.mid -q").status, 0);
  const std::vector<std::pair<std::string, std::string>> same = {
      {"compose - -o - < " + factory, "compose " + factory + " -o -"},
      {"show - < " + factory, "show " + factory},
      {"info - < a.mid", "info a.mid"},
      {"render - - --format flac < a.mid",
       "render a.mid b.flac -q; cat b.flac"},
      {"render a.mid - > c.wav; cat c.wav", "render a.mid d.wav -q; cat d.wav"},
      // A piece from standard input is untitled.
      {"export-midi - f.mid < a.mid > /dev/null && cat f.mid",
       "export-midi Untitled.mid g.mid > /dev/null && cat g.mid"},
  };
  ASSERT_EQ(Shell("cp a.mid Untitled.mid", dir_.path()).status, 0);
  for (const auto& [piped, named] : same) {
    const CliOutcome one = Cli(piped), other = Cli(named);
    EXPECT_EQ(one.status, 0) << piped << one.err;
    EXPECT_FALSE(one.out.empty()) << piped;
    EXPECT_EQ(one.out, other.out) << piped;
  }
  if (::access((kProgramDir / "tessavar-roll").c_str(), X_OK) == 0) {
    EXPECT_EQ(Cli("roll - - --format svg < a.mid").out,
              Cli("roll a.mid e.svg; cat e.svg").out);
    EXPECT_TRUE(Cli("roll a.mid - | head -c 4").out.ends_with("PNG"));
  }
  // A closed standard output still leaves no temporary file.
  Cli("render a.mid - | head -c 1");
  for (const std::string& name : testing::EntriesOf(dir_ / "tmp")) {
    EXPECT_FALSE(name.starts_with(".tessavar")) << name;  // ours only
  }
}

TEST_F(CommandLineTest, EveryMessageIsOneLineNamingTheCommand) {
  ASSERT_EQ(Cli("compose -o a.mid -q").status, 0);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"bogus", "tessavar-cli: "},
      {"compose -o x.mid --bogus", "tessavar-cli compose: "},
      {"compose", "tessavar-cli compose: "},
      {"compose -o x.mid -j 0", "tessavar-cli compose: "},
      {"compose -o x.mid --tracks 40", "tessavar-cli compose: Tracks"},
      {"compose -o x.mid --set loud=1", "tessavar-cli compose: "},
      {"compose -o x.mid --shard 3/3", "tessavar-cli compose: "},
      {"compose -o x.mid --shard auto", "tessavar-cli compose: "},
      {"show none.tvx", "tessavar-cli show: "},
      // Standard input is named as typed, and empty is no disk problem.
      {"show - < /dev/null",
       "tessavar-cli show: cannot read the composition: -:"},
      {"info tmp", "tessavar-cli info: tmp: "},
      {"render", "tessavar-cli render: "},
      {"render a.mid x.wav --bogus", "tessavar-cli render: "},
      {"render a.mid x.mp5", "tessavar-cli render: "},
      // Also where the drawing program is not built (the sanitizer run).
      {"roll a.mid x.png --size 800x300junk", "tessavar-cli roll: "},
  };
  for (const auto& [words, prefix] : cases) {
    const CliOutcome run = Cli(words);
    EXPECT_NE(run.status, 0) << words;
    EXPECT_EQ(Lines(run.err).size(), 1u) << words << ": " << run.err;
    EXPECT_TRUE(run.err.starts_with(prefix)) << words << ": " << run.err;
  }
  for (const std::string& line : Lines(Cli("compose --help").out)) {
    EXPECT_LE(line.size(), 80u) << line;
  }
}

TEST_F(CommandLineTest, ShardsSplitABatchExactly) {
  for (size_t b = 0; b < kBatches.size(); ++b) {
    const std::string whole = dir_ / ("whole" + std::to_string(b));
    std::vector<std::string> json =
        ComposeBatch(kBatches[b], whole, "--manifest m.sha256");
    for (int count : {1, 3, 7}) {
      const std::string shards =
          dir_ / ("shards" + std::to_string(b) + "-" + std::to_string(count));
      std::vector<nlohmann::json> lines;
      std::multiset<std::string> manifest;
      for (int k = 0; k < count; ++k) {
        const std::string shard =
            std::to_string(k) + "/" + std::to_string(count);
        for (const std::string& line : ComposeBatch(
                 kBatches[b], shards,
                 "--shard " + shard + " --manifest m" + std::to_string(k))) {
          lines.push_back(nlohmann::json::parse(line));
          EXPECT_EQ(lines.back()["piece"].get<int>() % count, k);
        }
        for (const std::string& line :
             Lines(ReadWholeFile(shards + "/m" + std::to_string(k)))) {
          manifest.insert(line);
        }
      }
      std::stable_sort(lines.begin(), lines.end(), [](auto& x, auto& y) {
        return x["piece"] < y["piece"];
      });
      std::vector<std::string> merged;
      for (const auto& line : lines) merged.push_back(line.dump());
      std::vector<std::string> single;
      for (const auto& line : json) {
        single.push_back(nlohmann::json::parse(line).dump());
      }
      EXPECT_EQ(merged, single) << count;
      EXPECT_EQ(Files(shards + "/p"), Files(whole + "/p")) << count;
      const std::vector<std::string> whole_manifest =
          Lines(ReadWholeFile(whole + "/m.sha256"));
      EXPECT_EQ(manifest, std::multiset<std::string>(whole_manifest.begin(),
                                                     whole_manifest.end()));
    }
    EXPECT_EQ(Shell("sha256sum -c --quiet m.sha256", whole).status, 0);
  }
}

TEST_F(CommandLineTest, ShardAutoReadsTheJobIndex) {
  const std::string batch =
      "compose --mapping 1..10 -o 'p/{mapping}.mid' --json";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"SLURM_ARRAY_TASK_ID=1 SLURM_ARRAY_TASK_COUNT=3", "1/3"},
      {"SLURM_ARRAY_TASK_MIN=1 SLURM_ARRAY_TASK_ID=3 SLURM_ARRAY_TASK_COUNT=3",
       "2/3"},
      {"SLURM_ARRAY_TASK_ID=0 SLURM_ARRAY_TASK_COUNT=9 --shards 4", "0/4"},
      {"JOB_COMPLETION_INDEX=3 --shards 4", "3/4"},
  };
  for (const auto& [environment, shard] : cases) {
    std::string variables = environment, shards;
    if (size_t at = environment.find(" --shards"); at != std::string::npos) {
      variables = environment.substr(0, at);
      shards = environment.substr(at);
    }
    const CliOutcome automatic =
        Shell(variables + " tessavar-cli " + batch + " --shard auto" + shards);
    EXPECT_EQ(automatic.status, 0) << environment << automatic.err;
    EXPECT_EQ(automatic.out, Cli(batch + " --shard " + shard).out)
        << environment;
  }
}

TEST_F(CommandLineTest, ValuesAreClampedAndPatternFoldersMade) {
  ASSERT_EQ(Cli("compose -o a.mid -q --set volume.1=200 --save-composition "
                "a.tvx")
                .status,
            0);
  ASSERT_EQ(Cli("compose -o b.mid -q --set volume.1=127").status, 0);
  EXPECT_EQ(dir_.Read("a.mid"), dir_.Read("b.mid"));
  EXPECT_NE(Cli("show a.tvx").out.find("volume.1=127\n"), std::string::npos);
  // A pattern's folders are made with the umask's modes; a plain name's
  // missing folder is refused.
  EXPECT_EQ(Shell("umask 027 && tessavar-cli compose --mapping 1,2 -q -o "
                  "'new/deep/{mapping}.mid'")
                .status,
            0);
  EXPECT_EQ(
      fs::status(dir_ / "new/deep").permissions(),
      fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  EXPECT_TRUE(dir_.Exists("new/deep/2.mid"));
  EXPECT_NE(Cli("compose -o none/a.mid").err.find("does not exist"),
            std::string::npos);
}

}  // namespace
}  // namespace tessavar

#endif  // TESSAVAR_CLI_PATH
