// A small value written by one thread and read by others without a lock: a sequence lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tromel::audio {

// The writer never waits (the audio thread may write); a reader that met a write under way
// reads again, so it sees one whole value, never halves of two. The value is kept in atomic
// words, so that no read races a write.
template <typename T>
class SeqlockValue {
    static_assert(std::is_trivially_copyable_v<T>);
    static constexpr std::size_t wordCount = (sizeof(T) + sizeof(uint64_t) - 1) / sizeof(uint64_t);

public:
    SeqlockValue() { store(T{}); }

    // [the one writing thread]
    void store(const T& value) {
        std::array<uint64_t, wordCount> words{};
        std::memcpy(words.data(), &value, sizeof(T));
        const uint32_t sequence = m_sequence.load(std::memory_order_relaxed);
        m_sequence.store(sequence + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        for (std::size_t i = 0; i < wordCount; ++i)
            m_words[i].store(words[i], std::memory_order_relaxed);
        m_sequence.store(sequence + 2, std::memory_order_release);
    }

    // [any thread]
    T load() const {
        std::array<uint64_t, wordCount> words{};
        for (;;) {
            const uint32_t before = m_sequence.load(std::memory_order_acquire);
            for (std::size_t i = 0; i < wordCount; ++i)
                words[i] = m_words[i].load(std::memory_order_relaxed);
            std::atomic_thread_fence(std::memory_order_acquire);
            if ((before & 1u) == 0 && m_sequence.load(std::memory_order_relaxed) == before)
                break;
        }
        T value;
        std::memcpy(static_cast<void*>(&value), words.data(), sizeof(T));
        return value;
    }

private:
    std::atomic<uint32_t> m_sequence{0};
    std::array<std::atomic<uint64_t>, wordCount> m_words{};
};

}  // namespace tromel::audio
