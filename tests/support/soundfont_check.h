// Tests that play or render need the system's General MIDI SoundFont; when
// it is missing they fail with a message that says how to install it.
#ifndef TESSAVAR_TESTS_SUPPORT_SOUNDFONT_CHECK_H_
#define TESSAVAR_TESTS_SUPPORT_SOUNDFONT_CHECK_H_

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/soundfont.h"

namespace tessavar::testing {

inline ::testing::AssertionResult DefaultSoundFontInstalled() {
  std::error_code ec;
  if (std::filesystem::is_regular_file(DefaultSoundFontPath(), ec)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "The General MIDI SoundFont " << DefaultSoundFontPath()
         << " is missing; install it with "
            "'apt-get install timgm6mb-soundfont'.";
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_SOUNDFONT_CHECK_H_
