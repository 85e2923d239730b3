// Little-endian reads and writes of unsigned fields, the byte order of Organya files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tromel {

inline uint32_t readLE(const uint8_t* bytes, std::size_t size) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return value;
}

inline void appendLE(std::vector<uint8_t>& out, uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace tromel
