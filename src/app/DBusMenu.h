#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

class QAction;

namespace im::app {

// The menu protocol that StatusNotifier trays read a tray icon's menu
// through (com.canonical.dbusmenu): the tray draws the menu itself and
// tells which item was chosen.
struct DBusMenuItem {
    int id = 0;
    QVariantMap properties;
};
struct DBusMenuLayout {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayout> children;
};
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
struct DBusMenuRemoved {
    int id = 0;
    QStringList names;
};

QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItem& item);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuLayout& layout);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuLayout& layout);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuEvent& event);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuRemoved& removed);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuRemoved& removed);

// A flat menu of actions on the bus: item i + 1 is action i, 0 the root.
// A chosen item triggers its action once the call has been answered, so a
// command that asks a question does not keep the tray waiting.
class DBusMenu : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kPath = "/MenuBar";

    explicit DBusMenu(QObject* parent = nullptr);
    // The items; a tray showing the menu reads it again.
    void setActions(const QList<QAction*>& actions);
    // Puts the menu on the connection at kPath.
    bool exportOn(QDBusConnection& bus);

    // The protocol's calls, for the adaptor and for tests.
    uint layout(int parentId, int depth, const QStringList& names, DBusMenuLayout& out) const;
    QList<DBusMenuItem> groupProperties(const QList<int>& ids, const QStringList& names) const;
    QVariant property(int id, const QString& name) const;
    // False for an id that names no item.
    bool event(int id, const QString& eventId);

    // A menu label of the toolkit ("&Показать") as the protocol writes it
    // ("_Показать").
    static QString protocolLabel(const QString& text);

Q_SIGNALS:
    void LayoutUpdated(uint revision, int parent);

private:
    QVariantMap itemProperties(int id, const QStringList& names) const;

    QList<QPointer<QAction>> actions_;
    uint revision_ = 1;
};

class DBusMenuAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
public:
    explicit DBusMenuAdaptor(DBusMenu* menu);
    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   im::app::DBusMenuLayout& layout);
    QList<im::app::DBusMenuItem> GetGroupProperties(const QList<int>& ids,
                                                    const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const QList<im::app::DBusMenuEvent>& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

Q_SIGNALS:
    void ItemsPropertiesUpdated(const QList<im::app::DBusMenuItem>& updated,
                                const QList<im::app::DBusMenuRemoved>& removed);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    DBusMenu* menu_;
};

}  // namespace im::app

Q_DECLARE_METATYPE(im::app::DBusMenuItem)
Q_DECLARE_METATYPE(im::app::DBusMenuLayout)
Q_DECLARE_METATYPE(im::app::DBusMenuEvent)
Q_DECLARE_METATYPE(im::app::DBusMenuRemoved)
