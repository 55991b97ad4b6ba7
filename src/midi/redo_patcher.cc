#include "midi/redo_patcher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "midi/midi_bytes.h"

namespace tessavar {
namespace {

uint8_t ByteAt(std::string_view bytes, size_t offset) {
  return static_cast<uint8_t>(bytes[offset]);
}

// The n-th "MTrk" chunk (0 = the tempo track), found by walking the chunks
// from the header on.
std::optional<midi::Chunk> TrackChunk(std::string_view bytes, int n) {
  std::optional<midi::Chunk> chunk = midi::ChunkAt(bytes, 0);
  if (!chunk || chunk->id != midi::kHeaderChunkId) return std::nullopt;
  int seen = 0;
  for (; chunk; chunk = midi::ChunkAt(bytes, chunk->end)) {
    if (chunk->id == midi::kTrackChunkId && seen++ == n) return chunk;
  }
  return std::nullopt;
}

// Skips the track name event (00 FF 03, length, text) at the start of the
// data; returns where the next event begins, nullopt when it is cut off.
std::optional<size_t> SkipNameEvent(std::string_view bytes,
                                    const midi::Chunk& data) {
  const size_t at = data.begin;
  if (data.end - at < 4 || ByteAt(bytes, at) != midi::kZeroDelta ||
      ByteAt(bytes, at + 1) != midi::kMetaEvent ||
      ByteAt(bytes, at + 2) != midi::kMetaTrackName) {
    return at;
  }
  const std::optional<midi::VariableLength> length =
      midi::ReadVariableLength(bytes, at + 3, data.end);
  if (!length) return std::nullopt;
  return length->end + static_cast<size_t>(length->value);
}

[[noreturn]] void ThrowErrno() {
  throw RunTimeError(ErrorNumberFromErrno(errno));
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The whole file, up to the program's read limit.
std::string ReadAll(int fd, const std::string& path) {
  struct stat info = {};
  if (::fstat(fd, &info) == 0 &&
      static_cast<uint64_t>(info.st_size) > kMaxReadFileBytes) {
    throw RunTimeError(FileTooLarge(path, static_cast<uint64_t>(info.st_size),
                                    kMaxReadFileBytes));
  }
  std::string bytes;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowErrno();
    }
    if (got == 0) return bytes;
    bytes.append(buffer.data(), static_cast<size_t>(got));
  }
}

void WriteByteAt(int fd, std::string_view bytes, size_t offset) {
  for (;;) {
    ssize_t put =
        ::pwrite(fd, bytes.data() + offset, 1, static_cast<off_t>(offset));
    if (put == 1) return;
    if (put < 0 && errno != EINTR) ThrowErrno();
  }
}

}  // namespace

std::optional<TrackPatchPlace> FindTrackPatchPlace(std::string_view bytes,
                                                   int track, int channel) {
  if (track < 0 || track >= kTrackCount) return std::nullopt;
  std::optional<midi::Chunk> data = TrackChunk(bytes, track + 1);
  if (!data) return std::nullopt;
  std::optional<size_t> at = SkipNameEvent(bytes, *data);
  if (!at || *at > data->end || data->end - *at < 7) return std::nullopt;
  const uint8_t c = static_cast<uint8_t>(midi::ChannelIndex(channel));
  const size_t j = *at;
  if (ByteAt(bytes, j) != midi::kZeroDelta ||
      ByteAt(bytes, j + 1) != midi::kProgramChange + c ||
      ByteAt(bytes, j + 3) != midi::kZeroDelta ||
      ByteAt(bytes, j + 4) != midi::kControlChange + c ||
      ByteAt(bytes, j + 5) != midi::kPanController) {
    return std::nullopt;
  }
  return TrackPatchPlace{j + 2, j + 6};
}

int ProgramByte(int instrument) { return midi::DataByte(instrument); }

int PanByte(int64_t pan) { return midi::DataByte(pan); }

int PatchProgramsAndPans(std::string& bytes, const RedoSettings& settings) {
  int patched = 0;
  for (int t = 0; t < kTrackCount; ++t) {
    std::optional<TrackPatchPlace> place =
        FindTrackPatchPlace(bytes, t, settings.channel[t]);
    if (!place) continue;
    bytes[place->program_offset] = midi::DataByte(settings.instrument[t]);
    bytes[place->pan_offset] = midi::DataByte(settings.pan[t]);
    ++patched;
  }
  return patched;
}

int PatchMIDIFile(const std::string& path, const RedoSettings& settings) {
  if (path.empty()) throw RunTimeError(kErrFileNotFound);
  FileDescriptor file(::open(FindExistingPath(path).c_str(), O_RDWR));
  if (file.get() < 0) ThrowErrno();
  std::string bytes = ReadAll(file.get(), path);
  std::string patched_bytes = bytes;
  int patched = PatchProgramsAndPans(patched_bytes, settings);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != patched_bytes[i]) WriteByteAt(file.get(), patched_bytes, i);
  }
  return patched;
}

}  // namespace tessavar
