// SHA-256 of a byte buffer, as lower-case hex, for the bitmap tools and tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>

std::string sha256Hex(std::span<const std::uint8_t> bytes);
