// A bounded, lock-free queue between exactly one producer thread and one consumer thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

namespace tromel::audio {

// Neither side ever blocks or allocates after construction: push fails when the queue is full
// and pop fails when it is empty.
template <typename T>
class SpscQueue {
public:
    explicit SpscQueue(std::size_t capacity) : m_items(capacity + 1) {}

    // [producer thread]
    bool push(const T& item) {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        const std::size_t next = advance(tail);
        if (next == m_head.load(std::memory_order_acquire))
            return false;
        m_items[tail] = item;
        m_tail.store(next, std::memory_order_release);
        return true;
    }

    // [consumer thread] The oldest item, or null when empty; stays in the queue until pop().
    const T* front() const {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire))
            return nullptr;
        return &m_items[head];
    }

    // [consumer thread]
    bool pop(T& item) {
        const T* oldest = front();
        if (!oldest)
            return false;
        item = *oldest;
        m_head.store(advance(m_head.load(std::memory_order_relaxed)), std::memory_order_release);
        return true;
    }

private:
    std::size_t advance(std::size_t index) const { return index + 1 == m_items.size() ? 0 : index + 1; }

    std::vector<T> m_items;
    alignas(64) std::atomic<std::size_t> m_head{0};
    alignas(64) std::atomic<std::size_t> m_tail{0};
};

}  // namespace tromel::audio
