#include "app/AnchorLayout.h"

#include <QWidget>
#include <QWidgetItem>

#include <algorithm>

namespace im::app {

AnchorLayout::AnchorLayout(QWidget* parent, QSize designSize)
    : QLayout(parent), design_(designSize) {
    setContentsMargins(0, 0, 0, 0);
}

AnchorLayout::~AnchorLayout() {
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

void AnchorLayout::add(QWidget* widget, QRect bounds, int anchors, int minimumWidth) {
    addChildWidget(widget);
    if (bounds.width() <= 0 || bounds.height() <= 0) {
        const QSize hint = widget->sizeHint();
        bounds.setSize(QSize(bounds.width() > 0 ? bounds.width() : hint.width(),
                             bounds.height() > 0 ? bounds.height() : hint.height()));
    }
    // A widget that keeps its size asks for no new layout when its content
    // changes (a label's text after every frame).
    const bool stretches = ((anchors & AnchorLeft) && (anchors & AnchorRight)) ||
                           ((anchors & AnchorTop) && (anchors & AnchorBottom));
    if (!stretches) {
        widget->setFixedSize(bounds.size());
    }
    entries_.append({new QWidgetItem(widget), bounds, anchors, minimumWidth});
    invalidate();
}

void AnchorLayout::addItem(QLayoutItem* item) {
    entries_.append({item, item->geometry(), AnchorLeft | AnchorTop, 0});
}

QLayoutItem* AnchorLayout::itemAt(int index) const {
    return index >= 0 && index < entries_.size() ? entries_[index].item : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index) {
    if (index < 0 || index >= entries_.size()) {
        return nullptr;
    }
    return entries_.takeAt(index).item;
}

int AnchorLayout::count() const {
    return static_cast<int>(entries_.size());
}

QRect AnchorLayout::placeFor(int index, QSize area) const {
    const Entry& e = entries_[index];
    const int dx = area.width() - design_.width();
    const int dy = area.height() - design_.height();
    QRect r = e.bounds;
    if ((e.anchors & AnchorLeft) && (e.anchors & AnchorRight)) {
        r.setWidth(std::max(e.bounds.width() + dx, e.minimumWidth));
    } else if (e.anchors & AnchorRight) {
        r.moveLeft(e.bounds.left() + dx);
    }
    if ((e.anchors & AnchorTop) && (e.anchors & AnchorBottom)) {
        r.setHeight(std::max(e.bounds.height() + dy, 0));
    } else if (e.anchors & AnchorBottom) {
        r.moveTop(e.bounds.top() + dy);
    }
    return r;
}

void AnchorLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    for (int i = 0; i < entries_.size(); ++i) {
        entries_[i].item->setGeometry(placeFor(i, rect.size()).translated(rect.topLeft()));
    }
}

}  // namespace im::app
