// The SHA-256 of a byte span as 64 lower-case hex digits (nettle's hash), as the bitmap tests
// and vantu-bmpdump print the pixels of a decoded picture.
#pragma once

#include <nettle/sha2.h>

#include <cstdint>
#include <span>
#include <string>

inline std::string sha256Hex(std::span<const std::uint8_t> bytes) {
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, bytes.size(), bytes.data());
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&context, SHA256_DIGEST_SIZE, digest);
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += "0123456789abcdef"[byte >> 4];
        hex += "0123456789abcdef"[byte & 15];
    }
    return hex;
}
