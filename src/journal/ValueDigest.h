#pragma once

#include "journal/JournalStore.h"

#include <QChar>

#include <array>
#include <vector>

namespace im::journal {

// T1, T2 and HM of every journal line in tenths, with their minimum and
// maximum and the number of lines that have them per block of lines: what
// a picture of the whole journal needs, whatever its length. A line has
// values when the chart would plot it: T1, T2, T3 and HM all numbers.
//
// It follows a journal through sync(), which reads only what changed since
// the last one: the new lines after appends, the chunks an edit rewrote
// (the blocks from there are summed again from the kept values), everything
// after a clear or a load.
class ValueDigest {
public:
    static constexpr int kBlockLines = 64;
    enum Value { T1, T2, HM };
    static constexpr int kValues = 3;

    // Values beyond what tenths in 16 bits hold are kept at these ends:
    // they are far off any picture either way.
    static constexpr int kLargest = 32767;

    struct Range {
        int count = 0;  // lines with values
        std::array<int, kValues> min{};
        std::array<int, kValues> max{};
        void add(const std::array<qint16, kValues>& values);
        void add(const Range& other);
    };

    explicit ValueDigest(QChar decimalSeparator) : separator_(decimalSeparator) {}

    // Brings the digest in step with the journal. Returns the first line
    // whose values may have changed: lineCount() when nothing did.
    int sync(const JournalStore& journal);

    // Joins the digest of the lines that follow this digest's in `joined`,
    // a text made of this digest's journal and the tail's by
    // JournalStore::joinText: two halves of a file digested side by side.
    void join(ValueDigest&& tail, const JournalStore& joined);

    QChar separator() const { return separator_; }
    // Lines digested: the journal's lineCount() at the last sync().
    int lineCount() const { return static_cast<int>(values_.size()); }
    bool hasValues(int line) const { return values_[std::size_t(line)][0] != kNone; }
    // Tenths; only for a line that hasValues().
    int value(int line, Value which) const { return values_[std::size_t(line)][which]; }

    // Over the lines from `from` up to, not including, `to`: whole blocks
    // from their sums, the lines at both ends one by one.
    Range range(int from, int to) const;

private:
    static constexpr qint16 kNone = -32768;
    using Values = std::array<qint16, kValues>;

    Values read(QByteArrayView line) const;
    // The blocks that hold lines from `from` up to `to`, summed again.
    void sumBlocks(int from, int to);
    void noteChunks(const JournalStore& journal);

    QChar separator_;
    std::vector<Values> values_;
    std::vector<Range> blocks_;
    // The chunks digested: their ids and how many of their segments.
    std::vector<quint64> chunkIds_;
    std::vector<int> chunkLines_;
};

// The alarm bands of T1, T2 and HM as the main window's boxes hold them, all
// in tenths (the humidity's whole percent times ten), and the alarms' rule:
// reaching a limit is already outside.
struct ValueBands {
    std::array<int, ValueDigest::kValues> high{390, 390, 900};
    std::array<int, ValueDigest::kValues> low{350, 350, 300};
    bool outside(ValueDigest::Value v, int tenths) const {
        return tenths >= high[v] || tenths <= low[v];
    }
    friend bool operator==(const ValueBands&, const ValueBands&) = default;
};

}  // namespace im::journal
