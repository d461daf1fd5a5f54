#include "app/TTrayIcon.h"
#include "support/FakeTray.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>

using namespace im;

namespace {

struct Tray {
    QMainWindow window;
    test::FakeTrayHost host;
    test::FakeNotifier notifier;
    test::FakeClock clock;
    test::FakeTimer click, check;
    app::TTrayIcon icon{&window, host, notifier, clock, click, check};
    explicit Tray(bool present = true) { host.present = present; }
};

}  // namespace

class TestTray : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The tooltip: the values on three lines, its first 127 characters. A
    // balloon keeps 63 characters of its title and 255 of its text; it is
    // the tray's message, or without a tray a line in the status bar.
    void tooltipAndBalloons() {
        for (const bool present : {true, false}) {
            Tray t(present);
            QCOMPARE(t.host.toolTip, QStringLiteral("T1=\nT2=\nT3="));
            t.icon.setHint(app::trayHint("37°C", "36°C", "36,2°C\r\n55%"));
            QCOMPARE(t.host.toolTip, QStringLiteral("T1=37°C\nT2=36°C\nT3=36,2°C\n55%"));
            t.icon.setHint(QString(200, 'x'));
            QCOMPARE(t.host.toolTip, QString(127, 'x'));
            t.icon.setIconVisible(true);
            t.icon.ShowBalloon(QString(70, 'T'), QString(300, 'x'), core::BalloonIcon::Warning, 20);
            t.icon.ShowBalloon("Внимание!", "Нет данных.\rПорт закрыт.", core::BalloonIcon::Warning,
                               10);
            const QList<test::Balloon>& b = t.host.shown;
            const QString shown =
                present ? b.value(0).title + '|' + b.value(0).text + '|' + b.value(1).text
                        : t.window.statusBar()->currentMessage();
            QCOMPARE(shown, present ? QString(63, 'T') + '|' + QString(255, 'x') +
                                          "|Нет данных.\nПорт закрыт."
                                    : "Внимание! Нет данных. Порт закрыт.");
        }
    }

    // A press is a click only once the double-click time has passed; a
    // double click is never also a click, and shows the window, as a click
    // on a balloon does.
    void clickAndDoubleClick() {
        Tray t;
        QSignalSpy clicks(&t.icon, &app::TTrayIcon::clicked);
        QSignalSpy doubles(&t.icon, &app::TTrayIcon::doubleClicked);
        QCOMPARE(t.click.interval(), QApplication::doubleClickInterval());
        Q_EMIT t.host.pressed();
        QCOMPARE(clicks.size(), 0);
        t.click.fire();
        t.click.fire();
        QCOMPARE(clicks.size(), 1);
        Q_EMIT t.host.pressed();
        Q_EMIT t.host.doubleClicked();
        t.click.fire();
        QCOMPARE(clicks.size() * 10 + doubles.size(), 11);
        QVERIFY(t.window.isVisible());
        t.window.hide();
        Q_EMIT t.host.messageClicked();
        QVERIFY(t.window.isVisible());
    }

    // With a tray, starting in it keeps the window hidden, minimising hides
    // it when asked to and "Скрыть" does; "Показать" brings it back normal.
    // Without a tray the window always stays, and a window hidden in a tray
    // that goes away comes back.
    void intoTheTrayAndBack() {
        for (const bool present : {true, false}) {
            for (const bool minimiseToTray : {true, false}) {
                Tray t(present);
                QCOMPARE(t.host.menu, t.icon.PopupMenu1);  // the one whose commands follow
                QCOMPARE(t.icon.TrayIcon1Startup(true), !present);
                QVERIFY(t.icon.TrayIcon1Startup(false));
                t.icon.MinimizeToTray = minimiseToTray;
                t.window.show();
                t.window.setWindowState(Qt::WindowMinimized);
                QTest::qWait(10);
                QCOMPARE(t.window.isVisible(), !(present && minimiseToTray));
                t.icon.N4->trigger();
                QVERIFY(t.window.isVisible() && !t.window.isMinimized());
                t.icon.N5->trigger();
                QCOMPARE(t.window.isVisible(), !present);
                t.check.fire();
                QCOMPARE(t.window.isVisible(), !present);
                t.host.present = false;
                t.check.fire();
                QVERIFY(t.window.isVisible());
            }
        }
    }
};

IM_TEST_MAIN(TestTray)
#include "tst_tray.moc"
