#pragma once

#include <QLayout>
#include <QList>
#include <QRect>

namespace im::app {

enum Anchor { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };

// Places widgets at their design bounds in a design-sized area and keeps
// each at its distance to the edges it is anchored to when the area is
// resized: anchored left and right it stretches, right only it moves, and
// likewise for top and bottom.
class AnchorLayout : public QLayout {
public:
    AnchorLayout(QWidget* parent, QSize designSize);
    ~AnchorLayout() override;

    // A size of 0 in bounds means the widget's own size hint.
    void add(QWidget* widget, QRect bounds, int anchors, int minimumWidth = 0);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override { return design_; }
    QSize minimumSize() const override { return {0, 0}; }
    void setGeometry(const QRect& rect) override;

    // Where a widget goes in an area of the given size.
    QRect placeFor(int index, QSize area) const;

private:
    struct Entry {
        QLayoutItem* item;
        QRect bounds;
        int anchors;
        int minimumWidth;
    };
    QList<Entry> entries_;
    QSize design_;
};

}  // namespace im::app
