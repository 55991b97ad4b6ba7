#include "files/rtf_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/file_system.h"

namespace tessavar {
namespace {

std::string PlainText(std::string_view rtf) {
  return DocumentToPlainText(ParseRtf(rtf));
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = text[i];
    int extra = 0;
    char32_t code = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      code = c & 0x07;
    } else {
      return false;
    }
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= text.size()) return false;
      const unsigned char next = text[i + k];
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code >= 0xD800 && code <= 0xDFFF) return false;
    if (code > 0x10FFFF) return false;
    i += extra + 1;
  }
  return true;
}

TEST(RtfReaderTest, ParagraphsAndLineBreaks) {
  RtfDocument doc = ParseRtf(
      "{\\rtf1\\ansi First line\\line second line\\par\n"
      "Second\r\n paragraph\\par Third}");
  ASSERT_EQ(doc.paragraphs.size(), 3u);
  EXPECT_EQ(DocumentToPlainText(doc),
            "First line\nsecond line\nSecond paragraph\nThird");
  // A backslash before a line end is a paragraph mark as well.
  EXPECT_EQ(ParseRtf("{\\rtf1 one\\\ntwo}").paragraphs.size(), 2u);
}

TEST(RtfReaderTest, CharacterFormattingFollowsGroups) {
  RtfDocument doc = ParseRtf(
      "{\\rtf1 plain {\\b bold {\\i both}}\\ul  under\\ul0  end\\par}");
  ASSERT_EQ(doc.paragraphs.size(), 1u);
  const std::vector<RtfRun>& runs = doc.paragraphs[0].runs;
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].text, "plain ");
  EXPECT_FALSE(runs[0].format.bold);
  EXPECT_EQ(runs[1].text, "bold ");
  EXPECT_TRUE(runs[1].format.bold);
  EXPECT_FALSE(runs[1].format.italic);
  EXPECT_EQ(runs[2].text, "both");
  EXPECT_TRUE(runs[2].format.bold && runs[2].format.italic);
  EXPECT_EQ(runs[3].text, " under");
  EXPECT_TRUE(runs[3].format.underline);
  EXPECT_FALSE(runs[3].format.bold);
  EXPECT_EQ(runs[4].text, " end");
  EXPECT_FALSE(runs[4].format.underline);
}

TEST(RtfReaderTest, FontSizeBoldOffAndPlain) {
  RtfDocument doc =
      ParseRtf("{\\rtf1\\fs32\\b Title\\b0  body\\plain  reset\\par}");
  const std::vector<RtfRun>& runs = doc.paragraphs.at(0).runs;
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].format.font_size_half_points, 32);
  EXPECT_TRUE(runs[0].format.bold);
  EXPECT_EQ(runs[1].format.font_size_half_points, 32);
  EXPECT_FALSE(runs[1].format.bold);
  EXPECT_EQ(runs[2].format, RtfFormat());
}

TEST(RtfReaderTest, EscapedCharacters) {
  EXPECT_EQ(PlainText("{\\rtf1 a\\\\b \\{x\\} caf\\'e9 \\'93q\\'94}"),
            "a\\b {x} caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D");
  EXPECT_EQ(PlainText("{\\rtf1 non\\~breaking\\_hyphen opt\\-ional}"),
            "non\xC2\xA0"
            "breaking\xE2\x80\x91hyphen optional");
  EXPECT_EQ(PlainText("{\\rtf1 a\\emdash b\\endash c\\bullet}"),
            "a\xE2\x80\x94"
            "b\xE2\x80\x93"
            "c\xE2\x80\xA2");
}

TEST(RtfReaderTest, UnicodeWithFallbackSkipped) {
  // \u233 is é; its fallback "e" is dropped.
  EXPECT_EQ(PlainText("{\\rtf1 caf\\u233e!}"), "caf\xC3\xA9!");
  // Negative values count from 65536; \uc2 skips two fallback characters,
  // a \'hh counting as one.
  EXPECT_EQ(PlainText("{\\rtf1\\uc2 \\u-3913\\'3f\\'3fx}"), "\xEF\x82\xB7x");
  // \uc0 has no fallback.
  EXPECT_EQ(PlainText("{\\rtf1\\uc0 \\u8364 5}"),
            "\xE2\x82\xAC"
            "5");
  // A surrogate pair gives one character outside the basic plane.
  EXPECT_EQ(PlainText("{\\rtf1 \\u-10179?\\u-8704?}"), "\xF0\x9F\x98\x80");
  // The fallback ends with its group.
  EXPECT_EQ(PlainText("{\\rtf1\\uc3 {\\u8364}abc}"),
            "\xE2\x82\xAC"
            "abc");
}

TEST(RtfReaderTest, IgnoresDestinationsAndUnknownWords) {
  const char* rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0"
      "{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1 Arial;}}"
      "{\\colortbl;\\red255\\green0\\blue0;}"
      "{\\stylesheet{\\s0 Normal;}}"
      "{\\info{\\title Secret}{\\author Someone}}"
      "{\\*\\generator Writer 1.0;}"
      "{\\*\\unknowndest hidden text}"
      "\\viewkind4\\f1\\cf1\\highlight0 Visible\\frobnicate42  text\\par}";
  EXPECT_EQ(PlainText(rtf), "Visible text");
}

TEST(RtfReaderTest, BinaryDataIsSkipped) {
  EXPECT_EQ(PlainText("{\\rtf1 a{\\*\\blob\\bin4 }{\\}b}c}"), "ac");
  EXPECT_EQ(PlainText("{\\rtf1 a\\bin3 x}}b}"), "ab");
}

TEST(RtfReaderTest, ParagraphProperties) {
  RtfDocument doc = ParseRtf(
      "{\\rtf1\\pard\\qc\\sb240\\sa120 Centre\\par"
      "\\pard\\li720\\fi-360 Indented\\par "
      "Still indented\\par\\pard Reset\\par}");
  ASSERT_EQ(doc.paragraphs.size(), 4u);
  EXPECT_EQ(doc.paragraphs[0].alignment, RtfAlignment::kCenter);
  EXPECT_EQ(doc.paragraphs[0].space_before_twips, 240);
  EXPECT_EQ(doc.paragraphs[0].space_after_twips, 120);
  EXPECT_EQ(doc.paragraphs[1].alignment, RtfAlignment::kLeft);
  EXPECT_EQ(doc.paragraphs[1].left_indent_twips, 720);
  EXPECT_EQ(doc.paragraphs[1].first_line_indent_twips, -360);
  EXPECT_EQ(doc.paragraphs[2].left_indent_twips, 720);
  EXPECT_EQ(doc.paragraphs[3].left_indent_twips, 0);
}

TEST(RtfReaderTest, HtmlEscapesTextAndMarksFormatting) {
  std::string html = RtfToHtml(
      "{\\rtf1\\qc{\\b\\fs28 A <b> & \"c\"}\\par\\pard x\\line y\\tab z\\par"
      "\\par}");
  EXPECT_NE(html.find("<p align=\"center\""), std::string::npos);
  EXPECT_NE(html.find("<span style=\"font-size:14pt\"><b>A &lt;b&gt; &amp; "
                      "&quot;c&quot;</b></span>"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("x<br />y\tz</p>"), std::string::npos) << html;
  // An empty paragraph still takes a line.
  EXPECT_NE(html.find(">&nbsp;</p>"), std::string::npos) << html;
  EXPECT_EQ(html.find("<p align=\"center\"", html.find("x<br />")),
            std::string::npos);
  EXPECT_NE(RtfToHtml("{\\rtf1 \\fs21 x}").find("font-size:10.5pt"),
            std::string::npos);
}

TEST(RtfReaderTest, MalformedInputKeepsWhatCanBeRead) {
  EXPECT_EQ(PlainText(""), "");
  EXPECT_EQ(PlainText("no rtf at all"), "no rtf at all");
  EXPECT_EQ(PlainText("{\\rtf1 unclosed {\\b group"), "unclosed group");
  EXPECT_EQ(PlainText("}}} extra}"), " extra");
  EXPECT_EQ(PlainText("{\\rtf1 trailing\\"), "trailing");
  EXPECT_EQ(PlainText("{\\rtf1 bad hex\\'4"), "bad hex");
  EXPECT_EQ(PlainText("{\\rtf1 bad hex\\'zz}"), "bad hexzz");
  EXPECT_EQ(PlainText("{\\rtf1 x\\fs99999999999999999999 y}"), "xy");
  EXPECT_EQ(PlainText("{\\rtf1 \\u99999999?\\u-99999?}"),
            "\xEF\xBF\xBD\xEF\xBF\xBD");
  // A high surrogate alone is replaced, not passed on.
  EXPECT_EQ(PlainText("{\\rtf1 \\u-10179?x}"), "\xEF\xBF\xBDx");
  EXPECT_EQ(PlainText(std::string("{\\rtf1 a\0b\x01"
                                  "c}",
                                  13)),
            "abc");
}

// Random documents made of RTF's own tokens and random bytes, and damaged
// copies of the help document: the reader must never fail, must give valid
// UTF-8 and must not produce more text than the input could describe.
TEST(RtfReaderTest, FuzzedInputNeverBreaksTheReader) {
  const std::vector<std::string> tokens = {
      "{",        "}",         "\\",          "\\\\",
      "\\{",      "\\}",       "\\par ",      "\\line",
      "\\b",      "\\b0",      "\\i ",        "\\ul",
      "\\fs",     "\\u",       "\\u-",        "\\uc",
      "\\'",      "\\'e9",     "\\'8",        "\\*",
      "\\bin",    "\\fonttbl", "\\pard",      "\\qc",
      "\\li",     "\\-",       "\\~",         "\\\n",
      "-",        "12",        "99999999999", "a",
      "text ",    "\xC3",      "\xFF",        std::string(1, '\0'),
      "\r\n",     "\\tab",     "\\plain",     "\\sa",
      "\\emdash", " "};
  std::mt19937 random(20240607);
  std::string help;
  try {
    help =
        ReadWholeFile(std::string(TESSAVAR_SOURCE_DIR) + "/share/THELP20.RTF");
  } catch (const std::exception&) {
  }
  for (int round = 0; round < 3000; ++round) {
    std::string input;
    if (round % 3 == 2 && !help.empty()) {
      input = help.substr(0, random() % help.size());
      for (int k = 0; k < 20 && !input.empty(); ++k) {
        input[random() % input.size()] = static_cast<char>(random() % 256);
      }
    } else {
      const int count = static_cast<int>(random() % 80);
      for (int k = 0; k < count; ++k) {
        if (random() % 4 == 0) {
          input += static_cast<char>(random() % 256);
        } else {
          input += tokens[random() % tokens.size()];
        }
      }
    }
    RtfDocument doc = ParseRtf(input);
    const std::string text = DocumentToPlainText(doc);
    const std::string html = DocumentToHtml(doc);
    ASSERT_TRUE(IsValidUtf8(text)) << "round " << round;
    ASSERT_TRUE(IsValidUtf8(html)) << "round " << round;
    // Each input byte gives at most one character of at most three bytes
    // (four for a surrogate pair written with two \u words).
    ASSERT_LE(text.size(), 3 * input.size() + doc.paragraphs.size())
        << "round " << round;
    for (char c : text) {
      const unsigned char u = c;
      ASSERT_TRUE(u >= 0x20 || c == '\n' || c == '\t') << "round " << round;
    }
  }
}

TEST(RtfReaderTest, ShippedHelpDocumentReads) {
  const std::string rtf =
      ReadWholeFile(std::string(TESSAVAR_SOURCE_DIR) + "/share/THELP20.RTF");
  RtfDocument doc = ParseRtf(rtf);
  const std::string text = DocumentToPlainText(doc);
  EXPECT_GT(doc.paragraphs.size(), 50u);
  EXPECT_NE(text.find("Tessavar Composer"), std::string::npos);
  EXPECT_NE(text.find("MIDI Map"), std::string::npos);
  EXPECT_NE(text.find("tessavar-cli"), std::string::npos);
  // Nothing of the document's machinery shows as text.
  EXPECT_EQ(text.find('\\'), std::string::npos);
  EXPECT_EQ(text.find('{'), std::string::npos);
  EXPECT_EQ(text.find("Times New Roman"), std::string::npos);
  // Each of the 14 mapped parameters is described.
  for (const char* name :
       {"Active Voices", "Period Length", "Period Repeat", "Phrase Len.",
        "Phrase Mirror", "Current Key", "Note Pitch", "Note Duration",
        "Glissando", "Pointillism", "Rhythm", "Rhythm Track", "Dynamics",
        "Compression"}) {
    EXPECT_NE(text.find(name), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace tessavar
