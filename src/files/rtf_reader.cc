#include "files/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <unordered_set>

#include "base/text.h"

namespace tessavar {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr int kMaxControlWordLength = 32;
constexpr int kMaxParameterDigits = 10;
constexpr int kMaxFontSizeHalfPoints = 400;
constexpr int kMaxTwips = 31680;  // 22 inches: wider than any page

// Code page 1252 for the bytes 0x80 to 0x9F; the other bytes above 0x7F are
// the Latin-1 characters of the same number.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char32_t FromCp1252(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kCp1252High[byte - 0x80];
  return byte;
}

// Groups whose content is not document text.
bool IsSkippedDestination(std::string_view word) {
  static const std::unordered_set<std::string_view> kDestinations = {
      "fonttbl",      "colortbl",   "stylesheet",
      "info",         "pict",       "object",
      "header",       "headerl",    "headerr",
      "headerf",      "footer",     "footerl",
      "footerr",      "footerf",    "footnote",
      "fldinst",      "listtable",  "listoverridetable",
      "revtbl",       "rsidtbl",    "generator",
      "xmlnstbl",     "themedata",  "colorschememapping",
      "latentstyles", "datastore",  "filetbl",
      "pgdsctbl",     "private",    "pntxta",
      "pntxtb",       "bkmkstart",  "bkmkend",
      "shppict",      "mmathPr",    "userprops",
      "docvar",       "template",   "title",
      "author",       "operator",   "company",
      "subject",      "keywords",   "doccomm",
      "comment",      "annotation", "atnid",
      "atnauthor",    "xe",         "tc",
      "txe",          "falt",       "panose",
      "fname",        "objdata",    "blipuid",
      "sp",           "sn",         "sv"};
  return kDestinations.contains(word);
}

// Control words that stand for one character.
char32_t SymbolFor(std::string_view word) {
  if (word == "emdash") return 0x2014;
  if (word == "endash") return 0x2013;
  if (word == "bullet") return 0x2022;
  if (word == "lquote") return 0x2018;
  if (word == "rquote") return 0x2019;
  if (word == "ldblquote") return 0x201C;
  if (word == "rdblquote") return 0x201D;
  if (word == "emspace") return 0x2003;
  if (word == "enspace") return 0x2002;
  if (word == "qmspace") return 0x2005;
  return 0;
}

struct ParagraphProperties {
  RtfAlignment alignment = RtfAlignment::kLeft;
  int left_indent_twips = 0;
  int first_line_indent_twips = 0;
  int space_before_twips = 0;
  int space_after_twips = 0;
};

struct GroupState {
  RtfFormat format;
  ParagraphProperties paragraph;
  bool skip = false;
  int unicode_fallback_length = 1;
};

int ClampTwips(long long value) {
  return static_cast<int>(std::clamp<long long>(value, -kMaxTwips, kMaxTwips));
}

class RtfParser {
 public:
  explicit RtfParser(std::string_view rtf) : rtf_(rtf) {
    stack_.push_back(GroupState());
  }

  RtfDocument Parse() {
    while (pos_ < rtf_.size()) {
      const unsigned char c = rtf_[pos_++];
      if (c == '{') {
        OpenGroup();
      } else if (c == '}') {
        CloseGroup();
      } else if (c == '\\') {
        ReadControl();
      } else if (c == '\r' || c == '\n') {
        // Line ends in the file are not text.
      } else {
        TextCharacter(FromCp1252(c));
      }
    }
    if (!paragraph_.runs.empty()) EndParagraph();
    return std::move(document_);
  }

 private:
  GroupState& state() { return stack_.back(); }

  void OpenGroup() {
    stack_.push_back(stack_.back());
    fallback_to_skip_ = 0;
  }

  void CloseGroup() {
    FlushSurrogate();
    if (stack_.size() > 1) stack_.pop_back();
    fallback_to_skip_ = 0;
  }

  // A character of the document, unless it is the fallback of a \u.
  void TextCharacter(char32_t c) {
    if (fallback_to_skip_ > 0) {
      --fallback_to_skip_;
      return;
    }
    AppendCharacter(c);
  }

  void AppendCharacter(char32_t c) {
    FlushSurrogate();
    if (state().skip) return;
    if (c < 0x20 && c != '\t' && c != '\n') return;
    std::string utf8;
    AppendUtf8(c, utf8);
    AppendText(utf8);
  }

  void AppendText(const std::string& text) {
    std::vector<RtfRun>& runs = paragraph_.runs;
    if (runs.empty() || !(runs.back().format == state().format)) {
      runs.push_back(RtfRun{state().format, std::string()});
    }
    runs.back().text += text;
  }

  void EndParagraph() {
    FlushSurrogate();
    if (state().skip) return;
    const ParagraphProperties& p = state().paragraph;
    paragraph_.alignment = p.alignment;
    paragraph_.left_indent_twips = p.left_indent_twips;
    paragraph_.first_line_indent_twips = p.first_line_indent_twips;
    paragraph_.space_before_twips = p.space_before_twips;
    paragraph_.space_after_twips = p.space_after_twips;
    document_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = RtfParagraph();
  }

  // A high surrogate from \u waits for its low half; alone it is invalid.
  void FlushSurrogate() {
    if (pending_high_surrogate_ == 0) return;
    pending_high_surrogate_ = 0;
    AppendCharacter(kReplacementCharacter);
  }

  void UnicodeCharacter(long long parameter) {
    long long code = parameter < 0 ? parameter + 65536 : parameter;
    if (code < 0 || code > 0xFFFF) code = kReplacementCharacter;
    if (code >= 0xD800 && code <= 0xDBFF) {
      FlushSurrogate();
      pending_high_surrogate_ = static_cast<char32_t>(code);
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
      if (pending_high_surrogate_ != 0) {
        const char32_t high = pending_high_surrogate_;
        pending_high_surrogate_ = 0;
        AppendCharacter(0x10000 + ((high - 0xD800) << 10) + (code - 0xDC00));
      } else {
        AppendCharacter(kReplacementCharacter);
      }
    } else {
      AppendCharacter(static_cast<char32_t>(code));
    }
    fallback_to_skip_ = state().unicode_fallback_length;
  }

  static bool IsLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  }
  static bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
  static int HexValue(unsigned char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  void ReadControl() {
    if (pos_ >= rtf_.size()) return;
    const unsigned char c = rtf_[pos_];
    if (IsLetter(c)) {
      ReadControlWord();
    } else {
      ++pos_;
      ControlSymbol(c);
    }
  }

  void ControlSymbol(unsigned char c) {
    switch (c) {
      case '\\':
      case '{':
      case '}':
        TextCharacter(c);
        break;
      case '\'':
        HexCharacter();
        break;
      case '~':
        TextCharacter(0x00A0);
        break;
      case '_':
        TextCharacter(0x2011);
        break;
      case '*':
        state().skip = true;
        break;
      case '\r':
      case '\n':
        // A backslash before a line end is a paragraph mark.
        if (!ConsumeFallback()) EndParagraph();
        break;
      default:
        // \- (optional hyphen), \: and unknown symbols.
        ConsumeFallback();
        break;
    }
  }

  void HexCharacter() {
    int value = 0;
    for (int k = 0; k < 2; ++k) {
      if (pos_ >= rtf_.size()) return;
      const int digit = HexValue(rtf_[pos_]);
      if (digit < 0) return;
      ++pos_;
      value = value * 16 + digit;
    }
    TextCharacter(FromCp1252(static_cast<unsigned char>(value)));
  }

  // Within a \u fallback every control counts as one skipped character.
  bool ConsumeFallback() {
    if (fallback_to_skip_ == 0) return false;
    --fallback_to_skip_;
    return true;
  }

  void ReadControlWord() {
    const size_t start = pos_;
    while (pos_ < rtf_.size() && IsLetter(rtf_[pos_])) ++pos_;
    std::string_view word = rtf_.substr(start, pos_ - start);
    bool has_parameter = false;
    long long parameter = 0;
    bool negative = false;
    if (pos_ + 1 < rtf_.size() && rtf_[pos_] == '-' &&
        IsDigit(rtf_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    int digits = 0;
    while (pos_ < rtf_.size() && IsDigit(rtf_[pos_])) {
      if (digits < kMaxParameterDigits) {
        parameter = parameter * 10 + (rtf_[pos_] - '0');
      }
      ++digits;
      ++pos_;
      has_parameter = true;
    }
    if (negative) parameter = -parameter;
    if (pos_ < rtf_.size() && rtf_[pos_] == ' ') ++pos_;
    if (word.size() > static_cast<size_t>(kMaxControlWordLength)) return;
    ControlWord(word, has_parameter, parameter);
  }

  void ControlWord(std::string_view word, bool has_parameter,
                   long long parameter) {
    // \bin data is skipped whatever else is going on.
    if (word == "bin") {
      const size_t length =
          static_cast<size_t>(std::max<long long>(parameter, 0));
      pos_ += std::min(length, rtf_.size() - pos_);
      return;
    }
    if (word == "u") {
      if (fallback_to_skip_ > 0) {
        --fallback_to_skip_;
        return;
      }
      UnicodeCharacter(parameter);
      return;
    }
    if (ConsumeFallback()) return;
    if (IsSkippedDestination(word)) {
      state().skip = true;
      return;
    }
    const bool on = !has_parameter || parameter != 0;
    GroupState& s = state();
    if (word == "par" || word == "sect" || word == "page" || word == "row") {
      EndParagraph();
    } else if (word == "line") {
      AppendCharacter('\n');
    } else if (word == "tab" || word == "cell") {
      AppendCharacter('\t');
    } else if (word == "b") {
      s.format.bold = on;
    } else if (word == "i") {
      s.format.italic = on;
    } else if (word == "ul") {
      s.format.underline = on;
    } else if (word == "ulnone") {
      s.format.underline = false;
    } else if (word == "fs") {
      s.format.font_size_half_points =
          has_parameter ? static_cast<int>(std::clamp<long long>(
                              parameter, 2, kMaxFontSizeHalfPoints))
                        : 0;
    } else if (word == "plain") {
      s.format = RtfFormat();
    } else if (word == "pard") {
      s.paragraph = ParagraphProperties();
    } else if (word == "ql") {
      s.paragraph.alignment = RtfAlignment::kLeft;
    } else if (word == "qc") {
      s.paragraph.alignment = RtfAlignment::kCenter;
    } else if (word == "qr") {
      s.paragraph.alignment = RtfAlignment::kRight;
    } else if (word == "qj") {
      s.paragraph.alignment = RtfAlignment::kJustify;
    } else if (word == "li") {
      s.paragraph.left_indent_twips = ClampTwips(parameter);
    } else if (word == "fi") {
      s.paragraph.first_line_indent_twips = ClampTwips(parameter);
    } else if (word == "sb") {
      s.paragraph.space_before_twips = ClampTwips(std::max(0LL, parameter));
    } else if (word == "sa") {
      s.paragraph.space_after_twips = ClampTwips(std::max(0LL, parameter));
    } else if (word == "uc") {
      s.unicode_fallback_length =
          static_cast<int>(std::clamp<long long>(parameter, 0, 16));
    } else if (char32_t symbol = SymbolFor(word); symbol != 0) {
      AppendCharacter(symbol);
    }
    // Every other control word is ignored.
  }

  std::string_view rtf_;
  size_t pos_ = 0;
  std::vector<GroupState> stack_;
  RtfDocument document_;
  RtfParagraph paragraph_;
  int fallback_to_skip_ = 0;
  char32_t pending_high_surrogate_ = 0;
};

void AppendEscaped(std::string_view text, std::string& html) {
  for (const char c : text) {
    switch (c) {
      case '&':
        html += "&amp;";
        break;
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '"':
        html += "&quot;";
        break;
      case '\n':
        html += "<br />";
        break;
      default:
        html += c;
    }
  }
}

std::string Pixels(int twips) {
  // 15 twips make a pixel at 96 dots per inch.
  return std::to_string(twips / 15) + "px";
}

std::string PointSize(int half_points) {
  std::string size = std::to_string(half_points / 2);
  if (half_points % 2 != 0) size += ".5";
  return size + "pt";
}

void AppendRun(const RtfRun& run, std::string& html) {
  const RtfFormat& f = run.format;
  if (f.font_size_half_points > 0) {
    html +=
        "<span style=\"font-size:" + PointSize(f.font_size_half_points) + "\">";
  }
  if (f.bold) html += "<b>";
  if (f.italic) html += "<i>";
  if (f.underline) html += "<u>";
  AppendEscaped(run.text, html);
  if (f.underline) html += "</u>";
  if (f.italic) html += "</i>";
  if (f.bold) html += "</b>";
  if (f.font_size_half_points > 0) html += "</span>";
}

const char* AlignmentName(RtfAlignment alignment) {
  switch (alignment) {
    case RtfAlignment::kCenter:
      return "center";
    case RtfAlignment::kRight:
      return "right";
    case RtfAlignment::kJustify:
      return "justify";
    case RtfAlignment::kLeft:
      break;
  }
  return "left";
}

}  // namespace

RtfDocument ParseRtf(std::string_view rtf) { return RtfParser(rtf).Parse(); }

std::string DocumentToHtml(const RtfDocument& document) {
  std::string html = "<html><body>\n";
  for (const RtfParagraph& p : document.paragraphs) {
    html += "<p align=\"";
    html += AlignmentName(p.alignment);
    html += "\" style=\"white-space:pre-wrap; margin-top:" +
            Pixels(p.space_before_twips) +
            "; margin-bottom:" + Pixels(p.space_after_twips) +
            "; margin-left:" + Pixels(p.left_indent_twips) +
            "; text-indent:" + Pixels(p.first_line_indent_twips) + "\">";
    if (p.runs.empty()) html += "&nbsp;";
    for (const RtfRun& run : p.runs) AppendRun(run, html);
    html += "</p>\n";
  }
  html += "</body></html>\n";
  return html;
}

std::string RtfToHtml(std::string_view rtf) {
  return DocumentToHtml(ParseRtf(rtf));
}

std::string DocumentToPlainText(const RtfDocument& document) {
  std::string text;
  for (size_t i = 0; i < document.paragraphs.size(); ++i) {
    if (i > 0) text += '\n';
    for (const RtfRun& run : document.paragraphs[i].runs) text += run.text;
  }
  return text;
}

}  // namespace tessavar
