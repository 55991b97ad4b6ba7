#include "files/file_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::CrLfLines;
using testing::TempDir;

// Version, structure, hidden Auto and Mapping: one field of each form
// but the quoted one, which the scale layout has.
std::vector<FileField> FirstFour() {
  const std::vector<FileField>& all = CompositionFields();
  return {all.begin(), all.begin() + 4};
}

TEST(FileFieldsTest, LayoutsHaveTheirFieldCountsAndOrder) {
  const std::vector<FileField>& composition = CompositionFields();
  ASSERT_EQ(composition.size(), 123u);
  EXPECT_EQ(composition.front().target, FieldTarget::kVersion);
  EXPECT_EQ(composition[10].target, FieldTarget::kInstrument);
  EXPECT_EQ(composition[15].target, FieldTarget::kChannel);
  EXPECT_EQ(composition[16].index, 1);
  EXPECT_EQ(composition[106].target, FieldTarget::kMappedAuto);
  EXPECT_EQ(composition[120].index, kMappedParameterCount - 1);
  EXPECT_EQ(composition.back().target, FieldTarget::kFade);

  const std::vector<FileField>& orchestration = OrchestrationFields();
  ASSERT_EQ(orchestration.size(), 96u);
  // The track rows are those of the composition file.
  for (size_t i = 0; i < orchestration.size(); ++i) {
    EXPECT_EQ(orchestration[i].target, composition[i + 10].target);
    EXPECT_EQ(orchestration[i].index, composition[i + 10].index);
  }
  ASSERT_EQ(ScaleFields().size(), 1u);
  EXPECT_EQ(FormOf(ScaleFields()[0].target), FieldForm::kQuotedText);
}

TEST(FileFieldsTest, ReadsEachFormAndWritesItBack) {
  FieldsRead read =
      ReadFields(CrLfLines({"2.0", "007", " 1 ", " 0042 "}), FirstFour());
  ASSERT_TRUE(read.complete());
  ASSERT_EQ(read.values.size(), 4u);
  EXPECT_EQ(read.values[1].text, "007");  // a plain text keeps its digits
  EXPECT_EQ(read.values[2].number, 1);
  EXPECT_EQ(read.values[2].text, "1 ");  // as read, blanks skipped
  EXPECT_EQ(read.values[3].text, "42");  // a box shows the number
  EXPECT_EQ(read.values[3].line, 4);
  EXPECT_EQ(FieldsBytes(FirstFour(), read.values),
            CrLfLines({"2.0", "007", " 1 ", "42"}));

  FieldsRead scale = ReadFields("\"  0 3, 7\"\r\n", ScaleFields());
  ASSERT_TRUE(scale.complete());
  EXPECT_EQ(scale.values[0].text, "  0 3, 7");
  EXPECT_EQ(FieldsBytes(ScaleFields(), scale.values), "\"  0 3, 7\"\r\n");
}

TEST(FileFieldsTest, SaysWhereAndWhyReadingStopped) {
  struct Case {
    std::string bytes;
    int number;
    int field;
    int line;
    size_t values;
  };
  const Case cases[] = {
      {CrLfLines({"2.0", "1", "two"}), kErrTypeMismatch, 2, 3, 2},
      {CrLfLines({"2.0", "1", "99999"}), kErrOverflow, 2, 3, 2},
      {CrLfLines({"2.0", "1"}), kErrInputPastEnd, 2, 3, 2},
      {"", kErrInputPastEnd, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    FieldsRead read = ReadFields(c.bytes, FirstFour());
    EXPECT_FALSE(read.complete());
    EXPECT_EQ(read.stop.number(), c.number);
    EXPECT_EQ(read.stop_field, c.field);
    EXPECT_EQ(read.stop_line, c.line);
    EXPECT_EQ(read.values.size(), c.values);
  }
  EXPECT_EQ(ReadFields(CrLfLines({"2.0", "1", "two"}), FirstFour()).stop_text,
            "two");

  TempDir dir;
  FieldsRead missing = ReadFieldsFile(dir / "none.tvx", FirstFour());
  EXPECT_EQ(missing.stop.number(), kErrFileNotFound);
  EXPECT_EQ(missing.stop_field, -1);
  dir.Write("SOME.TVX", CrLfLines({"2.0", "1", "0", "5"}));
  EXPECT_TRUE(ReadFieldsFile(dir / "some.tvx", FirstFour()).complete());
}

TEST(FileFieldsTest, NamesTheFirstTextThatWouldNotReadBack) {
  std::vector<FieldValue> values(4);
  values[2].number = 1;
  EXPECT_FALSE(FindUnstorableField(FirstFour(), values).has_value());
  values[1].text = "\"quoted";
  values[3].text = "a\nb";
  std::optional<UnstorableField> found =
      FindUnstorableField(FirstFour(), values);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->index, 1u);
  EXPECT_EQ(found->why, "it begins with a double quote");

  std::vector<FieldValue> scale(1);
  scale[0].text = "0 \"2";
  found = FindUnstorableField(ScaleFields(), scale);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->why, "it contains a double quote");
}

}  // namespace
}  // namespace tessavar
