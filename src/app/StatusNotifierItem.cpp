#include "app/StatusNotifierItem.h"

#include "app/DBusMenu.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QImage>
#include <QTimer>
#include <QtEndian>

namespace im::app {

namespace {

constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kWatcherInterface = "org.kde.StatusNotifierWatcher";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";
// The one call that waits: at start, to know whether the window may stay
// in the tray. A panel that does not answer in this time counts as none.
constexpr int kStartCheckMs = 500;
// Trays read the tooltip again at each change; values change with every
// frame, and nobody hovers faster than this.
constexpr int kToolTipMs = 1000;

void registerTypes() {
    static const bool done = [] {
        qDBusRegisterMetaType<SniPixmap>();
        qDBusRegisterMetaType<SniPixmaps>();
        qDBusRegisterMetaType<SniToolTip>();
        return true;
    }();
    (void)done;
}

QDBusMessage hostRegisteredQuery() {
    QDBusMessage m = QDBusMessage::createMethodCall(
        QLatin1String(StatusNotifierItem::kWatcher), QLatin1String(kWatcherPath),
        QLatin1String(kProperties), QStringLiteral("Get"));
    m << QLatin1String(kWatcherInterface) << QStringLiteral("IsStatusNotifierHostRegistered");
    return m;
}

bool hostRegisteredIn(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

}  // namespace

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& pixmap) {
    arg.beginStructure();
    arg << pixmap.width << pixmap.height << pixmap.bytes;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& pixmap) {
    arg.beginStructure();
    arg >> pixmap.width >> pixmap.height >> pixmap.bytes;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const SniToolTip& tip) {
    arg.beginStructure();
    arg << tip.iconName << tip.pixmaps << tip.title << tip.text;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, SniToolTip& tip) {
    arg.beginStructure();
    arg >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    arg.endStructure();
    return arg;
}

SniPixmaps sniPixmaps(const QIcon& icon) {
    SniPixmaps pixmaps;
    for (int side : {16, 22, 24, 32, 48, 64}) {
        const QImage image =
            icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) {
            continue;
        }
        SniPixmap p{image.width(), image.height(), {}};
        p.bytes.resize(qsizetype(image.width()) * image.height() * 4);
        uchar* out = reinterpret_cast<uchar*>(p.bytes.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x, out += 4) {
                qToBigEndian(line[x], out);
            }
        }
        pixmaps.append(p);
    }
    return pixmaps;
}

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, const QString& id, const QString& title,
                                       const QIcon& icon, QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      id_(id),
      title_(title),
      menu_(new DBusMenu(this)),
      watcher_(new QDBusServiceWatcher(QLatin1String(kWatcher), bus_,
                                       QDBusServiceWatcher::WatchForOwnerChange, this)) {
    registerTypes();
    pixmaps_ = sniPixmaps(icon);
    if (!bus_.isConnected()) {
        return;
    }
    new StatusNotifierItemAdaptor(this);
    exported_ = bus_.registerObject(QLatin1String(kPath), this, QDBusConnection::ExportAdaptors) &&
                menu_->exportOn(bus_);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
                if (owner.isEmpty()) {
                    setState(false, false);
                } else {
                    checkWatcher();
                }
            });
    bus_.connect(QLatin1String(kWatcher), QLatin1String(kWatcherPath),
                 QLatin1String(kWatcherInterface), QStringLiteral("StatusNotifierHostRegistered"),
                 this, SLOT(checkWatcher()));
    // The first answer is waited for; the watcher's own answer only briefly.
    if (bus_.interface()->isServiceRegistered(QLatin1String(kWatcher))) {
        onWatcherProperties(
            true, hostRegisteredIn(bus_.call(hostRegisteredQuery(), QDBus::Block, kStartCheckMs)));
    }
}

StatusNotifierItem::~StatusNotifierItem() {
    if (exported_) {
        bus_.unregisterObject(QLatin1String(DBusMenu::kPath));
        bus_.unregisterObject(QLatin1String(kPath));
    }
}

void StatusNotifierItem::checkWatcher() {
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(hostRegisteredQuery()), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* c) {
        c->deleteLater();
        onWatcherProperties(!c->isError(), hostRegisteredIn(c->reply()));
    });
}

void StatusNotifierItem::setMenu(const QList<QAction*>& actions) {
    menu_->setActions(actions);
}

void StatusNotifierItem::onWatcherProperties(bool present, bool hostRegistered) {
    setState(present, present && hostRegistered);
    if (hosted_ && visible_) {
        registerWithWatcher();
    }
}

void StatusNotifierItem::registerWithWatcher() {
    QDBusMessage m = QDBusMessage::createMethodCall(
        QLatin1String(kWatcher), QLatin1String(kWatcherPath), QLatin1String(kWatcherInterface),
        QStringLiteral("RegisterStatusNotifierItem"));
    m << bus_.baseService();
    bus_.asyncCall(m);
}

void StatusNotifierItem::setState(bool watched, bool hosted) {
    // Without its objects on the bus the item could not be shown.
    hosted = hosted && exported_;
    if (watched != watched_ || hosted != hosted_) {
        watched_ = watched;
        hosted_ = hosted;
        Q_EMIT trayChanged();
    }
}

void StatusNotifierItem::setVisible(bool visible) {
    if (visible == visible_) {
        return;
    }
    visible_ = visible;
    Q_EMIT NewStatus(status());
    if (visible_ && hosted_) {
        registerWithWatcher();
    }
}

QString StatusNotifierItem::status() const {
    return visible_ ? QStringLiteral("Active") : QStringLiteral("Passive");
}

void StatusNotifierItem::setToolTip(const QString& text) {
    if (text == toolTip_) {
        return;
    }
    toolTip_ = text;
    if (toolTipPending_) {
        return;
    }
    toolTipPending_ = true;
    QTimer::singleShot(kToolTipMs, this, [this] {
        toolTipPending_ = false;
        Q_EMIT NewToolTip();
    });
}

SniToolTip StatusNotifierItem::toolTip() const {
    return {{}, {}, title_, toolTip_};
}

void StatusNotifierItem::activate(QPoint) {
    Q_EMIT activated();
}

void StatusNotifierItem::contextMenu(QPoint at) {
    Q_EMIT contextMenuRequested(at);
}

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem* item)
    : QDBusAbstractAdaptor(item), item_(item) {
    setAutoRelaySignals(true);
}

QDBusObjectPath StatusNotifierItemAdaptor::menu() const {
    return QDBusObjectPath(QLatin1String(DBusMenu::kPath));
}

void StatusNotifierItemAdaptor::Activate(int x, int y) {
    item_->activate({x, y});
}

void StatusNotifierItemAdaptor::SecondaryActivate(int, int) {}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y) {
    item_->contextMenu({x, y});
}

void StatusNotifierItemAdaptor::Scroll(int, const QString&) {}

}  // namespace im::app
