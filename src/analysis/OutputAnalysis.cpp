#include "analysis/OutputAnalysis.h"

#include "journal/RecordLine.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace im::analysis {

namespace {

const char* const kOffText = "_Выключение";

const std::array<ReportKind, 7> kKinds{{
    {'L', "- Движение лотков -", 5, "Реверс  ", 6, "Движение", Tail::None},
    {'H', "- Влажность -", 4, "Увлажнение включено", 0, nullptr, Tail::Humidity},
    {'D', "- Разность между Т1 и Т2 -", 3, "Включение", 0, nullptr, Tail::Temperatures},
    {'N', "- Включение вывода НАГРЕВ (2) -", 2, "Включение", 0, nullptr, Tail::Temperatures},
    {'Z', "- Звуковая сигнализация -", 1, "Включение", 0, nullptr, Tail::None},
    {'O', "- Включение вывода аварийного охлаждения -", 7, "Включение", 0, nullptr, Tail::None},
    {'A', "- Включение вывода аварийного реле -", 8, "Включение", 0, nullptr, Tail::None},
}};

using Rebuild = journal::JournalStore::Rebuild;

// A report line is put together here and goes to the report in one piece:
// its pieces are a few bytes each, and appending each on its own to the
// report's text costs more than the rest of the run. A line holds at most
// about 150 bytes (fields of at most eight characters, the longest event
// text, the tail), so the buffer never fills.
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

template <typename View>
bool isOn(View outputs, int position) {
    return position > 0 && outputs.size() >= position &&
           outputs[position - 1] == QLatin1Char(char('0' + position));
}

// One run over the journal. The event texts are the kind's own constants,
// so "differs from the last reported text" is a comparison of pointers.
class Run {
public:
    Run(const ReportKind& kind, Rebuild& out) : kind_(kind), out_(out) {}

    template <typename View>
    void line(View text) {
        const View outputs = journal::extractFieldView(text, QLatin1Char('='), 5, 8);
        if (outputs.size() < 8) {
            return;  // not a record line
        }
        if (isOn(outputs, kind_.position)) {
            current_ = kind_.onText;
            on_ = true;
        } else if (isOn(outputs, kind_.secondPosition)) {
            current_ = kind_.secondText;
            on_ = true;
        } else {
            if (on_) {
                current_ = kOffText;
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
    out.append(kind.heading);
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
    return {QStringLiteral("1 - Звуковая сигнализация"),
            QStringLiteral("2 - Включение вывода НАГРЕВ"),
            QStringLiteral("3 - Разность между Т1 и Т2"),
            QStringLiteral("4 - Увлажнение включено"),
            QStringLiteral("5 - Движение"),
            QStringLiteral("6 - Реверс"),
            QStringLiteral("7 - Включение вывода аварийного охлаждения"),
            QStringLiteral("8 - Включение вывода аварийного реле")};
}

void OutputAnalysis::run(const journal::JournalStore& journal,
                         journal::JournalStore& report) const {
    if (const ReportKind* kind = reportKind(kind_)) {
        writeReport(*kind, journal, report);
    }
}

}  // namespace im::analysis
