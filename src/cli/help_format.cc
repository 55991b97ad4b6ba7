#include "cli/help_format.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <sstream>

#include "base/exit_status.h"
#include "base/terminal_text.h"

namespace tessavar::cli {
namespace {

constexpr size_t kDefaultColumns = 80;
// Narrower terminals still get this much text per line.
constexpr size_t kMinColumns = 40;

// Where a continued line starts: under the description of an option line
// ("  --tempo TEXT    the tempo"), else under the line's own text.
size_t ContinuationIndent(const std::string& line, size_t width) {
  const size_t text = line.find_first_not_of(' ');
  size_t indent = text == std::string::npos ? 0 : text;
  const size_t gap = line.find("  ", indent);
  if (gap != std::string::npos) {
    const size_t column = line.find_first_not_of(' ', gap);
    if (column != std::string::npos) indent = column;
  }
  return indent > width / 2 ? std::min(text + 4, width / 2) : indent;
}

void WrapLine(const std::string& line, size_t width, std::string& out) {
  const size_t indent = ContinuationIndent(line, width);
  std::string rest = line;
  while (rest.size() > width) {
    size_t cut = rest.rfind(' ', width);
    const size_t floor = rest.find_first_not_of(' ');
    if (cut == std::string::npos || cut <= floor || cut <= indent) {
      cut = rest.find(' ', width);  // a word longer than the line
      if (cut == std::string::npos) break;
    }
    std::string head = rest.substr(0, cut);
    head.erase(head.find_last_not_of(' ') + 1);
    out += head + '\n';
    const size_t next = rest.find_first_not_of(' ', cut);
    if (next == std::string::npos) {
      rest.clear();
      break;
    }
    rest = std::string(indent, ' ') + rest.substr(next);
  }
  if (!rest.empty()) out += rest;
}

}  // namespace

size_t TerminalColumns() {
  winsize size = {};
  if (::isatty(STDOUT_FILENO) &&
      ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    return std::max<size_t>(size.ws_col, kMinColumns);
  }
  return kDefaultColumns;
}

std::string WrapText(const std::string& text, size_t width) {
  std::string out;
  std::istringstream lines(text);
  std::string line;
  bool first = true;
  while (std::getline(lines, line)) {
    if (!first) out += '\n';
    first = false;
    line.erase(line.find_last_not_of(' ') + 1);
    WrapLine(line, width, out);
  }
  if (!text.empty() && text.back() == '\n') out += '\n';
  return out;
}

std::string WrappingFormatter::make_help(const CLI::App* app, std::string name,
                                         CLI::AppFormatMode mode) const {
  return WrapText(CLI::Formatter::make_help(app, std::move(name), mode),
                  TerminalColumns());
}

std::string WrappingFormatter::make_subcommand(const CLI::App* sub) const {
  auto found = summaries_.find(sub->get_name());
  if (found == summaries_.end()) return CLI::Formatter::make_subcommand(sub);
  std::stringstream out;
  CLI::detail::format_help(out, sub->get_name(), found->second,
                           get_column_width());
  return out.str();
}

std::string ParserMessage(const std::string& prefix, const CLI::Error& error) {
  std::string problem = error.what();
  std::replace(problem.begin(), problem.end(), '\n', ' ');
  problem.erase(problem.find_last_not_of(' ') + 1);
  // "The following argument..." reads on after the colon; "IN.mid is
  // required" keeps its name.
  if (problem.size() > 1 &&
      std::islower(static_cast<unsigned char>(problem[1]))) {
    problem[0] =
        static_cast<char>(std::tolower(static_cast<unsigned char>(problem[0])));
  }
  return prefix + ": " + TerminalText(problem) + " (see " + prefix +
         " --help)\n";
}

int ParseFailure(CLI::App& app, const CLI::ParseError& error,
                 const std::string& program) {
  if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
    app.exit(error);
    return kExitOk;
  }
  std::string prefix = program;
  const std::vector<CLI::App*> parsed = app.get_subcommands();
  if (!parsed.empty()) prefix += " " + parsed.front()->get_name();
  std::cerr << ParserMessage(prefix, error);
  return kExitFile;
}

}  // namespace tessavar::cli
