// A small reader for RTF documents such as the program's help document. It
// keeps paragraphs (alignment, indents and spacing), bold, italic,
// underline, font size, line breaks, tabs and every way RTF writes a
// character (plain text, \\ \{ \}, \'hh in code page 1252, \u with its
// fallback skipped) and ignores everything else: unknown control words,
// fonts, colours, style sheets, pictures and other destination groups.
// Malformed input never fails; it gives whatever text could be read.
#ifndef TESSAVAR_FILES_RTF_READER_H_
#define TESSAVAR_FILES_RTF_READER_H_

#include <string>
#include <string_view>
#include <vector>

namespace tessavar {

struct RtfFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int font_size_half_points = 0;  // 0 = the viewer's default size

  bool operator==(const RtfFormat&) const = default;
};

// A piece of text in one format. The text is UTF-8; "\n" is a line break
// inside the paragraph and "\t" a tab.
struct RtfRun {
  RtfFormat format;
  std::string text;
};

enum class RtfAlignment { kLeft, kCenter, kRight, kJustify };

struct RtfParagraph {
  RtfAlignment alignment = RtfAlignment::kLeft;
  int left_indent_twips = 0;
  int first_line_indent_twips = 0;
  int space_before_twips = 0;
  int space_after_twips = 0;
  std::vector<RtfRun> runs;
};

struct RtfDocument {
  std::vector<RtfParagraph> paragraphs;
};

RtfDocument ParseRtf(std::string_view rtf);

// HTML for a rich-text viewer (QTextBrowser).
std::string RtfToHtml(std::string_view rtf);
std::string DocumentToHtml(const RtfDocument& document);

// The text alone: paragraphs separated by "\n".
std::string DocumentToPlainText(const RtfDocument& document);

}  // namespace tessavar

#endif  // TESSAVAR_FILES_RTF_READER_H_
