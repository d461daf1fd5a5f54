#pragma once

#include <QApplication>
#include <QLocale>

#include <cstdlib>

namespace im::fuzz {

// The toolkit once per fuzzing process, offscreen, with the Russian locale
// whose comma the record lines carry.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        return new QApplication(argc, argv);
    }();
    (void)app;
}

}  // namespace im::fuzz
