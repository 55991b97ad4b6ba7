// The status of the RunTimeError an action throws; ok when it throws none.
#ifndef TESSAVAR_TESTS_SUPPORT_THROWN_STATUS_H_
#define TESSAVAR_TESTS_SUPPORT_THROWN_STATUS_H_

#include <functional>

#include "base/status.h"

namespace tessavar::testing {

inline Status ThrownStatus(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunTimeError& error) {
    return error.status();
  }
  return Status();
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_THROWN_STATUS_H_
