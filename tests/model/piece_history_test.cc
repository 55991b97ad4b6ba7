#include "model/piece_history.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <vector>

#include "files/history_file.h"
#include "support/browse_fixture.h"
#include "support/killed_child.h"

namespace tessavar {
namespace {

using PieceHistoryTest = testing::BrowseFixture;

HistoryRecord Record(int n, bool starred = false) {
  HistoryRecord record;
  record.time = 1700000000 + n;
  record.starred = starred;
  record.length_ms = 1000 * n;
  record.structure = "12\r\n3:" + std::to_string(n);
  record.mapping = std::to_string(n);
  record.tempo = "150";
  record.composition = "\"2.0\"\r\n" + std::string(n % 7, ':');
  return record;
}

TEST(HistoryFileTest, ReadsBackWhatItWroteAndRefusesOtherFiles) {
  const std::vector<HistoryRecord> records = {Record(1, true), Record(2),
                                              Record(3)};
  const std::string bytes = HistoryFileBytes(records);
  Result<std::vector<HistoryRecord>> read = ParseHistoryFile(bytes);
  ASSERT_TRUE(read.ok()) << read.status().Message();
  EXPECT_EQ(read.value(), records);
  EXPECT_TRUE(ParseHistoryFile(HistoryFileBytes({})).value().empty());

  std::string newer = bytes;
  newer.replace(newer.find(" 1\n"), 3, " 2\n");
  EXPECT_NE(ParseHistoryFile(newer).status().detail().find("newer"),
            std::string::npos);
  const std::vector<std::string> damaged = {
      "", "hello\n", bytes.substr(0, bytes.size() - 2), bytes + "piece 1 2 3\n",
      bytes.substr(0, bytes.find("piece")) + "piece 1 0 5\n9:abc\n"};
  for (const std::string& file : damaged) {
    EXPECT_FALSE(ParseHistoryFile(file).ok()) << file;
  }
}

TEST(PieceHistoryBoundsTest, KeepsTheNewestAndEveryStarredPiece) {
  PieceHistory history;
  history.Add({Record(0, true), std::nullopt, "midi"});
  for (int n = 1; n <= static_cast<int>(kHistoryKept) + 5; ++n) {
    history.Add(
        {Record(n), std::nullopt, std::string(kHistoryMidiBudget / 100, 'm')});
  }
  ASSERT_EQ(history.size(), kHistoryKept + 1);
  EXPECT_TRUE(history.entries().front().record.starred);
  EXPECT_EQ(history.entries()[1].record.mapping, "6");
  size_t bytes = 0;
  for (const PieceEntry& entry : history.entries()) bytes += entry.midi.size();
  EXPECT_LE(bytes, kHistoryMidiBudget);
  EXPECT_FALSE(history.entries().back().midi.empty());
}

TEST_F(PieceHistoryTest, ChoosingAPieceBringsBackItsSettingsAndMusic) {
  state_.panel.SetText({Box::kMapping}, "101");
  ASSERT_TRUE(Compose().written);
  const std::string first = WorkingFile();
  const PanelSnapshot first_panel = TakeSnapshot(state_, 0);
  Type({Box::kMapping}, "202");
  ASSERT_TRUE(Compose().written);
  ASSERT_NE(WorkingFile(), first);
  ASSERT_EQ(session_->history().size(), 2u);
  EXPECT_EQ(session_->history().entries()[0].record.mapping, "101");

  EXPECT_EQ(session_->RestorePiece(0), BrowseSession::Restored::kWithMusic);
  EXPECT_EQ(WorkingFile(), first);
  EXPECT_TRUE(SameSettings(first_panel, TakeSnapshot(state_, 0)));
  EXPECT_TRUE(state_.panel.save_enabled());
  EXPECT_EQ(player_.file_name, state_.paths.working_midi);
  // Choosing is a step of its own.
  ASSERT_TRUE(session_->Undo());
  EXPECT_EQ(state_.panel.Text({Box::kMapping}), "202");
  EXPECT_FALSE(state_.panel.save_enabled());
}

TEST_F(PieceHistoryTest, StarredPiecesComeBackAfterARestartAndComposeExactly) {
  state_.panel.SetText({Box::kMapping}, "303");
  ASSERT_TRUE(Compose().written);
  const std::string piece = WorkingFile();
  Type({Box::kVariation}, "9");
  ASSERT_TRUE(Compose().written);
  session_->SetStarred(0, true);
  session_->Finish();

  state_.options.lock_mapped = true;
  NewSession();
  ASSERT_EQ(session_->history().size(), 2u);
  EXPECT_TRUE(session_->history().entries()[0].record.starred);
  EXPECT_EQ(session_->RestorePiece(0), BrowseSession::Restored::kNeedsCompose);
  EXPECT_EQ(state_.panel.Text({Box::kVariation}), "5");
  EXPECT_TRUE(state_.options.lock_mapped);
  ASSERT_TRUE(Compose().written);
  EXPECT_EQ(WorkingFile(), piece);
  // The piece composed again renews its entry rather than adding a twin.
  ASSERT_EQ(session_->history().size(), 2u);
  EXPECT_EQ(session_->history().entries()[0].midi, piece);
  EXPECT_TRUE(session_->history().entries()[0].record.starred);
}

TEST_F(PieceHistoryTest, AnUnusableHistoryFileIsNoticedOnceAndLeftAlone) {
  for (const std::string& bytes :
       {std::string("not a history"),
        HistoryFileBytes({Record(1)}).replace(32, 1, "9")}) {
    dir_.Write(kHistoryFileName, bytes);
    state_.panel.set_status_text("");
    NewSession();
    EXPECT_NE(state_.panel.status_text().find("Piece history not read"),
              std::string::npos);
    EXPECT_EQ(session_->history().size(), 0u);
    ASSERT_TRUE(Compose().written);
    session_->Finish();
    EXPECT_EQ(dir_.Read(kHistoryFileName), bytes);
  }
}

TEST_F(PieceHistoryTest, APieceAndAStarOutliveAKillRightAfterTheStar) {
  ASSERT_TRUE(testing::RunAndKill(
      [this](const testing::ReadyCall&) {
        for (const char* mapping : {"11", "12", "13"}) {
          Type({Box::kMapping}, mapping);
          if (!Compose().written) return;
        }
        session_->SetStarred(1, true);
      },
      SIGKILL));
  NewSession();
  ASSERT_EQ(session_->history().size(), 3u);
  EXPECT_TRUE(session_->history().entries()[1].record.starred);
  EXPECT_EQ(session_->history().entries()[2].record.mapping, "13");
}

// A second program over the same directory, as before the directory lock
// (or with a lock that failed): whoever writes last loses nothing.
TEST_F(PieceHistoryTest, TwoProgramsOverOneDirectoryKeepEachOthersPieces) {
  ProgramState other_state;
  other_state.paths = state_.paths;
  other_state.panel = testing::MakePanel(testing::PanelSetup{});
  other_state.panel.EnablePanel();
  testing::FakePlayer other_player;
  BrowseSession other(other_state, other_player, host_, errors_);
  other.clock = [] { return int64_t{1700000100}; };
  other.Start();
  const auto compose_other = [&](const std::string& mapping) {
    other_state.panel.SetText({Box::kMapping}, mapping);
    other.Composed(
        ComposeCommand(other_state, other_player, host_, errors_).Click());
  };

  state_.panel.SetText({Box::kMapping}, "101");
  ASSERT_TRUE(Compose().written);
  compose_other("202");
  session_->SetStarred(0, true);
  compose_other("303");  // written last, without the star it never saw
  other.Finish();
  session_->Finish();

  NewSession();
  const std::vector<PieceEntry>& entries = session_->history().entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].record.mapping, "101");
  EXPECT_TRUE(entries[0].record.starred);
  EXPECT_EQ(entries[1].record.mapping, "202");
  EXPECT_EQ(entries[2].record.mapping, "303");
}

}  // namespace
}  // namespace tessavar
