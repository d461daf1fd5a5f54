#include "app/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QImage>

#include <functional>

namespace im::app {

namespace {

constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr int kImageSide = 48;

// The "image-data" hint: (iiibiiay), RGBA bytes row by row.
struct NoticeImage {
    int width = 0;
    int height = 0;
    int rowStride = 0;
    bool alpha = true;
    int bitsPerSample = 8;
    int channels = 4;
    QByteArray bytes;
};

}  // namespace
}  // namespace im::app

Q_DECLARE_METATYPE(im::app::NoticeImage)

namespace im::app {
namespace {

QDBusArgument& operator<<(QDBusArgument& arg, const NoticeImage& image) {
    arg.beginStructure();
    arg << image.width << image.height << image.rowStride << image.alpha << image.bitsPerSample
        << image.channels << image.bytes;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, NoticeImage& image) {
    arg.beginStructure();
    arg >> image.width >> image.height >> image.rowStride >> image.alpha >> image.bitsPerSample >>
        image.channels >> image.bytes;
    arg.endStructure();
    return arg;
}

QVariant imageHint(const QIcon& icon) {
    static const bool registered = [] {
        qDBusRegisterMetaType<NoticeImage>();
        return true;
    }();
    (void)registered;
    const QImage image =
        icon.pixmap(kImageSide, kImageSide).toImage().convertToFormat(QImage::Format_RGBA8888);
    if (image.isNull()) {
        return {};
    }
    NoticeImage hint;
    hint.width = image.width();
    hint.height = image.height();
    hint.rowStride = int(image.bytesPerLine());
    hint.bytes = QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    return QVariant::fromValue(hint);
}

}  // namespace

DBusNotifier::DBusNotifier(QDBusConnection bus, QString appName, QIcon icon, QObject* parent)
    : Notifier(parent), bus_(std::move(bus)), appName_(std::move(appName)) {
    image_ = imageHint(icon);
    if (!bus_.isConnected()) {
        return;
    }
    const QString service = QLatin1String(kService);
    bus_.connect(service, QLatin1String(kPath), service, QStringLiteral("ActionInvoked"), this,
                 SLOT(onActionInvoked(uint, QString)));
    bus_.connect(service, QLatin1String(kPath), service, QStringLiteral("NotificationClosed"), this,
                 SLOT(onClosed(uint, uint)));
    auto* watcher =
        new QDBusServiceWatcher(service, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        id_ = 0;  // a new service knows nothing of the last one's notices
        available_ = false;
        checkService();
    });
    checkService();
}

// A service that is running, or one the bus starts on the first call.
void DBusNotifier::checkService() {
    const auto ask = [this](const QString& method, const QVariantList& arguments,
                            const std::function<bool(const QVariant&)>& found) {
        QDBusMessage m =
            QDBusMessage::createMethodCall(QLatin1String(kBusService), QLatin1String(kBusPath),
                                           QLatin1String(kBusService), method);
        m.setArguments(arguments);
        auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(m), this);
        connect(call, &QDBusPendingCallWatcher::finished, this,
                [this, found](QDBusPendingCallWatcher* c) {
                    c->deleteLater();
                    const QVariantList reply = c->reply().arguments();
                    available_ = available_ || (!reply.isEmpty() && found(reply.constFirst()));
                });
    };
    ask(QStringLiteral("NameHasOwner"), {QLatin1String(kService)},
        [](const QVariant& owned) { return owned.toBool(); });
    ask(QStringLiteral("ListActivatableNames"), {}, [](const QVariant& names) {
        return names.toStringList().contains(QLatin1String(kService));
    });
}

void DBusNotifier::show(const Notice& notice) {
    if (waiting_) {
        next_ = notice;
        closeNext_ = false;
        return;
    }
    send(notice);
}

void DBusNotifier::withdraw() {
    if (waiting_) {
        next_.reset();
        closeNext_ = true;
        return;
    }
    close();
}

void DBusNotifier::send(const Notice& notice) {
    const QString service = QLatin1String(kService);
    QDBusMessage m = QDBusMessage::createMethodCall(service, QLatin1String(kPath), service,
                                                    QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(notice.urgent ? 2 : 1)));
    hints.insert(QStringLiteral("desktop-entry"), QCoreApplication::applicationName());
    if (image_.isValid()) {
        hints.insert(QStringLiteral("image-data"), image_);
    }
    const QStringList actions{QStringLiteral("default"),
                              QCoreApplication::translate("TTrayIcon", "Показать")};
    m << appName_ << id_ << QCoreApplication::applicationName() << notice.title << notice.text
      << actions << hints << (notice.urgent ? 0 : notice.timeoutMs);
    waiting_ = true;
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(m), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* c) {
        c->deleteLater();
        waiting_ = false;
        const QDBusPendingReply<uint> reply = *c;
        id_ = reply.isError() ? 0 : reply.value();
        if (next_) {
            const Notice notice = *next_;
            next_.reset();
            send(notice);
        } else if (closeNext_) {
            closeNext_ = false;
            close();
        }
    });
}

void DBusNotifier::close() {
    if (id_ == 0) {
        return;
    }
    const QString service = QLatin1String(kService);
    QDBusMessage m = QDBusMessage::createMethodCall(service, QLatin1String(kPath), service,
                                                    QStringLiteral("CloseNotification"));
    m << id_;
    id_ = 0;
    bus_.asyncCall(m);
}

void DBusNotifier::onActionInvoked(uint id, const QString& action) {
    if (id != 0 && id == id_ && action == QLatin1String("default")) {
        Q_EMIT clicked();
    }
}

void DBusNotifier::onClosed(uint id, uint) {
    if (id != 0 && id == id_) {
        id_ = 0;  // the next notice is a new one
    }
}

}  // namespace im::app
