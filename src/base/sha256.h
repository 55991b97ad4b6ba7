// SHA-256 of a byte string, as lower-case hex: the golden hashes and the
// manifests of the command-line composer.
#ifndef TESSAVAR_BASE_SHA256_H_
#define TESSAVAR_BASE_SHA256_H_

#include <string>
#include <string_view>

namespace tessavar {

std::string Sha256Hex(std::string_view bytes);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_SHA256_H_
