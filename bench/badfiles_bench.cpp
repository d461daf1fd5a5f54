// Files an operator may open by mistake, each through "Открыть.." into the
// shown main window: how long the window is busy opening and repainting it,
// going to its start and to the end of its first line, taking new frames,
// copying a column and running every report over it. Prints one figure a
// line as "name value unit"; the longest of them is the longest time the
// window does not answer.

#include "BenchWindow.h"
#include "analysis/OutputAnalysis.h"
#include "analysis/TFormLog.h"
#include "support/Frames.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace im;

namespace {

QByteArray recordLine(int i) {
    return QStringLiteral("T1=37,%1  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:%2:%3")
        .arg(i % 10)
        .arg((i / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(i % 60, 2, 10, QLatin1Char('0'))
        .toUtf8();
}

QByteArray lines(int count, const char* end) {
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        out += recordLine(i);
        out += end;
    }
    return out;
}

struct BadFile {
    const char* name;
    std::function<QByteArray()> bytes;
};

const BadFile kFiles[] = {
    {"binary_10MB",
     [] {
         // Bytes of every value, NULs among them, as a program file holds.
         QByteArray out(10 << 20, Qt::Uninitialized);
         quint32 x = 12345;
         for (char& c : out) {
             x = x * 1103515245u + 12345u;
             c = char(x >> 24);
         }
         return out;
     }},
    {"one_line_100MB", [] { return QByteArray(100 << 20, 'x'); }},
    {"one_record_line_repeated_100MB",
     [] {
         QByteArray out;
         while (out.size() < (100 << 20)) {
             out += recordLine(out.size());
             out += ' ';
         }
         return out;
     }},
    {"utf16_with_bom_100k_lines",
     [] {
         QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
         return QByteArray(utf16(QString::fromUtf8(lines(100000, "\r\n"))));
     }},
    {"cr_only_100k_lines", [] { return lines(100000, "\r"); }},
    {"mixed_ends_100k_lines",
     [] {
         QByteArray out;
         const char* ends[] = {"\r\n", "\n", "\r", "\n\r"};
         for (int i = 0; i < 100000; ++i) {
             out += recordLine(i);
             out += ends[i % 4];
         }
         return out;
     }},
    {"records_3M_lines", [] { return lines(3000000, "\r\n"); }},
    {"empty_lines_10M", [] { return QByteArray(20000000, '\n').replace("\n\n", "\r\n"); }},
};

double msSince(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

// The time one step and the repaints it causes keep the window busy.
double busy(const std::function<void()>& step) {
    QElapsedTimer t;
    t.start();
    step();
    QApplication::processEvents();
    return msSince(t);
}

void key(QWidget* target, Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent press(QEvent::KeyPress, k, modifiers);
    QApplication::sendEvent(target, &press);
}

}  // namespace

int main(int argc, char** argv) {
    bench::BenchApp setup(argc, argv);
    bench::BenchWindow window(0);
    app::TForm1& form = *window.form;
    test::FakeDialogs& dialogs = window.dialogs;
    const QTemporaryDir& dir = setup.dir;
    form.resize(898, 473);
    form.show();
    QApplication::processEvents();

    // An argument keeps only the files whose names hold it (profiling).
    const QString only = QCoreApplication::arguments().value(1);
    double longest = 0;
    for (const BadFile& file : kFiles) {
        if (!QString::fromLatin1(file.name).contains(only)) {
            continue;
        }
        const QString path = dir.path() + QStringLiteral("/bad.txt");
        {
            QFile out(path);
            out.open(QIODevice::WriteOnly);
            out.write(file.bytes());
        }
        auto figure = [&](const char* what, double ms) {
            std::printf("%s_%s %.0f ms\n", file.name, what, ms);
            longest = std::max(longest, ms);
        };
        dialogs.fileNames.push_back(path);
        // A large file is read behind a progress bar: the window is busy for
        // the longest of its event rounds until the bar is gone.
        QElapsedTimer wall;
        wall.start();
        double opening = busy([&] { form.NLoad1Click(); });
        while (form.findChild<QProgressDialog*>()) {
            QThread::msleep(5);
            opening = std::max(opening, busy([] {}));
        }
        figure("open_busy", opening);
        std::printf("%s_open_wall %.0f ms\n", file.name, msSince(wall));
        std::printf("%s_lines %d lines\n", file.name, form.journal.lineCount());
        form.Memo1->setFocus();
        figure("start", busy([&] { key(form.Memo1, Qt::Key_Home, Qt::ControlModifier); }));
        figure("line_end", busy([&] { key(form.Memo1, Qt::Key_End); }));
        double frames = 0;
        for (int i = 0; i < 20; ++i) {
            frames = std::max(
                frames, busy([&] {
                    form.decoder().ParsingUartStr(test::makeFrame(0x02, 592 + i % 8, 592, 362, 55));
                }));
        }
        figure("frame_max", frames);
        figure("copy_column", busy([&] { form.NCopyT1Click(); }));
        double reports = 0;
        for (const analysis::ReportKind& kind : analysis::reportKinds()) {
            reports = std::max(reports, busy([&] { form.openReport(kind.letter); }));
        }
        figure("report_max", reports);
        qDeleteAll(form.findChildren<analysis::TFormLog*>(Qt::FindDirectChildrenOnly));
        std::fflush(stdout);
    }
    std::printf("bad_files_longest_busy %.0f ms\n", longest);
    form.journal.setModified(false);
    return 0;
}
