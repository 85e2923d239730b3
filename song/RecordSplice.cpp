// The difference between two versions of a channel's records, as a list of splices.
#include "song/RecordSplice.h"

#include <algorithm>

namespace tromel {
namespace {

// Below this many differing records a single splice is as small as a finer one.
constexpr std::size_t smallMiddle = 32;
// How far the walk looks among records sharing a position before it gives one up as removed.
constexpr std::size_t samePositionReach = 64;

// Live records in ascending position, then only empty slots: the shape sortNotes leaves.
bool isTidy(std::span<const NoteRec> records) {
    bool emptySeen = false;
    int32_t last = 0;
    for (const NoteRec& record : records) {
        if (record.isEmpty()) {
            emptySeen = true;
            continue;
        }
        if (emptySeen || record.position < last)
            return false;
        last = record.position;
    }
    return true;
}

// Builds splices while walking both sequences; records are either kept or go into the open splice.
class SpliceBuilder {
public:
    explicit SpliceBuilder(std::size_t offset) : m_offset(offset) {}

    void keep() { close(); }
    void remove(const NoteRec& record, std::size_t before, std::size_t after) {
        open(before, after).removed.push_back(record);
    }
    void insert(const NoteRec& record, std::size_t before, std::size_t after) {
        open(before, after).inserted.push_back(record);
    }
    std::vector<RecordSplice> finish() {
        close();
        return std::move(m_splices);
    }

private:
    RecordSplice& open(std::size_t before, std::size_t after) {
        if (!m_open) {
            m_splices.push_back({m_offset + before, m_offset + after, {}, {}});
            m_open = true;
        }
        return m_splices.back();
    }
    void close() { m_open = false; }

    std::size_t m_offset;
    std::vector<RecordSplice> m_splices;
    bool m_open = false;
};

// Whether `record` is still to come among the records of `to` that share its position.
bool comesLater(const NoteRec& record, std::span<const NoteRec> to, std::size_t from) {
    const std::size_t end = std::min(to.size(), from + samePositionReach);
    for (std::size_t j = from; j < end && to[j].position == record.position; ++j) {
        if (to[j] == record)
            return true;
    }
    return false;
}

// Both sequences tidy: a merge by position finds the kept records in one pass.
std::vector<RecordSplice> mergeTidy(std::span<const NoteRec> from, std::span<const NoteRec> to, std::size_t offset) {
    SpliceBuilder splices(offset);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < from.size() || j < to.size()) {
        if (i < from.size() && j < to.size() && from[i] == to[j]) {
            splices.keep();
            ++i;
            ++j;
            continue;
        }
        bool removeOld = j == to.size();
        if (i < from.size() && j < to.size()) {
            const NoteRec& old = from[i];
            const NoteRec& now = to[j];
            if (old.isEmpty() || now.isEmpty())
                removeOld = now.isEmpty();
            else if (old.position != now.position)
                removeOld = old.position < now.position;
            else
                removeOld = !comesLater(old, to, j + 1);
        }
        if (removeOld) {
            splices.remove(from[i], i, j);
            ++i;
        } else {
            splices.insert(to[j], i, j);
            ++j;
        }
    }
    return splices.finish();
}

}  // namespace

std::vector<RecordSplice> diffRecords(std::span<const NoteRec> from, std::span<const NoteRec> to) {
    const std::size_t shorter = std::min(from.size(), to.size());
    std::size_t prefix = 0;
    while (prefix < shorter && from[prefix] == to[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix && from[from.size() - 1 - suffix] == to[to.size() - 1 - suffix])
        ++suffix;
    const auto oldMiddle = from.subspan(prefix, from.size() - prefix - suffix);
    const auto newMiddle = to.subspan(prefix, to.size() - prefix - suffix);
    if (oldMiddle.empty() && newMiddle.empty())
        return {};
    if (oldMiddle.size() + newMiddle.size() > smallMiddle && isTidy(oldMiddle) && isTidy(newMiddle))
        return mergeTidy(oldMiddle, newMiddle, prefix);
    return {{prefix, prefix, {oldMiddle.begin(), oldMiddle.end()}, {newMiddle.begin(), newMiddle.end()}}};
}

std::vector<NoteRec> applyForward(std::span<const NoteRec> from, const std::vector<RecordSplice>& splices) {
    std::vector<NoteRec> out;
    out.reserve(from.size());
    std::size_t cursor = 0;
    for (const RecordSplice& splice : splices) {
        out.insert(out.end(), from.begin() + static_cast<std::ptrdiff_t>(cursor),
                   from.begin() + static_cast<std::ptrdiff_t>(splice.before));
        out.insert(out.end(), splice.inserted.begin(), splice.inserted.end());
        cursor = splice.before + splice.removed.size();
    }
    out.insert(out.end(), from.begin() + static_cast<std::ptrdiff_t>(cursor), from.end());
    return out;
}

std::vector<NoteRec> applyBackward(std::span<const NoteRec> to, const std::vector<RecordSplice>& splices) {
    std::vector<NoteRec> out;
    out.reserve(to.size());
    std::size_t cursor = 0;
    for (const RecordSplice& splice : splices) {
        out.insert(out.end(), to.begin() + static_cast<std::ptrdiff_t>(cursor),
                   to.begin() + static_cast<std::ptrdiff_t>(splice.after));
        out.insert(out.end(), splice.removed.begin(), splice.removed.end());
        cursor = splice.after + splice.inserted.size();
    }
    out.insert(out.end(), to.begin() + static_cast<std::ptrdiff_t>(cursor), to.end());
    return out;
}

}  // namespace tromel
