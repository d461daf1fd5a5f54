#pragma once

#include <QByteArray>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QAction;
class QDBusServiceWatcher;

namespace im::app {

class DBusMenu;

// An icon picture as the StatusNotifier protocol carries it: ARGB32, the
// bytes of each pixel in network order.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using SniPixmaps = QList<SniPixmap>;
struct SniToolTip {
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& arg, const SniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& arg, SniToolTip& tip);

// The pictures of an icon in the sizes trays use.
SniPixmaps sniPixmaps(const QIcon& icon);

// The program's icon in a StatusNotifier tray (the trays of XFCE, KDE,
// Cinnamon and GNOME with AppIndicator): an item on the session bus that
// the desktop's watcher is told about, with the tooltip, the picture and
// the menu, and the tray's activation reported. The item registers again
// whenever a watcher appears (the panel was restarted). All calls on the
// bus are asynchronous but one check at construction, so that the program
// knows at start whether there is such a tray.
class StatusNotifierItem : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";
    static constexpr const char* kPath = "/StatusNotifierItem";

    StatusNotifierItem(QDBusConnection bus, const QString& id, const QString& title,
                       const QIcon& icon, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // A watcher with a host that shows items is on the bus.
    bool hosted() const { return hosted_; }
    // A watcher is on the bus, with a host or not.
    bool watched() const { return watched_; }
    void setMenu(const QList<QAction*>& actions);
    // Shown in the tray (registered and active) or hidden (passive).
    void setVisible(bool visible);
    bool visible() const { return visible_; }
    void setToolTip(const QString& text);

    // What the tray reads.
    QString title() const { return title_; }
    QString id() const { return id_; }
    QString status() const;
    SniPixmaps pixmaps() const { return pixmaps_; }
    SniToolTip toolTip() const;

    // The tray's calls.
    void activate(QPoint at);
    void contextMenu(QPoint at);

Q_SIGNALS:
    // hosted() or watched() changed.
    void trayChanged();
    // A click on the icon: the only click these trays report.
    void activated();
    // The tray asks the program to open the menu itself (it does not read
    // the exported one).
    void contextMenuRequested(QPoint at);

    // The protocol's signals, relayed to the bus by the adaptor.
    void NewToolTip();
    void NewStatus(const QString& status);

private Q_SLOTS:
    void checkWatcher();

private:
    void onWatcherProperties(bool present, bool hostRegistered);
    void registerWithWatcher();
    void setState(bool watched, bool hosted);

    QDBusConnection bus_;
    QString id_;
    QString title_;
    SniPixmaps pixmaps_;
    QString toolTip_;
    bool visible_ = false;
    bool hosted_ = false;
    bool watched_ = false;
    bool exported_ = false;
    bool toolTipPending_ = false;
    DBusMenu* menu_;
    QDBusServiceWatcher* watcher_;
};

class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ empty)
    Q_PROPERTY(QString IconName READ empty)
    Q_PROPERTY(im::app::SniPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ empty)
    Q_PROPERTY(im::app::SniPixmaps OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ empty)
    Q_PROPERTY(im::app::SniPixmaps AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ empty)
    Q_PROPERTY(im::app::SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem* item);
    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return item_->id(); }
    QString title() const { return item_->title(); }
    QString status() const { return item_->status(); }
    int windowId() const { return 0; }
    QString empty() const { return {}; }
    SniPixmaps iconPixmap() const { return item_->pixmaps(); }
    SniPixmaps noPixmaps() const { return {}; }
    SniToolTip toolTip() const { return item_->toolTip(); }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const;

public Q_SLOTS:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString& orientation);

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    StatusNotifierItem* item_;
};

}  // namespace im::app

Q_DECLARE_METATYPE(im::app::SniPixmap)
Q_DECLARE_METATYPE(im::app::SniToolTip)
