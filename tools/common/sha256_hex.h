// The SHA-256 of a byte span as 64 lower-case hex digits (nettle's hash; Windows' CNG in the
// Windows build), as the bitmap tests and vantu-bmpdump print the pixels of a decoded picture.
#pragma once

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// after windows.h
#include <bcrypt.h>
#else
#include <nettle/sha2.h>
#endif

#include <cstdint>
#include <span>
#include <string>

inline std::string sha256Hex(std::span<const std::uint8_t> bytes) {
    std::uint8_t digest[32];
#ifdef _WIN32
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    const bool done =
        BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) >= 0 &&
        BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) >= 0 &&
        BCryptHashData(hash, const_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(bytes.size()),
                       0) >= 0 &&
        BCryptFinishHash(hash, digest, sizeof digest, 0) >= 0;
    if (hash != nullptr) {
        BCryptDestroyHash(hash);
    }
    if (algorithm != nullptr) {
        BCryptCloseAlgorithmProvider(algorithm, 0);
    }
    if (!done) {
        return "no SHA-256";
    }
#else
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, bytes.size(), bytes.data());
    sha256_digest(&context, sizeof digest, digest);
#endif
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += "0123456789abcdef"[byte >> 4];
        hex += "0123456789abcdef"[byte & 15];
    }
    return hex;
}
