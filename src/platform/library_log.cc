#include "platform/library_log.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <jack/jack.h>

#include <array>

namespace tessavar {
namespace {

constexpr std::array<int, 5> kFluidLevels = {FLUID_PANIC, FLUID_ERR, FLUID_WARN,
                                             FLUID_INFO, FLUID_DBG};

void DropAlsaMessage(const char* /*file*/, int /*line*/,
                     const char* /*function*/, int /*err*/,
                     const char* /*format*/, ...) {}

void DropJackMessage(const char* /*message*/) {}

}  // namespace

LibraryLog::LibraryLog() {
  for (int level : kFluidLevels) {
    fluid_set_log_function(level, FluidMessage, this);
  }
  snd_lib_error_set_handler(DropAlsaMessage);
  jack_set_error_function(DropJackMessage);
  jack_set_info_function(DropJackMessage);
}

LibraryLog::~LibraryLog() {
  // Nothing may call into a log that is gone.
  for (int level : kFluidLevels)
    fluid_set_log_function(level, nullptr, nullptr);
}

std::string LibraryLog::TakeLastError() {
  std::lock_guard lock(mutex_);
  std::string error = std::move(last_error_);
  last_error_.clear();
  return error;
}

void LibraryLog::FluidMessage(int level, const char* message, void* data) {
  if ((level != FLUID_PANIC && level != FLUID_ERR) || message == nullptr) {
    return;
  }
  auto* log = static_cast<LibraryLog*>(data);
  std::lock_guard lock(log->mutex_);
  log->last_error_ = message;
}

}  // namespace tessavar
