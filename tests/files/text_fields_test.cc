#include "files/text_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::TempDir;

std::vector<std::string> AllFields(const std::string& bytes) {
  FieldReader reader(bytes);
  std::vector<std::string> fields;
  for (;;) {
    try {
      fields.push_back(reader.Next().text);
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), kErrInputPastEnd);
      return fields;
    }
  }
}

TEST(FieldReaderTest, SplitsAtCommasAndLineEnds) {
  EXPECT_EQ(AllFields(" 60 \r\n007\r\nabc "),
            (std::vector<std::string>{"60 ", "007", "abc "}));
  EXPECT_EQ(AllFields("a,b\nc\r\n\r\nd"),
            (std::vector<std::string>{"a", "b", "c", "", "d"}));
  EXPECT_EQ(AllFields("a,\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(AllFields(""), std::vector<std::string>{});
  // A CR that does not end a line is part of the field; a final one is not.
  EXPECT_EQ(AllFields("a\rb\r"), std::vector<std::string>{"a\rb"});
}

TEST(FieldReaderTest, QuotedFieldsKeepSpacesAndCommas) {
  EXPECT_EQ(AllFields("\" 0 2 4 5 7 911\"\r\n"),
            std::vector<std::string>{" 0 2 4 5 7 911"});
  EXPECT_EQ(AllFields("  \"a, b\" junk,next\r\n"),
            (std::vector<std::string>{"a, b", "next"}));
  // An unclosed quote ends at the line end.
  EXPECT_EQ(AllFields("\"open\r\nx\r\n"),
            (std::vector<std::string>{"open", "x"}));
}

TEST(FieldReaderTest, CountsLinesAndStaysPutAtTheEnd) {
  FieldReader reader("a\r\nb,c\nd");
  EXPECT_EQ(reader.Next().line, 1);
  EXPECT_EQ(reader.Next().line, 2);
  EXPECT_EQ(reader.Next().line, 2);
  EXPECT_EQ(reader.Next().line, 3);
  EXPECT_THROW(reader.Next(), RunTimeError);
  EXPECT_THROW(reader.Next(), RunTimeError);
}

TEST(FieldValueTest, NumbersBecomeTheirTextOthersStayAsRead) {
  EXPECT_EQ(FieldAsText({" 60 "}), "60");
  EXPECT_EQ(FieldAsText({"007"}), "7");
  EXPECT_EQ(FieldAsText({"-0"}), "0");
  EXPECT_EQ(FieldAsText({"5.50"}), "5.5");
  EXPECT_EQ(FieldAsText({"12abc"}), "12abc");
  EXPECT_EQ(FieldAsText({"007", true}), "007");
  EXPECT_EQ(FieldAsText({"100000000000000000000"}), "100000000000000000000");
  EXPECT_EQ(FieldAsText({"0.0000001"}), "0.0000001");
  std::string huge(400, '9');
  EXPECT_EQ(FieldAsText({huge}), huge);
}

TEST(FieldValueTest, NumberFieldsMustBeSixteenBitNumbers) {
  EXPECT_EQ(FieldAsInt16({"-1 "}), -1);
  EXPECT_EQ(FieldAsInt16({" 2.5 "}), 2);
  EXPECT_EQ(FieldAsInt16({"32767"}), 32767);
  auto number_of = [](const std::string& text) {
    try {
      FieldAsInt16({text});
    } catch (const RunTimeError& error) {
      return error.number();
    }
    return 0;
  };
  EXPECT_EQ(number_of("32768"), kErrOverflow);
  EXPECT_EQ(number_of(std::string(400, '9')), kErrOverflow);
  EXPECT_EQ(number_of("-40000"), kErrOverflow);
  EXPECT_EQ(number_of("x"), kErrTypeMismatch);
  EXPECT_EQ(number_of(""), kErrTypeMismatch);
  EXPECT_EQ(number_of("1 2"), kErrTypeMismatch);
}

TEST(FieldWriterTest, WritesTheFileConventions) {
  EXPECT_EQ(NumberLine(0), " 0 \r\n");
  EXPECT_EQ(NumberLine(-1), "-1 \r\n");
  EXPECT_EQ(NumberLine(127), " 127 \r\n");
  EXPECT_EQ(TextLine("60"), "60\r\n");
  EXPECT_EQ(TextLine(""), "\r\n");
  EXPECT_EQ(TextLine("1,5"), "\"1,5\"\r\n");
  EXPECT_EQ(QuotedLine(" 0 1"), "\" 0 1\"\r\n");
  // Whatever can be written reads back unchanged.
  for (std::string text : {"1,5", "a\"b", " x", "a, \"b"}) {
    if (UnstorableTextProblem(text, false)) continue;
    FieldReader reader(TextLine(text));
    EXPECT_EQ(reader.Next().text, text[0] == ' ' ? text.substr(1) : text);
  }
}

TEST(FieldWriterTest, NamesTextsThatCannotBeStored) {
  EXPECT_FALSE(UnstorableTextProblem("abc", false));
  EXPECT_FALSE(UnstorableTextProblem("a\"b", false));
  EXPECT_FALSE(UnstorableTextProblem("a,b", false));
  EXPECT_TRUE(UnstorableTextProblem("\"abc", false));
  EXPECT_TRUE(UnstorableTextProblem("  \"abc", false));
  EXPECT_TRUE(UnstorableTextProblem("a,\"b", false));
  EXPECT_TRUE(UnstorableTextProblem("a\nb", false));
  EXPECT_TRUE(UnstorableTextProblem("a\"b", true));
  EXPECT_FALSE(UnstorableTextProblem(" a,b", true));
}

TEST(TextFileTest, ReadingNeedsARegularFileFoundInAnyCase) {
  TempDir dir;
  dir.Write("song.tvx", "x");
  EXPECT_EQ(ReadTextFile(dir / "SONG.TVX"), "x");
  auto number_of = [](const std::string& path) {
    try {
      ReadTextFile(path);
    } catch (const RunTimeError& error) {
      return error.number();
    }
    return 0;
  };
  EXPECT_EQ(number_of(dir / "missing.tvx"), kErrFileNotFound);
  EXPECT_EQ(number_of(""), kErrFileNotFound);
  EXPECT_EQ(number_of(dir.path()), kErrPathFileAccess);
}

}  // namespace
}  // namespace tessavar
