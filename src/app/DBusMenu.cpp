#include "app/DBusMenu.h"

#include <QAction>
#include <QDBusMetaType>
#include <QGuiApplication>

namespace im::app {

QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItem& item) {
    arg.beginStructure();
    arg << item.id << item.properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItem& item) {
    arg.beginStructure();
    arg >> item.id >> item.properties;
    arg.endStructure();
    return arg;
}

// (ia{sv}av): the children travel as variants, each holding a layout.
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuLayout& layout) {
    arg.beginStructure();
    arg << layout.id << layout.properties;
    arg.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DBusMenuLayout& child : layout.children) {
        arg << QDBusVariant(QVariant::fromValue(child));
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuLayout& layout) {
    arg.beginStructure();
    arg >> layout.id >> layout.properties;
    layout.children.clear();
    arg.beginArray();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        const QDBusArgument inner = child.variant().value<QDBusArgument>();
        DBusMenuLayout childLayout;
        inner >> childLayout;
        layout.children.append(childLayout);
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuEvent& event) {
    arg.beginStructure();
    arg << event.id << event.eventId << event.data << event.timestamp;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuEvent& event) {
    arg.beginStructure();
    arg >> event.id >> event.eventId >> event.data >> event.timestamp;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuRemoved& removed) {
    arg.beginStructure();
    arg << removed.id << removed.names;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuRemoved& removed) {
    arg.beginStructure();
    arg >> removed.id >> removed.names;
    arg.endStructure();
    return arg;
}

namespace {

void registerTypes() {
    static const bool done = [] {
        qDBusRegisterMetaType<DBusMenuItem>();
        qDBusRegisterMetaType<QList<DBusMenuItem>>();
        qDBusRegisterMetaType<DBusMenuLayout>();
        qDBusRegisterMetaType<DBusMenuEvent>();
        qDBusRegisterMetaType<QList<DBusMenuEvent>>();
        qDBusRegisterMetaType<DBusMenuRemoved>();
        qDBusRegisterMetaType<QList<DBusMenuRemoved>>();
        return true;
    }();
    (void)done;
}

}  // namespace

DBusMenu::DBusMenu(QObject* parent) : QObject(parent) {
    registerTypes();
}

void DBusMenu::setActions(const QList<QAction*>& actions) {
    for (const QPointer<QAction>& old : std::as_const(actions_)) {
        if (old) {
            disconnect(old, nullptr, this, nullptr);
        }
    }
    actions_.clear();
    for (QAction* action : actions) {
        actions_.append(action);
        // A caption or a state that changes is read again by the tray.
        connect(action, &QAction::changed, this, [this] { Q_EMIT LayoutUpdated(++revision_, 0); });
    }
    Q_EMIT LayoutUpdated(++revision_, 0);
}

bool DBusMenu::exportOn(QDBusConnection& bus) {
    new DBusMenuAdaptor(this);
    return bus.registerObject(QLatin1String(kPath), this, QDBusConnection::ExportAdaptors);
}

QString DBusMenu::protocolLabel(const QString& text) {
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('_')) {
            label += QLatin1String("__");
        } else if (c == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
            label +=
                text[i] == QLatin1Char('&') ? QStringLiteral("&") : QStringLiteral("_") + text[i];
        } else {
            label += c;
        }
    }
    return label;
}

QVariantMap DBusMenu::itemProperties(int id, const QStringList& names) const {
    QVariantMap all;
    if (id == 0) {
        all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (const QAction* action = actions_.value(id - 1)) {
        if (action->isSeparator()) {
            all.insert(QStringLiteral("type"), QStringLiteral("separator"));
        } else {
            all.insert(QStringLiteral("label"), protocolLabel(action->text()));
        }
        all.insert(QStringLiteral("enabled"), action->isEnabled());
        all.insert(QStringLiteral("visible"), action->isVisible());
    }
    if (names.isEmpty()) {
        return all;
    }
    QVariantMap wanted;
    for (const QString& name : names) {
        if (all.contains(name)) {
            wanted.insert(name, all.value(name));
        }
    }
    return wanted;
}

uint DBusMenu::layout(int parentId, int depth, const QStringList& names,
                      DBusMenuLayout& out) const {
    out = {};
    out.id = parentId;
    out.properties = itemProperties(parentId, names);
    if (parentId == 0 && depth != 0) {
        for (int i = 0; i < actions_.size(); ++i) {
            if (actions_[i]) {
                out.children.append({i + 1, itemProperties(i + 1, names), {}});
            }
        }
    }
    return revision_;
}

QList<DBusMenuItem> DBusMenu::groupProperties(const QList<int>& ids,
                                              const QStringList& names) const {
    QList<DBusMenuItem> items;
    for (int id : ids) {
        if (id == 0 || actions_.value(id - 1)) {
            items.append({id, itemProperties(id, names)});
        }
    }
    return items;
}

QVariant DBusMenu::property(int id, const QString& name) const {
    return itemProperties(id, {name}).value(name);
}

bool DBusMenu::event(int id, const QString& eventId) {
    QAction* action = actions_.value(id - 1);
    if (!action) {
        return false;
    }
    if (eventId == QLatin1String("clicked") && action->isEnabled()) {
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
    }
    return true;
}

DBusMenuAdaptor::DBusMenuAdaptor(DBusMenu* menu) : QDBusAbstractAdaptor(menu), menu_(menu) {
    setAutoRelaySignals(true);
}

QString DBusMenuAdaptor::textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

uint DBusMenuAdaptor::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                DBusMenuLayout& layout) {
    return menu_->layout(parentId, recursionDepth, propertyNames, layout);
}

QList<DBusMenuItem> DBusMenuAdaptor::GetGroupProperties(const QList<int>& ids,
                                                        const QStringList& propertyNames) {
    return menu_->groupProperties(ids, propertyNames);
}

QDBusVariant DBusMenuAdaptor::GetProperty(int id, const QString& name) {
    return QDBusVariant(menu_->property(id, name));
}

void DBusMenuAdaptor::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    menu_->event(id, eventId);
}

QList<int> DBusMenuAdaptor::EventGroup(const QList<DBusMenuEvent>& events) {
    QList<int> errors;
    for (const DBusMenuEvent& e : events) {
        if (!menu_->event(e.id, e.eventId)) {
            errors.append(e.id);
        }
    }
    return errors;
}

bool DBusMenuAdaptor::AboutToShow(int) {
    return false;  // the items are always up to date
}

QList<int> DBusMenuAdaptor::AboutToShowGroup(const QList<int>&, QList<int>& idErrors) {
    idErrors.clear();
    return {};
}

}  // namespace im::app
