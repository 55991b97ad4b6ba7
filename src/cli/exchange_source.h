// The piece the export commands read: a MIDI file the program wrote
// (with the composition of the same name beside it, when there is one,
// for the name and key), or a composition, composed in memory.
#ifndef TESSAVAR_CLI_EXCHANGE_SOURCE_H_
#define TESSAVAR_CLI_EXCHANGE_SOURCE_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "midi/exchange_piece.h"

namespace tessavar::cli {

struct ExchangeSource {
  int status = 0;               // an exit status; the piece only when 0
  std::string problem;          // why not, for standard error
  std::optional<Status> error;  // or the file error that stopped it
  ExchangePiece piece;
  // The files read, which the output may not replace.
  std::vector<std::string> inputs;
};

ExchangeSource ReadExchangeSource(const std::string& input);

// Reads the input and writes the export of it to `output` (the format is
// given by the caller); prints what was written. The exit status.
struct ExchangeExportArguments {
  std::string input;
  std::string output;
  bool force = false;
};
int RunExchangeExport(
    const std::string& command, const ExchangeExportArguments& args,
    const std::function<std::string(const ExchangePiece&)>& bytes_of);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_EXCHANGE_SOURCE_H_
