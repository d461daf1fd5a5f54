#pragma once

// What every benchmark does about the figures it prints.

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace im::bench {

// Figures carry a full stop whatever the locale: the toolkit sets the C
// library's locale from the environment when the application object is
// made, after which printf writes "0,136" in a Russian one. Called after
// that object is made; the code measured reads no numbers through the C
// library.
inline void printWithFullStop() {
    std::setlocale(LC_NUMERIC, "C");
}

// Ends the benchmark with a message and a failure status when what it
// measured is not what its figures claim (a load that did not finish, a
// journal of other lines).
inline void require(bool holds, const QString& what) {
    if (!holds) {
        std::fprintf(stderr, "%s: %s\n",
                     QCoreApplication::applicationName().toLocal8Bit().constData(),
                     what.toLocal8Bit().constData());
        std::exit(1);
    }
}

}  // namespace im::bench
