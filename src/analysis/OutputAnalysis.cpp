#include "analysis/OutputAnalysis.h"

#include <QCoreApplication>

#include "journal/RecordLine.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace im::analysis {

namespace {

const char* const kOffText = QT_TRANSLATE_NOOP("OutputAnalysis", "_Выключение");

const std::array<ReportKind, 7> kKinds{{
    {'L', QT_TRANSLATE_NOOP("OutputAnalysis", "- Движение лотков -"), 5,
     QT_TRANSLATE_NOOP("OutputAnalysis", "Реверс  "), 6,
     QT_TRANSLATE_NOOP("OutputAnalysis", "Движение"), Tail::None},
    {'H', QT_TRANSLATE_NOOP("OutputAnalysis", "- Влажность -"), 4,
     QT_TRANSLATE_NOOP("OutputAnalysis", "Увлажнение включено"), 0, nullptr, Tail::Humidity},
    {'D', QT_TRANSLATE_NOOP("OutputAnalysis", "- Разность между Т1 и Т2 -"), 3,
     QT_TRANSLATE_NOOP("OutputAnalysis", "Включение"), 0, nullptr, Tail::Temperatures},
    {'N', QT_TRANSLATE_NOOP("OutputAnalysis", "- Включение вывода НАГРЕВ (2) -"), 2,
     QT_TRANSLATE_NOOP("OutputAnalysis", "Включение"), 0, nullptr, Tail::Temperatures},
    {'Z', QT_TRANSLATE_NOOP("OutputAnalysis", "- Звуковая сигнализация -"), 1,
     QT_TRANSLATE_NOOP("OutputAnalysis", "Включение"), 0, nullptr, Tail::None},
    {'O', QT_TRANSLATE_NOOP("OutputAnalysis", "- Включение вывода аварийного охлаждения -"), 7,
     QT_TRANSLATE_NOOP("OutputAnalysis", "Включение"), 0, nullptr, Tail::None},
    {'A', QT_TRANSLATE_NOOP("OutputAnalysis", "- Включение вывода аварийного реле -"), 8,
     QT_TRANSLATE_NOOP("OutputAnalysis", "Включение"), 0, nullptr, Tail::None},
}};

using Rebuild = journal::JournalStore::Rebuild;

// A text of the tables in the interface's language, as UTF-8; none for none.
QByteArray translated(const char* text) {
    return text ? QCoreApplication::translate("OutputAnalysis", text).toUtf8() : QByteArray();
}

// A report line is put together here and goes to the report in one piece:
// its pieces are a few bytes each, and appending each on its own to the
// report's text costs more than the rest of the run. A line holds at most
// about 150 bytes (fields of at most eight characters, the longest event
// text, the tail), so the buffer never fills (a translated event text too
// long for it is cut).
class LineBuffer {
public:
    template <std::size_t N>
    void add(const char (&literal)[N]) {
        add(literal, N - 1);
    }
    void add(const char* text) { add(text, static_cast<qsizetype>(std::strlen(text))); }
    void add(QLatin1String text) { add(text.data(), text.size()); }
    void add(QStringView text) {
        const QByteArray utf8 = text.toUtf8();
        add(utf8.constData(), utf8.size());
    }
    void add(char c) { add(&c, 1); }
    QByteArrayView take() {
        const QByteArrayView line(bytes_, size_);
        size_ = 0;
        return line;
    }

private:
    void add(const char* p, qsizetype n) {
        n = std::min(n, qsizetype(sizeof bytes_) - size_);
        std::memcpy(bytes_ + size_, p, static_cast<std::size_t>(n));
        size_ += n;
    }

    char bytes_[256];
    qsizetype size_ = 0;
};

// One run over the journal. The event texts are translated once for the
// run and held apart, so "differs from the last reported text" is a
// comparison of pointers.
class Run {
public:
    Run(const ReportKind& kind, Rebuild& out)
        : kind_(kind),
          out_(out),
          onText_(translated(kind.onText)),
          secondText_(translated(kind.secondText)),
          offText_(translated(kOffText)) {}

    template <typename View>
    void line(View text) {
        const View outputs = journal::extractFieldView(text, QLatin1Char('='), 5, 8);
        if (outputs.size() < 8) {
            return;  // not a record line
        }
        if (outputOn(outputs, kind_.position)) {
            current_ = onText_.constData();
            on_ = true;
        } else if (outputOn(outputs, kind_.secondPosition)) {
            current_ = secondText_.constData();
            on_ = true;
        } else {
            if (on_) {
                current_ = offText_.constData();
            }
            on_ = false;
        }
        // Every event text is longer than three characters: once there is
        // one, it is reported whenever it changes.
        if (current_ != nullptr && current_ != lastReported_) {
            report(text);
        }
        if (current_ != nullptr) {
            lastReported_ = current_;
        }
    }

private:
    template <typename View>
    void report(View text) {
        // The time is the field after the date: one more round from there.
        const View fromDate = journal::extractFieldView(text, QLatin1Char(' '), 5, INT_MAX);
        line_.add(fromDate.left(8));
        line_.add("  ");
        line_.add(journal::extractFieldView(fromDate, QLatin1Char(' '), 1, 8));
        line_.add("    ");
        line_.add(current_);
        switch (kind_.tail) {
            case Tail::None:
                break;
            case Tail::Humidity:
                line_.add("  ");
                line_.add(journal::extractFieldView(text, QLatin1Char('='), 4, 2));
                line_.add('%');
                break;
            case Tail::Temperatures:
                line_.add("  T1=");
                line_.add(journal::extractFieldView(text, QLatin1Char('='), 1, 4));
                line_.add(" T2=");
                line_.add(journal::extractFieldView(text, QLatin1Char('='), 2, 4));
                break;
        }
        out_.append(line_.take());
        out_.endLine();
    }

    const ReportKind& kind_;
    Rebuild& out_;
    const QByteArray onText_, secondText_, offText_;
    LineBuffer line_;
    const char* current_ = nullptr;
    const char* lastReported_ = nullptr;
    bool on_ = false;
};

}  // namespace

const std::array<ReportKind, 7>& reportKinds() {
    return kKinds;
}

const ReportKind* reportKind(char letter) {
    for (const ReportKind& kind : kKinds) {
        if (kind.letter == letter) {
            return &kind;
        }
    }
    return nullptr;
}

void writeReport(const ReportKind& kind, const journal::JournalStore& journal,
                 journal::JournalStore& report) {
    Rebuild out(report);
    out.append(translated(kind.heading));
    out.endLine();
    Run run(kind, out);
    journal.forEachSegment([&run](QByteArrayView bytes) {
        if (!bytes.isEmpty()) {
            journal::withLineText(bytes, [&run](auto text) { run.line(text); });
        }
    });
    out.commit();
}

QStringList outputsHelp() {
    return {
        QCoreApplication::translate("OutputAnalysis", "1 - Звуковая сигнализация"),
        QCoreApplication::translate("OutputAnalysis", "2 - Включение вывода НАГРЕВ"),
        QCoreApplication::translate("OutputAnalysis", "3 - Разность между Т1 и Т2"),
        QCoreApplication::translate("OutputAnalysis", "4 - Увлажнение включено"),
        QCoreApplication::translate("OutputAnalysis", "5 - Движение"),
        QCoreApplication::translate("OutputAnalysis", "6 - Реверс"),
        QCoreApplication::translate("OutputAnalysis", "7 - Включение вывода аварийного охлаждения"),
        QCoreApplication::translate("OutputAnalysis", "8 - Включение вывода аварийного реле")};
}

void OutputAnalysis::run(const journal::JournalStore& journal,
                         journal::JournalStore& report) const {
    if (const ReportKind* kind = reportKind(kind_)) {
        writeReport(*kind, journal, report);
    } else if (kind_ == kDailySummary) {
        writeDailySummary(journal, bands_ ? bands_() : journal::ValueBands{}, report);
    }
}

}  // namespace im::analysis
