#include "ui/window_size_file.h"

#include <sstream>

#include "base/file_system.h"
#include "base/status.h"

namespace tessavar {
namespace {

constexpr size_t kMaxBytes = 256;
constexpr char kMaximised[] = "maximised";

}  // namespace

std::optional<WindowSize> ReadWindowSize(const std::string& path) {
  std::string text;
  try {
    text = ReadWholeFileUpTo(path, kMaxBytes);
  } catch (const RunTimeError&) {
    return std::nullopt;
  }
  std::istringstream in(text);
  WindowSize size;
  if (!(in >> size.width >> size.height) || size.width <= 0 ||
      size.height <= 0) {
    return std::nullopt;
  }
  std::string state;
  size.maximised = (in >> state) && state == kMaximised;
  return size;
}

void WriteWindowSize(const WindowSize& size, const std::string& path) {
  std::string line =
      std::to_string(size.width) + " " + std::to_string(size.height) +
      (size.maximised ? std::string(" ") + kMaximised : "") + "\n";
  try {
    WriteFileAtomically(path, line);
  } catch (const RunTimeError&) {
  }
}

}  // namespace tessavar
