#pragma once
// PBKDF2-HMAC-SHA1 with the processor's SHA instructions: every WinZip AES entry derives its keys
// with 1,000 iterations for each 20 bytes of key, which cost more than decrypting the entry itself.
// The 20-byte blocks of the key are independent, so they are computed side by side (the SHA
// instructions wait on each other within one block, not across blocks), and each iteration stays
// in registers: an HMAC of a digest is two block transforms of a message whose padding is known.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// The derived key, or nothing when this processor has no SHA instructions or the salt does not
// fit one block with its index (more than 51 bytes); the caller then derives it another way.
std::optional<std::string> Pbkdf2HmacSha1Accelerated(std::string_view password, std::string_view salt, int iterations,
                                                     std::size_t length);

}  // namespace engine
