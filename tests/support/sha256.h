// SHA-256 for the golden-file tests: the program's own.
#ifndef TESSAVAR_TESTS_SUPPORT_SHA256_H_
#define TESSAVAR_TESTS_SUPPORT_SHA256_H_

#include "base/sha256.h"

namespace tessavar::testing {

using tessavar::Sha256Hex;

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_SHA256_H_
