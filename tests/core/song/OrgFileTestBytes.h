// Builds Organya file images byte by byte for the reader and writer tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tromel::test {

struct FileNote {
    uint32_t step;
    uint8_t key, length, volume, pan;
};

class OrgBytes {
public:
    OrgBytes() : m_bytes(114, 0) {
        const std::string magic = "Org-02";
        std::copy(magic.begin(), magic.end(), m_bytes.begin());
        put(6, 128, 2);
        put(8, 4, 1);
        put(9, 4, 1);
        put(14, 1600, 4);
    }

    OrgBytes& put(std::size_t offset, uint32_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            m_bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        return *this;
    }

    // Channel block 0..15 (instruments 0..7, drums 8..15) with its note data appended in order;
    // call in block order.
    OrgBytes& channel(int block, std::initializer_list<FileNote> notes, uint32_t countField = ~0u) {
        put(18 + 6 * block + 4, countField == ~0u ? static_cast<uint32_t>(notes.size()) : countField, 2);
        for (const FileNote& n : notes)
            for (int i = 0; i < 4; ++i)
                m_bytes.push_back(static_cast<uint8_t>(n.step >> (8 * i)));
        for (uint8_t FileNote::*field : {&FileNote::key, &FileNote::length, &FileNote::volume, &FileNote::pan})
            for (const FileNote& n : notes)
                m_bytes.push_back(n.*field);
        return *this;
    }

    std::vector<uint8_t>& bytes() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

}  // namespace tromel::test
