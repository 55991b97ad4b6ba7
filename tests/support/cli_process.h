// Runs tessavar-cli as a user would, with the arguments as separate words,
// and captures what it printed.
#ifndef TESSAVAR_TESTS_SUPPORT_CLI_PROCESS_H_
#define TESSAVAR_TESTS_SUPPORT_CLI_PROCESS_H_

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"

namespace tessavar::testing {

struct CliOutcome {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The command line for the words, its output going to the two files.
inline std::string CliCommandLine(const std::vector<std::string>& words) {
  std::string command = ShellQuoted(TESSAVAR_CLI_PATH);
  for (const std::string& word : words) command += " " + ShellQuoted(word);
  return command;
}

// The exit status of a shell command line, -1 when it did not exit.
inline int ShellStatus(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Runs a shell command line; `scratch` is a directory for the captured
// output.
inline CliOutcome RunCaptured(const std::string& command,
                              const std::string& scratch) {
  const std::string out = scratch + "/.stdout", err = scratch + "/.stderr";
  CliOutcome outcome;
  outcome.status =
      ShellStatus(command + " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err));
  outcome.out = ReadWholeFile(out);
  outcome.err = ReadWholeFile(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  return outcome;
}

// Runs the program with the words.
inline CliOutcome RunCliWords(const std::vector<std::string>& words,
                              const std::string& scratch) {
  return RunCaptured(CliCommandLine(words), scratch);
}

// The lines of a text, without their LF or CR LF ends.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end;
       (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    size_t length = end - start;
    if (length > 0 && text[end - 1] == '\r') --length;
    lines.push_back(text.substr(start, length));
  }
  return lines;
}

// The names in a directory, sorted, hidden ones included.
inline std::vector<std::string> EntriesOf(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_CLI_PROCESS_H_
