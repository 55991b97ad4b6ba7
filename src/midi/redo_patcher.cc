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

struct Range {
  size_t begin;
  size_t end;
};

uint8_t ByteAt(std::string_view bytes, size_t offset) {
  return static_cast<uint8_t>(bytes[offset]);
}

// The event data of the n-th "MTrk" chunk (0 = the tempo track), found by
// walking the chunks by their lengths; its end is cut at the end of the file.
std::optional<Range> TrackChunkData(std::string_view bytes, int n) {
  if (bytes.size() < midi::kChunkHeadSize ||
      bytes.substr(0, 4) != midi::kHeaderChunkId) {
    return std::nullopt;
  }
  uint64_t position = 0;
  int seen = 0;
  while (position + midi::kChunkHeadSize <= bytes.size()) {
    const uint64_t length =
        midi::ReadBigEndian(bytes, position + 4, midi::kChunkLengthSize);
    uint64_t data = position + midi::kChunkHeadSize;
    if (bytes.substr(position, 4) == midi::kTrackChunkId && seen++ == n) {
      return Range{data, std::min<uint64_t>(data + length, bytes.size())};
    }
    position = data + length;
  }
  return std::nullopt;
}

// Skips the track name event (00 FF 03, length, text) at the start of the
// data; returns where the next event begins, nullopt when it is cut off.
std::optional<size_t> SkipNameEvent(std::string_view bytes, Range data) {
  size_t at = data.begin;
  if (data.end - at < 4 || ByteAt(bytes, at) != midi::kZeroDelta ||
      ByteAt(bytes, at + 1) != midi::kMetaEvent ||
      ByteAt(bytes, at + 2) != midi::kMetaTrackName) {
    return at;
  }
  at += 3;
  uint64_t length = 0;
  for (int i = 0; i < 4; ++i) {
    if (at >= data.end) return std::nullopt;
    uint8_t byte = ByteAt(bytes, at++);
    length = (length << 7) | (byte & midi::kSevenBits);
    if ((byte & midi::kMoreBytesBit) == 0) return at + length;
  }
  return std::nullopt;
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
  std::optional<Range> data = TrackChunkData(bytes, track + 1);
  if (!data) return std::nullopt;
  std::optional<size_t> at = SkipNameEvent(bytes, *data);
  if (!at || *at > data->end || data->end - *at < 7) return std::nullopt;
  const uint8_t c = static_cast<uint8_t>(std::clamp(channel, 1, 16) - 1);
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
