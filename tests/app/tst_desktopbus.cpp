#include "app/DBusMenu.h"
#include "app/DesktopNotifier.h"
#include "app/StatusNotifierItem.h"
#include "support/PrivateBus.h"
#include "support/TestMain.h"

#include <QAction>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QMutex>
#include <QSignalSpy>
#include <QThread>

using namespace im;

namespace {

// The desktop's StatusNotifier watcher, with a host that shows items. It
// answers from a thread of its own, as the panel, a process of its own,
// would answer the one call the program waits for.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
public:
    // Once offered on the bus.
    void answerFromAThread() {
        moveToThread(&thread_);
        thread_.start();
    }
    ~FakeWatcher() override {
        thread_.quit();
        thread_.wait();
    }
    bool hostRegistered() const { return true; }
    QStringList items() const {
        QMutexLocker lock(&mutex_);
        return items_;
    }
public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) {
        QMutexLocker lock(&mutex_);
        items_ << service;
    }

private:
    QThread thread_;
    mutable QMutex mutex_;
    QStringList items_;
};

// The desktop's notification service: numbers its notices from 1 and keeps
// the number of one that is replaced.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList calls;
    uint last = 0;
public Q_SLOTS:
    uint Notify(const QString& app, uint replaces, const QString&, const QString& summary,
                const QString&, const QStringList& actions, const QVariantMap& hints, int timeout) {
        calls << QStringLiteral("%1: %2 replacing %3, urgency %4, %5 ms, %6")
                     .arg(app, summary)
                     .arg(replaces)
                     .arg(hints.value(QStringLiteral("urgency")).toInt())
                     .arg(timeout)
                     .arg(actions.join(u','));
        return replaces != 0 ? replaces : ++last;
    }
    void CloseNotification(uint id) { calls << QStringLiteral("close %1").arg(id); }
};

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kNotificationsPath = QStringLiteral("/org/freedesktop/Notifications");

// A reply's argument demarshalled into a type of the protocol.
template <typename T>
T argumentAs(const QVariant& v) {
    T value;
    const QVariant inner = v.canConvert<QDBusVariant>() ? v.value<QDBusVariant>().variant() : v;
    inner.value<QDBusArgument>() >> value;
    return value;
}

// A call from the test's side of the bus to the program's, whose answer
// comes from this same thread's event loop.
QDBusMessage callOn(QDBusConnection bus, const QString& service, const QString& path,
                    const QString& interface, const QString& method, const QVariantList& args) {
    QDBusMessage m = QDBusMessage::createMethodCall(service, path, interface, method);
    m.setArguments(args);
    const QDBusPendingCall call = bus.asyncCall(m);
    QElapsedTimer waited;
    waited.start();
    while (!call.isFinished() && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return call.reply();
}

void signalFrom(QDBusConnection bus, const QString& member, const QVariantList& args) {
    QDBusMessage m = QDBusMessage::createSignal(kNotificationsPath, kNotifications, member);
    m.setArguments(args);
    bus.send(m);
}

}  // namespace

class TestDesktopBus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The item on a real bus: it is in a tray only while a watcher with a
    // host is there, registers with each watcher that comes, and the tray
    // reads its tooltip and its menu and sends its clicks over the bus.
    void statusNotifierItem() {
        test::PrivateBus bus;
        QDBusConnection program = bus.connection(QStringLiteral("program"));
        QDBusConnection desktop = bus.connection(QStringLiteral("desktop"));
        QAction show(QStringLiteral("&Показать")), hide(QStringLiteral("Скрыть_")), line, quit;
        line.setSeparator(true);
        quit.setText(QStringLiteral("Выход"));
        quit.setEnabled(false);
        {
            app::StatusNotifierItem alone(program, "id", "Монитор", QIcon(), nullptr);
            QVERIFY(!alone.hosted() && !alone.watched());
        }
        FakeWatcher watcher;
        QVERIFY(test::PrivateBus::offer(desktop, app::StatusNotifierItem::kWatcher,
                                        QStringLiteral("/StatusNotifierWatcher"), &watcher));
        watcher.answerFromAThread();
        app::StatusNotifierItem item(program, "id", "Монитор",
                                     QIcon(":/icons/hicolor/16x16/apps/incubator-monitor.png"),
                                     nullptr);
        QVERIFY(item.hosted());  // known at once, for the start in the tray
        item.setMenu({&show, &hide, &line, &quit});
        item.setVisible(true);
        QTRY_COMPARE(watcher.items(), QStringList{program.baseService()});

        const QString path = QLatin1String(app::StatusNotifierItem::kPath);
        const auto property = [&](const QString& name) {
            return callOn(desktop, program.baseService(), path,
                          QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                          {QStringLiteral("org.kde.StatusNotifierItem"), name})
                .arguments()
                .value(0);
        };
        QCOMPARE(property("Status").value<QDBusVariant>().variant().toString(), "Active");
        QCOMPARE(property("Menu").value<QDBusVariant>().variant().value<QDBusObjectPath>().path(),
                 "/MenuBar");
        item.setToolTip(QStringLiteral("T1=37,5°C\nT2=37,4°C"));
        const auto tip = [&] { return argumentAs<app::SniToolTip>(property("ToolTip")); };
        QTRY_COMPARE(tip().title + '|' + tip().text, "Монитор|T1=37,5°C\nT2=37,4°C");

        const QDBusMessage layout =
            callOn(desktop, program.baseService(), "/MenuBar", "com.canonical.dbusmenu",
                   "GetLayout", {0, -1, QStringList()});
        QStringList items;
        for (const app::DBusMenuLayout& child :
             argumentAs<app::DBusMenuLayout>(layout.arguments().value(1)).children) {
            const QVariantMap& p = child.properties;
            items << QStringLiteral("%1 %2%3")
                         .arg(child.id)
                         .arg(p.value("type").toString() == "separator"
                                  ? "-"
                                  : p.value("label").toString())
                         .arg(p.value("enabled").toBool() ? "" : " (off)");
        }
        QCOMPARE(items, (QStringList{"1 _Показать", "2 Скрыть__", "3 -", "4 Выход (off)"}));
        QSignalSpy hidden(&hide, &QAction::triggered), quitted(&quit, &QAction::triggered);
        for (int id : {2, 4, 9}) {
            callOn(desktop, program.baseService(), "/MenuBar", "com.canonical.dbusmenu", "Event",
                   {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
        }
        QTRY_COMPARE(hidden.size(), 1);
        QCOMPARE(quitted.size(), 0);  // switched off

        QSignalSpy activated(&item, &app::StatusNotifierItem::activated);
        callOn(desktop, program.baseService(), path, "org.kde.StatusNotifierItem", "Activate",
               {10, 20});
        QCOMPARE(activated.size(), 1);

        // The panel restarts: gone, back, and the item is registered again.
        desktop.unregisterService(app::StatusNotifierItem::kWatcher);
        QTRY_VERIFY(!item.hosted());
        desktop.registerService(app::StatusNotifierItem::kWatcher);
        QTRY_VERIFY(item.hosted());
        QTRY_COMPARE(watcher.items().size(), 2);
    }

    // Notices over a real bus: each replaces the last by its number (one
    // asked for before the service answered the last waits for it), an
    // alarm's is critical and never expires, a withdrawal closes it; only
    // the service's own click counts, and a notice it closed is not
    // replaced.
    void notifications() {
        test::PrivateBus bus;
        QDBusConnection program = bus.connection(QStringLiteral("program"));
        QDBusConnection desktop = bus.connection(QStringLiteral("desktop"));
        QDBusConnection stranger = bus.connection(QStringLiteral("stranger"));
        app::DBusNotifier notifier(program, QStringLiteral("Монитор"), QIcon());
        QTest::qWait(100);
        QVERIFY(!notifier.available());
        FakeNotifications service;
        QVERIFY(test::PrivateBus::offer(desktop, kNotifications, kNotificationsPath, &service));
        QTRY_VERIFY(notifier.available());

        notifier.show(
            {QStringLiteral("Температура T1"), QStringLiteral("За пределами"), true, 10000});
        notifier.show({QStringLiteral("Внимание!"), QStringLiteral("Нет данных"), false, 20000});
        QTRY_COMPARE(service.calls.size(), 2);
        notifier.withdraw();
        notifier.show({QStringLiteral("Внимание!"), QStringLiteral("Нет данных"), false, 10000});
        QTRY_COMPARE(service.calls.size(), 4);
        QSignalSpy clicked(&notifier, &app::Notifier::clicked);
        signalFrom(stranger, "ActionInvoked", {2u, QStringLiteral("default")});
        signalFrom(desktop, "ActionInvoked", {1u, QStringLiteral("default")});  // an old one
        signalFrom(desktop, "ActionInvoked", {2u, QStringLiteral("default")});
        QTRY_COMPARE(clicked.size(), 1);
        signalFrom(desktop, "NotificationClosed", {2u, 2u});
        QTest::qWait(100);
        notifier.show({QStringLiteral("Внимание!"), QStringLiteral("Снова"), false, 10000});
        QTRY_COMPARE(service.calls.size(), 5);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(
            service.calls,
            (QStringList{"Монитор: Температура T1 replacing 0, urgency 2, 0 ms, default,Показать",
                         "Монитор: Внимание! replacing 1, urgency 1, 20000 ms, default,Показать",
                         "close 1",
                         "Монитор: Внимание! replacing 0, urgency 1, 10000 ms, default,Показать",
                         "Монитор: Внимание! replacing 0, urgency 1, 10000 ms, default,Показать"}));
    }
};

IM_TEST_MAIN(TestDesktopBus)
#include "tst_desktopbus.moc"
