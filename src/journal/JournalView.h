#pragma once

#include "journal/JournalStore.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QStaticText>

#include <vector>

class QMenu;

namespace im::journal {

// The journal view (Memo1): an editable text view over a JournalStore that
// lays out and draws only the lines on screen, so that weeks of record
// lines cost no more to show or to append to than a page of them.
class JournalView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit JournalView(JournalStore& store, QWidget* parent = nullptr);

    JournalStore& store() { return store_; }
    TextPos caret() const { return caret_; }
    bool hasSelection() const { return anchor_ != caret_; }
    QString selectedText() const;
    void setCaret(TextPos pos, bool keepAnchor = false);
    void selectAll();
    // Leaves the caret, and so the view, at the end of the text (after an
    // appended line).
    void moveToEnd();

    void copy();
    void cut();
    void paste();
    void insertText(const QString& text);

    int firstVisibleLine() const;
    int visibleLineCount() const;
    // The viewport x where a position's column begins: where the caret
    // stands before it.
    int xOf(TextPos pos) const;

    // Shows the columns of a tab-separated table (the daily summary) one
    // under the other: each tab reaches past the widest cell of its column
    // in any line. The text keeps its tabs. Measures every line at each
    // change of the text, so it is for short texts.
    void setColumnsAligned(bool aligned);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    // Lines that were there before changed: an edit, a clear, a load (not
    // an append).
    void rewritten();

private:
    void storeChanged();
    void updateScrollBars();
    void ensureCaretVisible();
    TextPos posAt(QPoint viewportPoint) const;
    int lineHeight() const;
    // The width of a line's first columns, the tabs of aligned columns
    // reaching their column's place.
    int advance(const QString& text, int columns) const;
    // Draws the columns from..to of a line that starts at x.
    void drawColumns(QPainter& painter, int x, int baseline, const QString& text, int from,
                     int to) const;
    void measureColumns();
    void removeSelection();
    void updateRows(int from, int to);
    void scrollContentsBy(int dx, int dy) override;
    TextPos wordStart(TextPos p) const;
    TextPos wordEnd(TextPos p) const;

    // What is drawn of a line: all of it, or for a line longer than any
    // record line by far (a file opened by mistake) its start and an
    // ellipsis; `columns` is how many of the line's columns that shows.
    struct Shown {
        QString text;
        int columns;
    };
    Shown shown(int line) const;

    JournalStore& store_;
    TextPos caret_;
    TextPos anchor_;
    int preferredX_ = -1;
    // Laid-out texts of the lines on screen: a new line scrolls the view by
    // one row and only that row is laid out anew.
    mutable QHash<int, QStaticText> laidOut_;
    quint64 laidOutRevision_ = 0;
    quint64 knownRevision_ = 0;
    int knownSegments_ = 1;
    // The pixel width of the text: the line with the most characters, and
    // the widest line painted since.
    int measuredLine_ = -1;
    quint64 measuredRevision_ = 0;
    int measuredWidth_ = 0;
    int paintedWidth_ = 0;
    // Where the cells after the first begin, from the text's start, while
    // columns are aligned.
    bool columnsAligned_ = false;
    std::vector<int> cellStarts_;
    int alignedWidth_ = 0;
};

}  // namespace im::journal
