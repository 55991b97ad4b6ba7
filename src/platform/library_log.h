// The messages of the sound libraries. FluidSynth, ALSA and JACK print
// their errors and warnings to standard error by default; a driver that
// cannot open on this machine is no error of the program's, so their
// messages come here instead, and the player quotes the last error when it
// tells the user that something did not work.
#ifndef TESSAVAR_PLATFORM_LIBRARY_LOG_H_
#define TESSAVAR_PLATFORM_LIBRARY_LOG_H_

#include <mutex>
#include <string>

namespace tessavar {

class LibraryLog {
 public:
  // Takes over the libraries' messages until destroyed (the last one made
  // wins); ALSA's and JACK's are dropped, FluidSynth's errors kept.
  LibraryLog();
  ~LibraryLog();
  LibraryLog(const LibraryLog&) = delete;
  LibraryLog& operator=(const LibraryLog&) = delete;

  // The last error since the last call; empty when there was none.
  std::string TakeLastError();

 private:
  static void FluidMessage(int level, const char* message, void* data);

  std::mutex mutex_;
  std::string last_error_;
};

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_LIBRARY_LOG_H_
