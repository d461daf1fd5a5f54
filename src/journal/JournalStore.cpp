#include "journal/JournalStore.h"

#include "journal/RecordLine.h"

#include <QStringList>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

namespace im::journal {

namespace {

// Segments per chunk: small enough that an edit rewrites little, large enough
// that the chunk index stays short (about 730 entries at 3,000,000 lines).
constexpr int kChunkSegments = 4096;
constexpr qsizetype kFirstChunkBytes = 16 * 1024;

const QByteArray kLineEnd("\r\n");

// Chunks are also made on the loading threads.
std::atomic<quint64> nextChunkId{1};

// The first CR or LF from p on, or end: eight bytes at a time, as a month of
// lines is split while it is read.
const char* nextLineEnd(const char* p, const char* end) {
    constexpr quint64 kOnes = 0x0101010101010101ULL;
    constexpr quint64 kHighs = 0x8080808080808080ULL;
    for (; end - p >= 8; p += 8) {
        quint64 w;
        std::memcpy(&w, p, 8);
        // A zero byte of w ^ c marks a byte equal to c; the lowest mark of
        // this test is exact, and the lowest is the one wanted.
        const quint64 cr = w ^ (kOnes * '\r');
        const quint64 lf = w ^ (kOnes * '\n');
        const quint64 marks = ((cr - kOnes) & ~cr & kHighs) | ((lf - kOnes) & ~lf & kHighs);
        if (marks != 0) {
            if constexpr (std::endian::native == std::endian::little) {
                return p + std::countr_zero(marks) / 8;
            } else {
                return p + std::countl_zero(marks) / 8;
            }
        }
    }
    while (p < end && *p != '\r' && *p != '\n') {
        ++p;
    }
    return p;
}

}  // namespace

JournalStore::Chunk::Chunk() : id(nextChunkId++) {}

JournalStore::ChunkInfo JournalStore::chunkInfo(int chunk) const {
    const auto c = static_cast<std::size_t>(chunk);
    return {chunks_[c].id, firstSegment_[c], chunks_[c].size()};
}

QByteArrayView JournalStore::Chunk::segment(int i) const {
    const quint32 begin = i == 0 ? 0 : ends[static_cast<std::size_t>(i - 1)];
    const quint32 end = ends[static_cast<std::size_t>(i)];
    return QByteArrayView(bytes.constData() + begin, end - begin);
}

JournalStore::JournalStore() {
    clear();
}

int JournalStore::lineCount() const {
    return endsWithLineEnd() || isEmpty() ? segments_ - 1 : segments_;
}

std::pair<int, int> JournalStore::locate(int segment) const {
    const int last = static_cast<int>(chunks_.size()) - 1;
    if (segment >= firstSegment_[static_cast<std::size_t>(last)]) {
        return {last, segment - firstSegment_[static_cast<std::size_t>(last)]};
    }
    const auto it = std::upper_bound(firstSegment_.begin(), firstSegment_.end(), segment);
    const int chunk = static_cast<int>(it - firstSegment_.begin()) - 1;
    return {chunk, segment - firstSegment_[static_cast<std::size_t>(chunk)]};
}

QByteArrayView JournalStore::lineBytes(int index) const {
    if (index < 0 || index >= segments_) {
        return {};
    }
    const auto [chunk, i] = locate(index);
    return chunks_[static_cast<std::size_t>(chunk)].segment(i);
}

QString JournalStore::line(int index) const {
    const QByteArrayView bytes = lineBytes(index);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

QString JournalStore::lineStart(int index, int characters) const {
    const QByteArrayView bytes = lineBytes(index);
    qsizetype end = 0;
    for (int seen = 0; end < bytes.size(); ++end) {
        // A character starts at every byte that is not a continuation byte.
        if ((static_cast<unsigned char>(bytes[end]) & 0xC0) != 0x80 && seen++ == characters) {
            break;
        }
    }
    return QString::fromUtf8(bytes.data(), end);
}

int JournalStore::lineLength(int index) const {
    const QByteArrayView bytes = lineBytes(index);
    return isAscii(bytes) ? static_cast<int>(bytes.size()) : static_cast<int>(line(index).size());
}

int JournalStore::characterCount(QByteArrayView bytes) {
    // Every byte that is not a UTF-8 continuation byte (10xxxxxx) starts a
    // character; eight bytes at a time, as reports count a million lines.
    const char* p = bytes.data();
    qsizetype n = bytes.size();
    int continuations = 0;
    for (; n >= 8; p += 8, n -= 8) {
        quint64 w;
        std::memcpy(&w, p, 8);
        // One bit per continuation byte at its lowest place, summed by the
        // multiplication into the top byte.
        const quint64 marks = ((w & ~(w << 1)) >> 7) & 0x0101010101010101ULL;
        continuations += static_cast<int>((marks * 0x0101010101010101ULL) >> 56);
    }
    for (; n > 0; ++p, --n) {
        continuations += (static_cast<unsigned char>(*p) & 0xC0) == 0x80;
    }
    return static_cast<int>(bytes.size()) - continuations;
}

void JournalStore::noteWidth(Chunk& chunk, int segment, QByteArrayView bytes) {
    const int characters = characterCount(bytes);
    chunk.widest = std::max(chunk.widest, characters);
    if (widestKnown_ && characters > widestCharacters_) {
        widestCharacters_ = characters;
        widestIndex_ = segment;
    }
}

int JournalStore::widestLine() const {
    if (!widestKnown_) {
        // After an edit or a load: the chunk with the longest line, then the
        // line in it. Appends keep the answer up to date from here on.
        std::size_t best = 0;
        for (std::size_t c = 1; c < chunks_.size(); ++c) {
            if (chunks_[c].widest > chunks_[best].widest) {
                best = c;
            }
        }
        const Chunk& chunk = chunks_[best];
        widestIndex_ = firstSegment_[best];
        widestCharacters_ = 0;
        for (int i = 0; i < chunk.size(); ++i) {
            const int characters = characterCount(chunk.segment(i));
            if (characters > widestCharacters_) {
                widestCharacters_ = characters;
                widestIndex_ = firstSegment_[best] + i;
            }
        }
        widestKnown_ = true;
    }
    return widestIndex_;
}

JournalStore::Chunk& JournalStore::openChunk(std::vector<Chunk>& chunks,
                                             std::vector<int>& firstSegment, int segments) {
    if (!chunks.empty() && chunks.back().size() < kChunkSegments) {
        return chunks.back();
    }
    qsizetype room = kFirstChunkBytes;
    if (!chunks.empty()) {
        Chunk& full = chunks.back();
        const qsizetype size = full.bytes.size();
        if (full.bytes.capacity() - size > size / 8) {
            full.bytes.squeeze();
        }
        full.ends.shrink_to_fit();
        room = size + size / 16;
    }
    // Reserved once: growing a chunk's bytes line by line would copy them
    // again and again.
    firstSegment.push_back(segments);
    chunks.emplace_back();
    chunks.back().ends.reserve(kChunkSegments);
    chunks.back().bytes.reserve(room);
    return chunks.back();
}

void JournalStore::pushSegment(QByteArrayView bytes) {
    Chunk& c = openChunk(chunks_, firstSegment_, segments_);
    c.bytes.append(bytes.data(), bytes.size());
    c.ends.push_back(static_cast<quint32>(c.bytes.size()));
    noteWidth(c, segments_, bytes);
    ++segments_;
}

JournalStore::Rebuild::Rebuild(JournalStore& target) : target_(target) {
    chunk_ = &openChunk(chunks_, firstSegment_, segments_);
}

void JournalStore::Rebuild::endLine() {
    chunk_->ends.push_back(static_cast<quint32>(chunk_->bytes.size()));
    // A line has no more characters than bytes: only one longer in bytes
    // than the chunk's widest can be wider, so most lines are not counted.
    if (chunk_->bytes.size() - begin_ > chunk_->widest) {
        chunk_->widest =
            std::max(chunk_->widest, characterCount(QByteArrayView(chunk_->bytes).sliced(begin_)));
    }
    ++segments_;
    chunk_ = &openChunk(chunks_, firstSegment_, segments_);
    begin_ = chunk_->bytes.size();
}

void JournalStore::Rebuild::appendFileBytes(QByteArrayView block) {
    const char* p = block.data();
    const char* end = p + block.size();
    if (afterCr_ && p < end && *p == '\n') {
        ++p;  // the LF of a CR LF that the block before ended in the middle of
    }
    afterCr_ = false;
    for (const char* at = nextLineEnd(p, end); at < end; at = nextLineEnd(p, end)) {
        append(QByteArrayView(p, at - p));
        endLine();
        p = at + 1;
        if (*at == '\r') {
            if (p == end) {
                afterCr_ = true;
            } else if (*p == '\n') {
                ++p;
            }
        }
    }
    append(QByteArrayView(p, end - p));
}

void JournalStore::Rebuild::commit() {
    // The line being written is the last segment: empty after a final line end.
    chunk_->ends.push_back(static_cast<quint32>(chunk_->bytes.size()));
    chunk_->widest =
        std::max(chunk_->widest, characterCount(QByteArrayView(chunk_->bytes).sliced(begin_)));
    ++segments_;
    target_.chunks_ = std::move(chunks_);
    target_.firstSegment_ = std::move(firstSegment_);
    target_.segments_ = segments_;
    target_.widestKnown_ = false;
    target_.modified_ = false;
    ++target_.revision_;
    target_.notify();
}

int JournalStore::append(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    Chunk& last = chunks_.back();
    if (last.segment(last.size() - 1).isEmpty()) {
        // Fill the empty last segment, then end the line.
        last.bytes.append(bytes);
        last.ends.back() = static_cast<quint32>(last.bytes.size());
        noteWidth(last, segments_ - 1, bytes);
        pushSegment({});
    } else {
        pushSegment(bytes);
    }
    modified_ = true;
    notify();
    return lineCount();
}

void JournalStore::clear() {
    chunks_.clear();
    firstSegment_.clear();
    segments_ = 0;
    widestKnown_ = false;
    pushSegment({});
    modified_ = false;
    ++revision_;
    notify();
}

void JournalStore::setFileBytes(QByteArrayView bytes) {
    Rebuild text(*this);
    text.appendFileBytes(bytes);
    text.commit();
}

void JournalStore::takeTextOf(JournalStore& loaded) {
    chunks_ = std::move(loaded.chunks_);
    firstSegment_ = std::move(loaded.firstSegment_);
    segments_ = loaded.segments_;
    widestKnown_ = false;
    loaded.clear();
    modified_ = false;
    ++revision_;
    notify();
}

void JournalStore::joinText(JournalStore& tail) {
    // This text's last segment, the empty one after its final line end,
    // is where the tail's first line goes.
    Chunk& last = chunks_.back();
    last.ends.pop_back();
    if (last.ends.empty()) {
        chunks_.pop_back();
    }
    for (Chunk& c : tail.chunks_) {
        chunks_.push_back(std::move(c));
    }
    rebuildIndex();
    widestKnown_ = false;
    tail.clear();
    ++revision_;
    notify();
}

qint64 JournalStore::byteSize() const {
    qint64 size = 2 * qint64(segments_ - 1);
    for (const Chunk& c : chunks_) {
        size += c.bytes.size();
    }
    return size;
}

QByteArray JournalStore::toBytes() const {
    QByteArray out;
    out.reserve(byteSize());
    for (int s = 0; s < segments_; ++s) {
        if (s > 0) {
            out += kLineEnd;
        }
        const QByteArrayView seg = lineBytes(s);
        out.append(seg.data(), seg.size());
    }
    return out;
}

TextPos JournalStore::endPos() const {
    return {segments_ - 1, lineLength(segments_ - 1)};
}

TextPos JournalStore::clamp(TextPos p) const {
    p.line = std::clamp(p.line, 0, segments_ - 1);
    p.column = std::clamp(p.column, 0, lineLength(p.line));
    return p;
}

QString JournalStore::textBetween(TextPos from, TextPos to) const {
    from = clamp(from);
    to = clamp(to);
    if (to < from) {
        std::swap(from, to);
    }
    if (from.line == to.line) {
        return line(from.line).mid(from.column, to.column - from.column);
    }
    QString text = line(from.line).mid(from.column);
    for (int s = from.line + 1; s < to.line; ++s) {
        text += QLatin1Char('\n') + line(s);
    }
    text += QLatin1Char('\n') + line(to.line).left(to.column);
    return text;
}

TextPos JournalStore::replace(TextPos from, TextPos to, const QString& text) {
    from = clamp(from);
    to = clamp(to);
    if (to < from) {
        std::swap(from, to);
    }
    if (from == to && text.isEmpty()) {
        return from;  // nothing removed, nothing added: no change to tell
    }
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList parts = normalised.split(QLatin1Char('\n'));
    const QString prefix = line(from.line).left(from.column);
    const QString suffix = line(to.line).mid(to.column);
    const int lastLength = static_cast<int>(parts.last().size()) +
                           (parts.size() == 1 ? static_cast<int>(prefix.size()) : 0);
    parts.first().prepend(prefix);
    parts.last().append(suffix);
    std::vector<QByteArray> lines;
    lines.reserve(static_cast<std::size_t>(parts.size()));
    for (const QString& part : parts) {
        lines.push_back(part.toUtf8());
    }
    const TextPos after{from.line + static_cast<int>(parts.size()) - 1, lastLength};
    setSegments(std::move(lines), from.line, to.line - from.line + 1);
    widestKnown_ = false;
    modified_ = true;
    ++revision_;
    notify();
    return after;
}

void JournalStore::setSegments(std::vector<QByteArray>&& lines, int at, int removeCount) {
    const auto [firstChunk, firstIndex] = locate(at);
    const auto [lastChunk, lastIndex] = locate(at + removeCount - 1);
    // The segments of the touched chunks around the replaced run, with the
    // new ones in between, become fresh chunks.
    std::vector<QByteArray> rebuilt;
    const Chunk& head = chunks_[static_cast<std::size_t>(firstChunk)];
    for (int i = 0; i < firstIndex; ++i) {
        rebuilt.emplace_back(head.segment(i).toByteArray());
    }
    for (QByteArray& l : lines) {
        rebuilt.push_back(std::move(l));
    }
    const Chunk& tail = chunks_[static_cast<std::size_t>(lastChunk)];
    for (int i = lastIndex + 1; i < tail.size(); ++i) {
        rebuilt.emplace_back(tail.segment(i).toByteArray());
    }
    std::vector<Chunk> fresh;
    for (std::size_t i = 0; i < rebuilt.size(); ++i) {
        if (fresh.empty() || fresh.back().size() >= kChunkSegments) {
            fresh.emplace_back();
        }
        Chunk& c = fresh.back();
        c.bytes.append(rebuilt[i]);
        c.ends.push_back(static_cast<quint32>(c.bytes.size()));
        c.widest = std::max(c.widest, characterCount(rebuilt[i]));
    }
    chunks_.erase(chunks_.begin() + firstChunk, chunks_.begin() + lastChunk + 1);
    chunks_.insert(chunks_.begin() + firstChunk, std::make_move_iterator(fresh.begin()),
                   std::make_move_iterator(fresh.end()));
    rebuildIndex();
}

void JournalStore::rebuildIndex() {
    firstSegment_.clear();
    int total = 0;
    for (const Chunk& c : chunks_) {
        firstSegment_.push_back(total);
        total += c.size();
    }
    segments_ = total;
}

void JournalStore::notify() {
    if (onChanged) {
        onChanged();
    }
}

}  // namespace im::journal
