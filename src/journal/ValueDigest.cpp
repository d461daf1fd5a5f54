#include "journal/ValueDigest.h"

#include "journal/RecordLine.h"

#include <algorithm>
#include <cmath>

namespace im::journal {

namespace {

// The lines a chunk has for the digest: the journal's last segment is left
// out while it is empty, as an append may still fill it.
int digestibleLines(int lines, const JournalStore::ChunkInfo& chunk) {
    return std::clamp(lines - chunk.firstSegment, 0, chunk.segments);
}

}  // namespace

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
    if (const std::optional<std::array<int, 4>> written = writtenFormValues(line)) {
        const std::array<int, 4>& v = *written;
        return {qint16(v[0]), qint16(v[1]), qint16(v[3] * 10)};
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
    auto digestible = [lines](const JournalStore::ChunkInfo& c) {
        return digestibleLines(lines, c);
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
    sumBlocks(dirty, lines == oldLines ? readEnd : lines);
    noteChunks(journal);
    return dirty;
}

void ValueDigest::sumBlocks(int from, int to) {
    const int lines = lineCount();
    blocks_.resize(std::size_t((lines + kBlockLines - 1) / kBlockLines));
    for (int b = from / kBlockLines; b * kBlockLines < to; ++b) {
        // Plain minima and maxima: a month of lines is summed after a load.
        Range sum;
        sum.min.fill(kLargest);
        sum.max.fill(-kLargest);
        for (int i = b * kBlockLines; i < std::min(lines, (b + 1) * kBlockLines); ++i) {
            const Values& v = values_[std::size_t(i)];
            if (v[0] != kNone) {
                ++sum.count;
                for (std::size_t k = 0; k < kValues; ++k) {
                    sum.min[k] = std::min<int>(sum.min[k], v[k]);
                    sum.max[k] = std::max<int>(sum.max[k], v[k]);
                }
            }
        }
        blocks_[std::size_t(b)] = sum.count > 0 ? sum : Range{};
    }
}

void ValueDigest::noteChunks(const JournalStore& journal) {
    const int lines = journal.lineCount();
    const int chunks = journal.chunkCount();
    chunkIds_.resize(std::size_t(chunks));
    chunkLines_.resize(std::size_t(chunks));
    for (int c = 0; c < chunks; ++c) {
        const JournalStore::ChunkInfo info = journal.chunkInfo(c);
        chunkIds_[std::size_t(c)] = info.id;
        chunkLines_[std::size_t(c)] = digestibleLines(lines, info);
    }
}

void ValueDigest::join(ValueDigest&& tail, const JournalStore& joined) {
    const int head = lineCount();
    values_.insert(values_.end(), tail.values_.begin(), tail.values_.end());
    sumBlocks(head, lineCount());
    noteChunks(joined);
    tail = ValueDigest(separator_);
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
