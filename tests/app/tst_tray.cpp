#include "app/TTrayIcon.h"
#include "app/TrayBalloon.h"
#include "support/FakeTray.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>

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
            QCoreApplication::processEvents();  // a tray's balloon is drawn after the event
            t.icon.ShowBalloon("Внимание!", "Нет данных.\rПорт закрыт.", core::BalloonIcon::Warning,
                               10);
            QCoreApplication::processEvents();
            const QList<test::Balloon>& b = t.host.shown;
            const QString shown =
                present ? b.value(0).title + '|' + b.value(0).text + '|' + b.value(1).text
                        : t.window.statusBar()->currentMessage();
            QCOMPARE(shown, present ? QString(63, 'T') + '|' + QString(255, 'x') +
                                          "|Нет данных.\nПорт закрыт."
                                    : "Внимание! Нет данных. Порт закрыт.");
        }
    }

    // Where the toolkit draws no balloons (a StatusNotifier tray, no tray
    // while the window is not the active one), warnings are desktop
    // notifications: of one blink's alarms only the last, an alarm's
    // critical; a warning repeated before its time is out sends nothing; a
    // reset of every alarm withdraws its notice, and the program's end
    // whatever it shows. An XEmbed tray shows the balloons itself: the last
    // of an event, and the same one again only when it is about to go (the
    // blink's T1 balloon once in 2.8 s, the no-data warning asked for at
    // 3.5, 6.5, 9.5, 12.5, 15.5 and 26.5 s drawn at 3.5, 12.5 and 26.5 s);
    // a reset takes down an alarm's balloon, not the warning's. Without a
    // tray, or without notifications, the status bar shows them.
    void warningsOnEveryDesktop_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("statusNotifier");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("notifications");
        QTest::addColumn<int>("balloons");
        QTest::addColumn<int>("hidden");
        QTest::addColumn<QString>("notices");
        QTest::addColumn<bool>("statusBar");
        const QString all =
            "Температура T1!|Внимание!|Внимание!|Температура T1!|-|"
            "Температура T1!|-";
        QTest::newRow("XEmbed tray") << true << false << false << true << 6 << 1 << "" << false;
        QTest::newRow("StatusNotifier tray")
            << true << true << true << true << 0 << 0 << all << false;
        QTest::newRow("StatusNotifier tray, no notifications")
            << true << true << false << false << 0 << 0 << "" << true;
        QTest::newRow("no tray, window behind")
            << false << false << false << true << 0 << 0 << all << true;
        QTest::newRow("no tray, window active")
            << false << false << true << true << 0 << 0 << "" << true;
    }
    void warningsOnEveryDesktop() {
        QFETCH(bool, present);
        QFETCH(bool, statusNotifier);
        QFETCH(bool, active);
        QFETCH(bool, notifications);
        Tray t(present);
        t.host.statusNotifier = statusNotifier;
        t.notifier.present = notifications;
        QWidget other;
        showExposed(t.window);
        if (!active) {
            showExposed(other);
        }
        QWidget& front = active ? static_cast<QWidget&>(t.window) : other;
        front.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&front));

        const auto blink = [&t](int ticks) {
            for (int i = 0; i < ticks; ++i) {
                for (const char* channel : {"Влажность", "Температура T2", "Температура T1"}) {
                    t.icon.ShowAlarmBalloon(channel, "За пределами допустимых значений!", 10);
                }
                QCoreApplication::processEvents();
                t.clock.at = t.clock.at.addMSecs(700);
            }
        };
        const auto noData = [&t](int times, int everySeconds) {
            for (int i = 0; i < times; ++i) {
                t.icon.ShowBalloon("Внимание!", "Нет данных от инкубатора.",
                                   core::BalloonIcon::Warning, 10);
                QCoreApplication::processEvents();
                t.clock.advanceSeconds(everySeconds);
            }
        };
        t.icon.setIconVisible(true);
        blink(5);
        noData(4, 3);
        noData(2, 11);
        t.icon.HideAlarmBalloon();  // the notice on screen is no alarm's
        blink(3);
        t.icon.HideAlarmBalloon();
        t.icon.setIconVisible(false);  // nothing is on screen to withdraw
        t.icon.setIconVisible(true);
        blink(1);
        t.icon.setIconVisible(false);

        QTEST(int(t.host.shown.size()), "balloons");
        QTEST(t.host.hidden, "hidden");
        QTEST(t.notifier.log.join('|'), "notices");
        QTEST(!t.window.statusBar()->currentMessage().isEmpty(), "statusBar");
    }

    // The X11 tray's balloon: above an icon low on the screen, below one
    // high on it, in the corner when the icon's place is unknown, always
    // whole on the screen; shown again it keeps its window; a press or its
    // time takes it down, a press is its click.
    void ownBalloonBesideTheIcon() {
        app::TrayBalloon balloon;
        QSignalSpy clicks(&balloon, &app::TrayBalloon::clicked);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect low(screen.right() - 30, screen.bottom() - 20, 20, 20);
        const QRect high(screen.left() + 10, screen.top() + 4, 20, 20);
        const QIcon warning = balloon.style()->standardIcon(QStyle::SP_MessageBoxWarning);
        for (const QRect& icon : {low, high, QRect()}) {
            balloon.showBeside(icon, "Температура T1", "За пределами допустимых значений!", warning,
                               200);
            QVERIFY(balloon.isVisible() && screen.contains(balloon.geometry()));
            if (icon == low) {
                QVERIFY(balloon.geometry().bottom() < icon.top());
            } else if (icon == high) {
                QVERIFY(balloon.geometry().top() > icon.bottom());
            } else {
                QCOMPARE(balloon.geometry().bottomRight(), screen.bottomRight());
            }
        }
        const WId window = balloon.winId();
        balloon.showBeside(low, "Влажность", "", QIcon(), 60000);
        QCOMPARE(balloon.winId(), window);
        QTest::mouseClick(&balloon, Qt::LeftButton);
        QVERIFY(!balloon.isVisible());
        QCOMPARE(clicks.count(), 1);
        balloon.showBeside(low, "Влажность", "", QIcon(), 50);
        QTRY_VERIFY(!balloon.isVisible());
        QCOMPARE(clicks.count(), 1);
    }

    // A press is a click only once the double-click time has passed; a
    // double click is never also a click, and shows the window, as a click
    // on a balloon or on a notification does, and a StatusNotifier tray's
    // one kind of click.
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
        for (const auto& show : std::initializer_list<std::function<void()>>{
                 [&t] { Q_EMIT t.host.messageClicked(); }, [&t] { Q_EMIT t.notifier.clicked(); },
                 [&t] { Q_EMIT t.host.activated(); }}) {
            t.window.hide();
            show();
            QVERIFY(t.window.isVisible());
        }
        QCOMPARE(clicks.size() * 10 + doubles.size(), 12);
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
