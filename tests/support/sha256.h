// SHA-256 of a byte string, as lower-case hex, for the golden-file tests.
#ifndef TESSAVAR_TESTS_SUPPORT_SHA256_H_
#define TESSAVAR_TESTS_SUPPORT_SHA256_H_

#include <string>
#include <string_view>

namespace tessavar::testing {

std::string Sha256Hex(std::string_view bytes);

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_SHA256_H_
