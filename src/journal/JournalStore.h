#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace im::journal {

// A place in the journal's text: a segment (line) and a column in UTF-16
// units within it.
struct TextPos {
    int line = 0;
    int column = 0;
    friend bool operator==(const TextPos&, const TextPos&) = default;
    friend auto operator<=>(const TextPos&, const TextPos&) = default;
};

// The journal: one text whose lines are separated by CR LF, kept compactly.
//
// The text is held as its segments (the pieces between line ends): a text
// that ends with a line end has an empty last segment, and the number of
// lines does not count it. Segments live as UTF-8 in chunks of a few thousand
// lines with 4-byte end offsets, so a 65-character record line costs about 70
// bytes, and reaching line i costs the same at line 10 as at line 3,000,000.
class JournalStore {
public:
    JournalStore();

    // Lines, not counting an empty last segment after a final line end.
    int lineCount() const;
    // Segments: lineCount(), plus one when the text ends with a line end
    // (or is empty).
    int segmentCount() const { return segments_; }
    bool isEmpty() const { return segments_ == 1 && lineBytes(0).isEmpty(); }
    bool endsWithLineEnd() const { return segments_ > 1 && lineBytes(segments_ - 1).isEmpty(); }

    // The line's UTF-8 bytes; empty for an index outside the text.
    QByteArrayView lineBytes(int index) const;
    QString line(int index) const;
    // At most the first `characters` characters of the line, decoded from
    // no more bytes than they take: a view of a line of 100 MB costs what
    // the part it shows does.
    QString lineStart(int index, int characters) const;
    int lineLength(int index) const;  // in UTF-16 units

    // Calls visit with the UTF-8 bytes of every segment, first to last;
    // cheaper than lineBytes() for each index.
    template <typename Visit>
    void forEachSegment(Visit&& visit) const {
        forEachSegmentIn(0, segments_, visit);
    }

    // The same for the segments from `from` up to, not including, `to`.
    template <typename Visit>
    void forEachSegmentIn(int from, int to, Visit&& visit) const {
        if (from >= to) {
            return;
        }
        auto [c, i] = locate(from);
        for (int s = from; s < to; ++c, i = 0) {
            const Chunk& chunk = chunks_[std::size_t(c)];
            for (; i < chunk.size() && s < to; ++i, ++s) {
                visit(chunk.segment(i));
            }
        }
    }

    // Appends a record line: after a final line end (or to an empty text)
    // the line comes with a line end of its own; otherwise a line end goes
    // before it and none after. Returns the number of lines.
    int append(const QString& line);

    void clear();

    // Replaces the whole text by lines written one after another, with one
    // change for the observer at commit(); nothing changes without it.
    class Rebuild;

    // Replaces the whole text by a file's bytes: CR LF stays, every other CR
    // and every other LF becomes CR LF; a line end at the very end adds no
    // line.
    void setFileBytes(QByteArrayView bytes);
    // Replaces the whole text by another store's (which is left empty), as
    // setFileBytes does: a file is split into lines on another thread, and
    // handed over here in no time.
    void takeTextOf(JournalStore& loaded);
    // Appends another store's text (which is left empty) to this one, which
    // must end with a line end: the two halves of a file split on two
    // threads become one text without a copy. Chunks keep their ids.
    void joinText(JournalStore& tail);
    // The text exactly as held, lines separated by CR LF.
    QByteArray toBytes() const;
    qint64 byteSize() const;

    // Editing: the text between two positions, and its replacement by text
    // whose line breaks may be LF, CR or CR LF. Replacing nothing by nothing
    // is no change: the text, the modified flag and the revision stay.
    QString textBetween(TextPos from, TextPos to) const;
    TextPos replace(TextPos from, TextPos to, const QString& text);
    TextPos endPos() const;
    TextPos clamp(TextPos p) const;

    // Set by every change of the text; cleared by the owner.
    bool modified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    // Called after every change of the text.
    std::function<void()> onChanged;

    // Changes whenever a line that was there before may have changed (an
    // edit, a clear, a load); appending leaves it, so what readers derived
    // from earlier lines stays valid.
    quint64 revision() const { return revision_; }

    // The index of a line with the most characters (the first of them), for
    // the width of a view. Kept up to date by appends at no cost; after an
    // edit or a load it is found again once.
    int widestLine() const;

    // The chunks the segments live in, for readers that keep something per
    // chunk: a chunk keeps its id while only appends change it (they add
    // segments at its end and may fill its last, empty one); a chunk an edit
    // or a load rewrites gets a new id, never used before in the process.
    struct ChunkInfo {
        quint64 id = 0;
        int firstSegment = 0;
        int segments = 0;
    };
    int chunkCount() const { return static_cast<int>(chunks_.size()); }
    ChunkInfo chunkInfo(int chunk) const;

private:
    struct Chunk {
        Chunk();
        quint64 id;
        QByteArray bytes;
        std::vector<quint32> ends;  // end offset of each segment in bytes
        int widest = 0;             // characters of its longest segment
        int size() const { return static_cast<int>(ends.size()); }
        QByteArrayView segment(int i) const;
    };

    // Chunk and index within it of a segment.
    std::pair<int, int> locate(int segment) const;
    void rebuildIndex();
    void pushSegment(QByteArrayView bytes);
    // The chunk a new segment goes to, started (with room for about as many
    // bytes as the one before) when the last one is full.
    static Chunk& openChunk(std::vector<Chunk>& chunks, std::vector<int>& firstSegment,
                            int segments);
    void setSegments(std::vector<QByteArray>&& lines, int at, int removeCount);
    void notify();
    static int characterCount(QByteArrayView utf8);
    void noteWidth(Chunk& chunk, int segment, QByteArrayView bytes);

    std::vector<Chunk> chunks_;
    std::vector<int> firstSegment_;  // of each chunk
    int segments_ = 0;
    bool modified_ = false;
    quint64 revision_ = 0;
    mutable bool widestKnown_ = false;
    mutable int widestIndex_ = 0;
    mutable int widestCharacters_ = 0;
};

class JournalStore::Rebuild {
public:
    explicit Rebuild(JournalStore& target);
    // Adds to the line being written.
    void append(QByteArrayView piece) { chunk_->bytes.append(piece.data(), piece.size()); }
    void append(char c) { chunk_->bytes.append(c); }
    // Ends the line with a line end; a new, empty line is being written.
    void endLine();
    // Adds a file's bytes as they arrive, a block at a time: CR LF, a lone
    // CR and a lone LF each end a line, also when a CR LF is split between
    // two blocks.
    void appendFileBytes(QByteArrayView block);
    void commit();

private:
    bool afterCr_ = false;  // the last block ended with a CR
    JournalStore& target_;
    JournalStore::Chunk* chunk_ = nullptr;
    qsizetype begin_ = 0;
    std::vector<JournalStore::Chunk> chunks_;
    std::vector<int> firstSegment_;
    int segments_ = 0;
};

}  // namespace im::journal
