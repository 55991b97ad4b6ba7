// Help text that fits the terminal, and the parser's failures in the one
// message form of the command-line tools.
#ifndef TESSAVAR_CLI_HELP_FORMAT_H_
#define TESSAVAR_CLI_HELP_FORMAT_H_

#include <CLI/CLI.hpp>
#include <cstddef>
#include <map>
#include <string>

namespace tessavar::cli {

// Columns of the terminal on standard output; 80 when it is not one.
size_t TerminalColumns();

// Breaks every line longer than `width` at spaces; a continued line starts
// under the text of the line it continues (past an option's name column).
std::string WrapText(const std::string& text, size_t width);

// CLI11's help, wrapped to the terminal, with a one-line summary per
// subcommand in the overview.
class WrappingFormatter : public CLI::Formatter {
 public:
  explicit WrappingFormatter(std::map<std::string, std::string> summaries = {})
      : summaries_(std::move(summaries)) {}
  std::string make_help(const CLI::App* app, std::string name,
                        CLI::AppFormatMode mode) const override;
  std::string make_subcommand(const CLI::App* sub) const override;

 private:
  std::map<std::string, std::string> summaries_;
};

// "PREFIX: problem (see PREFIX --help)" on one line, escaped.
std::string ParserMessage(const std::string& prefix, const CLI::Error& error);

// Ends a failed parse: help and version go to standard output with status
// 0; a failure prints ParserMessage under "PROGRAM COMMAND" (the
// subcommand being parsed, if any) and returns kExitFile.
int ParseFailure(CLI::App& app, const CLI::ParseError& error,
                 const std::string& program);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_HELP_FORMAT_H_
