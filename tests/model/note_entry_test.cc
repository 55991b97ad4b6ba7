#include "model/note_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessavar {
namespace {

TEST(ReadNotesTest, LettersSharpsAndSkippedCharacters) {
  EXPECT_EQ(ReadNotes("C E G"), (std::vector<int>{0, 4, 7}));
  EXPECT_EQ(ReadNotes("  c e g  "), (std::vector<int>{0, 4, 7}));
  EXPECT_EQ(ReadNotes("C#D#F"), (std::vector<int>{1, 3, 5}));
  // Only sharps exist: B# is 12, E# is 5; a lone "#" and other signs are
  // skipped, and so is a sharp after a space.
  EXPECT_EQ(ReadNotes("B# E# # X1 H, a #"), (std::vector<int>{12, 5, 9}));
  EXPECT_TRUE(ReadNotes("   ").empty());
}

TEST(MelodyToStructureTest, DigitsAboveTheLowestNote) {
  EXPECT_EQ(MelodyToStructure("C E G"), "047");
  EXPECT_EQ(MelodyToStructure("c e g"), "047");
  EXPECT_EQ(MelodyToStructure("C# D# F"), "024");
  EXPECT_EQ(MelodyToStructure("C#D#F"), "024");
  EXPECT_EQ(MelodyToStructure("G E C"), "740");
}

TEST(MelodyToStructureTest, ReadingStopsWhenTheRangeWouldExceedNine) {
  // C (0) would widen the range of G A B to 11.
  EXPECT_EQ(MelodyToStructure("G A B C"), "024");
  // Later notes are dropped even when they would fit again.
  EXPECT_EQ(MelodyToStructure("G A B C A G"), "024");
  // A range of exactly 9 is accepted.
  EXPECT_EQ(MelodyToStructure("C A C"), "090");
}

TEST(MelodyToStructureTest, FewerThanThreeNotesGiveNothing) {
  EXPECT_EQ(MelodyToStructure("A B C D"), std::nullopt);
  EXPECT_EQ(MelodyToStructure(""), std::nullopt);
  EXPECT_EQ(MelodyToStructure("   "), std::nullopt);
  EXPECT_EQ(MelodyToStructure("C E"), std::nullopt);
}

TEST(MelodyToStructureTest, OnlyTheFirstSixteenDigitsAreKept) {
  // 20 notes within a range of 9 semitones (D to B).
  std::string melody = "D E F G A B A G F E D E F G A B A G F E";
  std::optional<std::string> structure = MelodyToStructure(melody);
  ASSERT_TRUE(structure.has_value());
  EXPECT_EQ(*structure, "0235797532023579");
}

TEST(MelodyToStructureTest, LowestNoteBeyondTheSixteenthStillSetsTheBase) {
  // The lowest note (C) is the 17th; the kept digits are counted from it.
  std::string melody = "E F G E F G E F G E F G E F G E C";
  EXPECT_EQ(MelodyToStructure(melody), "4574574574574574");
}

TEST(UserScaleTest, FiveNotesRepeatAnOctaveHigher) {
  EXPECT_EQ(UserScaleFromNotes("C D E G A"), " 0 2 4 7 912141619212426");
  EXPECT_EQ(UserScaleDefaultText(" 0 2 4 7 912141619212426"), "C D E G A");
}

TEST(UserScaleTest, SevenNotesGiveTwelveFields) {
  std::string scale = UserScaleFromNotes("C D E F G A B").value();
  EXPECT_EQ(scale, " 0 2 4 5 7 9111214161719");
}

TEST(UserScaleTest, NotesStayAsTypedAndLongScalesAreKept) {
  EXPECT_EQ(UserScaleFromNotes("g c c"), " 7 0 0191212312424433636");
  std::string thirteen = "C C# D D# E F F# G G# A A# B B#";
  EXPECT_EQ(UserScaleFromNotes(thirteen), " 0 1 2 3 4 5 6 7 8 9101112");
}

TEST(UserScaleTest, NoNotesGiveNothing) {
  EXPECT_EQ(UserScaleFromNotes(""), std::nullopt);
  EXPECT_EQ(UserScaleFromNotes("xyz 123"), std::nullopt);
}

TEST(UserScaleTest, DefaultTextStopsAtTheFirstFieldOfTwelveOrMore) {
  EXPECT_EQ(UserScaleDefaultText(" 0 1 2 3 4 5 6 7 8 9101112"),
            "C C# D D# E F F# G G# A A# B");
  EXPECT_EQ(UserScaleDefaultText(" 7 0 0191212312424433636"), "G C C");
  EXPECT_EQ(UserScaleDefaultText(""), "");
  EXPECT_EQ(UserScaleDefaultText("12 0"), "");
  // A typed scale shows back as typed.
  std::string typed = "D# F G# A# C";
  EXPECT_EQ(UserScaleDefaultText(UserScaleFromNotes(typed).value()), typed);
}

}  // namespace
}  // namespace tessavar
