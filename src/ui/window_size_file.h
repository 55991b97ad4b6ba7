// The main window's size and maximised state, kept across runs in a file
// of its own beside the settings file, so that the settings file stays as
// it is: one line "WIDTH HEIGHT", with " maximised" when it was.
#ifndef TESSAVAR_UI_WINDOW_SIZE_FILE_H_
#define TESSAVAR_UI_WINDOW_SIZE_FILE_H_

#include <optional>
#include <string>

namespace tessavar {

inline constexpr char kWindowSizeFileName[] = "tvx-window.txt";

struct WindowSize {
  int width = 0;
  int height = 0;
  bool maximised = false;
};

// The size the file holds; none when it is missing or unreadable.
std::optional<WindowSize> ReadWindowSize(const std::string& path);
// Writes the file atomically; a size that cannot be kept is not worth a
// message, so failures are ignored.
void WriteWindowSize(const WindowSize& size, const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_UI_WINDOW_SIZE_FILE_H_
