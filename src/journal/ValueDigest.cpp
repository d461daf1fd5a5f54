#include "journal/ValueDigest.h"

#include "journal/RecordLine.h"

#include <algorithm>
#include <cmath>

namespace im::journal {

void ValueDigest::Range::add(const std::array<qint16, kValues>& values) {
    for (std::size_t v = 0; v < kValues; ++v) {
        min[v] = count == 0 ? values[v] : std::min<int>(min[v], values[v]);
        max[v] = count == 0 ? values[v] : std::max<int>(max[v], values[v]);
    }
    ++count;
}

void ValueDigest::Range::add(const Range& other) {
    if (other.count == 0) {
        return;
    }
    for (std::size_t v = 0; v < kValues; ++v) {
        min[v] = count == 0 ? other.min[v] : std::min(min[v], other.min[v]);
        max[v] = count == 0 ? other.max[v] : std::max(max[v], other.max[v]);
    }
    count += other.count;
}

ValueDigest::Values ValueDigest::read(QByteArrayView line) const {
    Values values;
    values.fill(kNone);
    if (line.isEmpty()) {
        return values;
    }
    const std::optional<std::array<double, 4>> read =
        withLineText(line, [this](auto text) { return lineValues(text, separator_); });
    if (read) {
        // T1, T2 and HM of the four; T3 is not pictured.
        for (const auto& [which, field] : {std::pair{T1, 0}, {T2, 1}, {HM, 3}}) {
            values[which] = static_cast<qint16>(std::clamp(
                std::round((*read)[std::size_t(field)] * 10), double(-kLargest), double(kLargest)));
        }
    }
    return values;
}

int ValueDigest::sync(const JournalStore& journal) {
    const int lines = journal.lineCount();
    const int chunks = journal.chunkCount();
    const int oldChunks = static_cast<int>(chunkIds_.size());
    // The lines a chunk has for the digest: the journal's last segment is
    // left out while it is empty, as an append may still fill it.
    auto digestible = [lines](const JournalStore::ChunkInfo& c) {
        return std::clamp(lines - c.firstSegment, 0, c.segments);
    };

    // The chunks in front that are as digested; the first one that is not
    // is where reading starts (in it, after what was digested, if it only
    // grew).
    int front = 0;
    int dirty = -1;
    for (; front < std::min(chunks, oldChunks); ++front) {
        const JournalStore::ChunkInfo c = journal.chunkInfo(front);
        const int had = chunkLines_[std::size_t(front)];
        if (c.id != chunkIds_[std::size_t(front)]) {
            dirty = c.firstSegment;
            break;
        }
        if (had != digestible(c)) {
            dirty = c.firstSegment + had;
            break;
        }
    }
    if (dirty < 0) {
        if (front == chunks && front == oldChunks) {
            return lineCount();  // nothing changed
        }
        dirty = front < chunks ? journal.chunkInfo(front).firstSegment : lines;
    }
    // The chunks at the back that an edit in front of them left alone.
    int tailLines = 0;
    for (int back = 1; back <= std::min(chunks, oldChunks) - front - 1; ++back) {
        const JournalStore::ChunkInfo c = journal.chunkInfo(chunks - back);
        const std::size_t old = std::size_t(oldChunks - back);
        if (c.id != chunkIds_[old] || chunkLines_[old] != digestible(c)) {
            break;
        }
        tailLines += chunkLines_[old];
    }

    const int oldLines = lineCount();
    const int readEnd = lines - tailLines;
    // The lines between make room for the new ones and are read into it.
    const auto at = values_.begin() + dirty;
    const int kept = oldLines - tailLines - dirty;
    const int readCount = std::max(readEnd - dirty, 0);
    if (readCount < kept) {
        values_.erase(at + readCount, at + kept);
    } else {
        values_.insert(at + kept, std::size_t(readCount - kept), Values{});
    }
    auto slot = values_.begin() + dirty;
    journal.forEachSegmentIn(dirty, readEnd, [&](QByteArrayView line) { *slot++ = read(line); });

    // Blocks from the first changed one; to the end when lines moved.
    const int sumEnd = lines == oldLines ? readEnd : lines;
    const int blocks = (lines + kBlockLines - 1) / kBlockLines;
    blocks_.resize(std::size_t(blocks));
    for (int b = dirty / kBlockLines; b * kBlockLines < sumEnd; ++b) {
        Range sum;
        for (int i = b * kBlockLines; i < std::min(lines, (b + 1) * kBlockLines); ++i) {
            if (hasValues(i)) {
                sum.add(values_[std::size_t(i)]);
            }
        }
        blocks_[std::size_t(b)] = sum;
    }

    chunkIds_.resize(std::size_t(chunks));
    chunkLines_.resize(std::size_t(chunks));
    for (int c = 0; c < chunks; ++c) {
        const JournalStore::ChunkInfo info = journal.chunkInfo(c);
        chunkIds_[std::size_t(c)] = info.id;
        chunkLines_[std::size_t(c)] = digestible(info);
    }
    return dirty;
}

ValueDigest::Range ValueDigest::range(int from, int to) const {
    from = std::max(from, 0);
    to = std::min(to, lineCount());
    Range sum;
    auto addLine = [this, &sum](int i) {
        if (hasValues(i)) {
            sum.add(values_[std::size_t(i)]);
        }
    };
    int i = from;
    for (; i < to && i % kBlockLines != 0; ++i) {
        addLine(i);
    }
    for (; i + kBlockLines <= to; i += kBlockLines) {
        sum.add(blocks_[std::size_t(i / kBlockLines)]);
    }
    for (; i < to; ++i) {
        addLine(i);
    }
    return sum;
}

}  // namespace im::journal
