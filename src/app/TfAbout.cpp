#include "app/TfAbout.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#ifndef IM_HOME_PAGE
#define IM_HOME_PAGE ""
#endif
#ifndef IM_DONATION
#define IM_DONATION ""
#endif

namespace im::app {

// A label whose address is its caption: it reports the pointer over it and
// clicks on it to the box.
class LinkLabel final : public QLabel {
public:
    LinkLabel(const QString& address, TfAbout* box) : QLabel(address, box), box_(box) {
        setMouseTracking(true);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseMoveEvent(QMouseEvent*) override { box_->Label2MouseMove(this); }
    void mousePressEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            box_->Label4Click(this);
        }
    }

private:
    TfAbout* box_;
};

TfAbout::TfAbout(OpenUrl openUrl, QWidget* parent) : QDialog(parent), openUrl_(std::move(openUrl)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QCoreApplication::translate("TfAbout", "О программе"));
    setMouseTracking(true);

    Label10 = plainLabel(
        QCoreApplication::translate("TfAbout", "V1.22   24.04.2012 (версия SHT10)"), 63, 8);
    Label8 = plainLabel(QCoreApplication::translate("TfAbout", "Домашняя страничка"), 8, 28);
    Label9 = linkLabel(QStringLiteral(IM_HOME_PAGE), 128, 28);
    // Without a page of the maker's own there is nothing to announce, and
    // the rows below move up into its place.
    const bool homePage = !Label9->text().isEmpty();
    Label8->setVisible(homePage);
    Label9->setVisible(homePage);
    const int top = homePage ? 0 : -20;
    Label1 = plainLabel(
        QCoreApplication::translate("TfAbout", "В программе использованны следующие компоненты"), 8,
        52 + top);
    Label7 = plainLabel(QCoreApplication::translate("TfAbout", "2D графики"), 8, 72 + top);
    // The port's input and output are the program's own; the library only
    // lists the ports the system has.
    Label6 = plainLabel(QCoreApplication::translate("TfAbout", "Qt Serial Port (список портов)"), 8,
                        88 + top);
    Label5 = plainLabel(QStringLiteral("Qt Widgets"), 8, 104 + top);
    // The addresses stand in a column right of the longest name.
    int column = 88;
    for (const QLabel* name : {Label7, Label6, Label5}) {
        column = std::max(column, name->geometry().right() + 9);
    }
    Label2 = linkLabel(QStringLiteral("https://doc.qt.io/qt-6/qpainter.html"), column, 72 + top);
    Label3 = linkLabel(QStringLiteral("https://doc.qt.io/qt-6/qtserialport-index.html"), column,
                       88 + top);
    Label4 =
        linkLabel(QStringLiteral("https://doc.qt.io/qt-6/qsystemtrayicon.html"), column, 104 + top);

    Edit1 = new QLineEdit(QStringLiteral(IM_DONATION), this);
    Edit1->setReadOnly(true);
    Edit1->setFrame(false);
    Edit1->setAttribute(Qt::WA_NoMousePropagation);
    QPalette flat = Edit1->palette();
    flat.setColor(QPalette::Base, palette().color(QPalette::Window));
    Edit1->setPalette(flat);
    Edit1->setGeometry(44, 128 + top, 201, 17);

    // The design size, widened where this desktop's font needs more room for
    // the addresses.
    int right = 298;
    for (const QObject* child : children()) {
        if (const auto* label = qobject_cast<const QLabel*>(child)) {
            right = std::max(right, label->geometry().right() + 9);
        }
    }
    setFixedSize(right, 153 + top);
}

QLabel* TfAbout::plainLabel(const QString& text, int left, int top) {
    auto* label = new QLabel(text, this);
    label->move(left, top);
    label->adjustSize();
    // A plain label is not background: the pointer over it and a click on
    // it do nothing.
    label->setAttribute(Qt::WA_NoMousePropagation);
    return label;
}

QLabel* TfAbout::linkLabel(const QString& address, int left, int top) {
    auto* label = new LinkLabel(address, this);
    label->move(left, top);
    label->adjustSize();
    links_.append(label);
    return label;
}

void TfAbout::setHighlight(QLabel* link, const QColor& color, bool underline) {
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, color);
    link->setPalette(palette);
    QFont font = link->font();
    font.setUnderline(underline);
    link->setFont(font);
}

void TfAbout::Label2MouseMove(QLabel* link) {
    setHighlight(link, QColor(0, 0, 255), true);
}

void TfAbout::FormMouseMove() {
    for (QLabel* link : links_) {
        setHighlight(link, QColor(0, 0, 0), false);
    }
}

void TfAbout::Label4Click(QLabel* link) {
    if (openUrl_ && !link->text().isEmpty()) {
        openUrl_(QUrl(link->text()));
    }
}

void TfAbout::FormClick() {
    close();
}

void TfAbout::mouseMoveEvent(QMouseEvent*) {
    FormMouseMove();
}

void TfAbout::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        FormClick();
    }
}

}  // namespace im::app
