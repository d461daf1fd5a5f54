#include "link/StayAwake.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace im::link {

namespace {

const QString kWhy = QStringLiteral("Наблюдение за инкубатором");

}  // namespace

StayAwake::StayAwake(QDBusConnection system, QDBusConnection session, QString who, QObject* parent)
    : QObject(parent),
      system_(std::move(system)),
      session_(std::move(session)),
      who_(std::move(who)) {}

StayAwake::~StayAwake() {
    wanted_ = false;
    release();
}

void StayAwake::setHeld(bool held) {
    if (held == wanted_) {
        return;
    }
    wanted_ = held;
    if (held) {
        ask();
    } else {
        release();
    }
}

void StayAwake::ask() {
    if (asking_ || holding()) {
        return;
    }
    if (!system_.isConnected()) {
        askDesktop();
        return;
    }
    asking_ = true;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << who_ << kWhy << QStringLiteral("block");
    auto* watcher = new QDBusPendingCallWatcher(system_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        asking_ = false;
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
        if (reply.isError() || !reply.value().isValid()) {
            if (wanted_) {
                askDesktop();
            }
            return;
        }
        if (!wanted_) {
            return;  // released meanwhile: the descriptor closes here
        }
        lock_ = reply.value();
        Q_EMIT holdingChanged(true);
    });
}

void StayAwake::askDesktop() {
    if (!session_.isConnected()) {
        return;
    }
    asking_ = true;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.ScreenSaver"),
        QStringLiteral("/org/freedesktop/ScreenSaver"),
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("Inhibit"));
    call << who_ << kWhy;
    auto* watcher = new QDBusPendingCallWatcher(session_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        asking_ = false;
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError() || reply.value() == 0) {
            return;  // nothing to ask: the machine may sleep as it always did
        }
        cookie_ = reply.value();
        if (!wanted_) {
            release();
            return;
        }
        Q_EMIT holdingChanged(true);
    });
}

void StayAwake::release() {
    const bool was = holding();
    lock_ = QDBusUnixFileDescriptor();  // closing the descriptor ends the lock
    if (cookie_ != 0) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.ScreenSaver"),
            QStringLiteral("/org/freedesktop/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("UnInhibit"));
        call << cookie_;
        session_.asyncCall(call);
        cookie_ = 0;
    }
    if (was) {
        Q_EMIT holdingChanged(false);
    }
}

}  // namespace im::link
