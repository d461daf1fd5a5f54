#pragma once

#include <QApplication>
#include <QLocale>
#include <QTest>

// Shows a widget and waits until it is on screen.
inline void showExposed(QWidget& widget) {
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget)) {
        qFatal("%s not exposed", widget.metaObject()->className());
    }
}

// Every test runs offscreen with the Russian locale, whose comma is the
// decimal separator the record lines and panels must carry.
#define IM_TEST_MAIN(TestClass)                                          \
    int main(int argc, char** argv) {                                    \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                     \
        }                                                                \
        QApplication app(argc, argv);                                    \
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); \
        TestClass tc;                                                    \
        return QTest::qExec(&tc, argc, argv);                            \
    }
