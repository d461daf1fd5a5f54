#include "journal/JournalView.h"

#include "journal/QuietScrollBar.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>

namespace im::journal {

namespace {

constexpr int kTextMargin = 3;
constexpr int kShownCharacters = 5000;

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char(',') ||
           c == QLatin1Char('.') || c == QLatin1Char(':') || c == QLatin1Char('=');
}

}  // namespace

JournalView::JournalView(JournalStore& store, QWidget* parent)
    : QAbstractScrollArea(parent), store_(store) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setVerticalScrollBar(new QuietScrollBar(Qt::Vertical, this));
    setHorizontalScrollBar(new QuietScrollBar(Qt::Horizontal, this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Both bars are always shown, so a new range needs no new layout; left
    // connected, every appended line would restack and repaint both bars.
    disconnect(verticalScrollBar(), &QAbstractSlider::rangeChanged, this, nullptr);
    disconnect(horizontalScrollBar(), &QAbstractSlider::rangeChanged, this, nullptr);
    store_.onChanged = [this] { storeChanged(); };
    updateScrollBars();
}

JournalView::Shown JournalView::shown(int line) const {
    Shown s{store_.lineStart(line, kShownCharacters), 0};
    s.columns = int(s.text.size());
    if (s.columns < kShownCharacters) {
        return s;
    }
    if (store_.lineBytes(line).size() > s.text.toUtf8().size()) {
        s.text += QChar(0x2026);
    }
    return s;
}

int JournalView::lineHeight() const {
    return fontMetrics().lineSpacing();
}

void JournalView::setColumnsAligned(bool aligned) {
    columnsAligned_ = aligned;
    measureColumns();
    measuredLine_ = -1;
    updateScrollBars();
    viewport()->update();
}

void JournalView::measureColumns() {
    cellStarts_.clear();
    alignedWidth_ = 0;
    if (!columnsAligned_) {
        return;
    }
    const QFontMetrics fm = fontMetrics();
    // Each cell's widest, then the columns one after the other, two
    // spaces apart.
    std::vector<int> widths;
    std::vector<int> lastCells;
    for (int line = 0; line < store_.segmentCount(); ++line) {
        const QStringList cells = shown(line).text.split(QLatin1Char('\t'));
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const int width = fm.horizontalAdvance(cells[c]);
            std::vector<int>& into = c + 1 < cells.size() ? widths : lastCells;
            if (into.size() <= std::size_t(c)) {
                into.resize(std::size_t(c) + 1, 0);
            }
            into[std::size_t(c)] = std::max(into[std::size_t(c)], width);
        }
    }
    const int gap = fm.horizontalAdvance(QStringLiteral("  "));
    int x = 0;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        x += widths[c] + gap;
        cellStarts_.push_back(x);
        alignedWidth_ =
            std::max(alignedWidth_, x + (c + 1 < lastCells.size() ? lastCells[c + 1] : 0));
    }
}

int JournalView::advance(const QString& text, int columns) const {
    const QFontMetrics fm = fontMetrics();
    int x = 0;
    int cellStart = 0;
    std::size_t cell = 0;
    for (int tab = cellStarts_.empty() ? -1 : int(text.indexOf(QLatin1Char('\t')));
         tab >= 0 && tab < columns; tab = int(text.indexOf(QLatin1Char('\t'), tab + 1))) {
        const int end = x + fm.horizontalAdvance(text.mid(cellStart, tab - cellStart));
        // A cell measured before an edit may have grown past its column.
        x = cell < cellStarts_.size() ? std::max(cellStarts_[cell], end)
                                      : end + fm.horizontalAdvance(QStringLiteral("  "));
        cellStart = tab + 1;
        ++cell;
    }
    return x + fm.horizontalAdvance(text.mid(cellStart, columns - cellStart));
}

void JournalView::drawColumns(QPainter& painter, int x, int baseline, const QString& text, int from,
                              int to) const {
    while (from < to) {
        const qsizetype tab = cellStarts_.empty() ? -1 : text.indexOf(QLatin1Char('\t'), from);
        const int end = tab >= 0 && tab < to ? int(tab) : to;
        painter.drawText(QPoint(x + advance(text, from), baseline), text.mid(from, end - from));
        from = end + 1;
    }
}

int JournalView::firstVisibleLine() const {
    return verticalScrollBar()->value();
}

int JournalView::visibleLineCount() const {
    return std::max(1, viewport()->height() / lineHeight());
}

void JournalView::storeChanged() {
    caret_ = store_.clamp(caret_);
    anchor_ = store_.clamp(anchor_);
    if (columnsAligned_) {
        measureColumns();  // a new cell may widen its column: all lines move
        measuredLine_ = -1;
        viewport()->update();
    }
    updateScrollBars();
    if (store_.revision() == knownRevision_) {
        // Lines were appended: only the rows from the old end on change.
        updateRows(knownSegments_ - 1, store_.segmentCount() - 1);
    } else {
        knownRevision_ = store_.revision();
        viewport()->update();
        Q_EMIT rewritten();
    }
    knownSegments_ = store_.segmentCount();
}

void JournalView::updateRows(int from, int to) {
    const int first = firstVisibleLine();
    const int h = lineHeight();
    const int top = std::max(from - first, 0) * h;
    const int bottom = (to - first + 1) * h;
    if (bottom > 0 && top < viewport()->height()) {
        viewport()->update(0, top, viewport()->width(), bottom - top);
    }
}

void JournalView::scrollContentsBy(int dx, int dy) {
    // Moves what is drawn and repaints only the uncovered part.
    viewport()->scroll(dx, dy * lineHeight());
}

void JournalView::updateScrollBars() {
    const int rows = visibleLineCount();
    // Shown to its end, the journal follows lines appended at the end.
    QScrollBar* v = verticalScrollBar();
    const int last = std::max(0, store_.segmentCount() - rows);
    static_cast<QuietScrollBar*>(v)->setRangeAndValue(
        0, last, v->value() == v->maximum() ? last : v->value());
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setSingleStep(1);
    // The line with the most characters is measured once, when it changes;
    // a line that is shorter but wider (wide letters) widens the range when
    // it is painted.
    const int widest = store_.widestLine();
    if (widest != measuredLine_ || store_.revision() != measuredRevision_) {
        measuredLine_ = widest;
        measuredRevision_ = store_.revision();
        const QString text = shown(widest).text;
        measuredWidth_ = advance(text, int(text.size()));
        paintedWidth_ = 0;
    }
    const int contentWidth =
        std::max({measuredWidth_, paintedWidth_, alignedWidth_}) + 2 * kTextMargin + 1;
    horizontalScrollBar()->setRange(0, std::max(0, contentWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 2);
}

void JournalView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void JournalView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        laidOut_.clear();
        measureColumns();
        measuredLine_ = -1;
        updateScrollBars();
        viewport()->update();
    }
}

int JournalView::xOf(TextPos pos) const {
    const Shown s = shown(pos.line);
    return kTextMargin + advance(s.text, std::min(pos.column, s.columns)) -
           horizontalScrollBar()->value();
}

TextPos JournalView::posAt(QPoint point) const {
    TextPos p;
    p.line =
        std::clamp(firstVisibleLine() + point.y() / lineHeight(), 0, store_.segmentCount() - 1);
    const Shown s = shown(p.line);
    const int x = point.x() + horizontalScrollBar()->value() - kTextMargin;
    // The first column whose character's middle lies right of x; advances
    // grow with the column, so halving finds it.
    auto middleOf = [&](int column) {
        return (advance(s.text, column) + advance(s.text, column + 1)) / 2;
    };
    int low = 0;
    int high = s.columns;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (x < middleOf(mid)) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    p.column = low;
    return p;
}

void JournalView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QPalette& pal = palette();
    const int h = lineHeight();
    const int first = firstVisibleLine();
    const int last = std::min(store_.segmentCount() - 1, first + viewport()->height() / h + 1);
    const TextPos selFrom = std::min(anchor_, caret_);
    const TextPos selTo = std::max(anchor_, caret_);
    const int dx = kTextMargin - horizontalScrollBar()->value();
    const QFontMetrics fm = fontMetrics();
    if (laidOutRevision_ != store_.revision() || laidOut_.size() > 4 * (last - first + 1) + 64) {
        laidOut_.clear();
        laidOutRevision_ = store_.revision();
    }
    int widestPainted = 0;
    for (int line = first; line <= last; ++line) {
        const int y = (line - first) * h;
        const Shown s = shown(line);
        const QString& text = s.text;
        if (hasSelection() && line >= selFrom.line && line <= selTo.line) {
            const int from = std::min(line == selFrom.line ? selFrom.column : 0, s.columns);
            const int to =
                line == selTo.line ? std::min(selTo.column, s.columns) : int(text.size());
            const int x1 = dx + advance(text, from);
            int x2 = dx + advance(text, to);
            if (line != selTo.line) {
                x2 += fm.averageCharWidth() / 2;  // the selected line end
            }
            p.fillRect(QRect(x1, y, x2 - x1, h), pal.brush(QPalette::Highlight));
            p.setPen(pal.color(QPalette::Text));
            drawColumns(p, dx, y + fm.ascent(), text, 0, from);
            p.setPen(pal.color(QPalette::HighlightedText));
            drawColumns(p, dx, y + fm.ascent(), text, from, to);
            p.setPen(pal.color(QPalette::Text));
            drawColumns(p, dx, y + fm.ascent(), text, to, int(text.size()));
            widestPainted = std::max(widestPainted, advance(text, int(text.size())));
        } else if (line == store_.segmentCount() - 1 ||
                   (!cellStarts_.empty() && text.contains(QLatin1Char('\t')))) {
            // The last segment is the one an append fills: never kept; a
            // line of aligned columns is drawn a cell at a time.
            p.setPen(pal.color(QPalette::Text));
            drawColumns(p, dx, y + fm.ascent(), text, 0, int(text.size()));
            widestPainted = std::max(widestPainted, advance(text, int(text.size())));
        } else {
            auto it = laidOut_.find(line);
            if (it == laidOut_.end()) {
                QStaticText laid(text);
                laid.setTextFormat(Qt::PlainText);
                laid.prepare(QTransform(), font());
                it = laidOut_.insert(line, laid);
            }
            p.setPen(pal.color(QPalette::Text));
            p.drawStaticText(dx, y, *it);
            widestPainted = std::max(widestPainted, qCeil(it->size().width()));
        }
    }
    if (widestPainted > std::max(measuredWidth_, paintedWidth_)) {
        paintedWidth_ = widestPainted;
        // Not from inside the paint: a new range may scroll and repaint.
        QMetaObject::invokeMethod(this, &JournalView::updateScrollBars, Qt::QueuedConnection);
    }
    if (hasFocus() && caret_.line >= first && caret_.line <= last) {
        // Just left of where its column begins: in the margin or the gap
        // between two letters, so that it covers no part of a letter.
        const int x = xOf(caret_) - 1;
        p.fillRect(QRect(x, (caret_.line - first) * h, 1, h), pal.color(QPalette::Text));
    }
}

void JournalView::ensureCaretVisible() {
    QScrollBar* v = verticalScrollBar();
    const int rows = visibleLineCount();
    if (caret_.line < v->value()) {
        v->setValue(caret_.line);
    } else if (caret_.line >= v->value() + rows) {
        v->setValue(caret_.line - rows + 1);
    }
    QScrollBar* h = horizontalScrollBar();
    const int x = xOf(caret_) + h->value();
    if (x - kTextMargin < h->value()) {
        h->setValue(std::max(0, x - kTextMargin - viewport()->width() / 3));
    } else if (x > h->value() + viewport()->width() - kTextMargin) {
        h->setMaximum(std::max(h->maximum(), x - viewport()->width() / 2));
        h->setValue(x - viewport()->width() * 2 / 3);
    }
}

void JournalView::setCaret(TextPos pos, bool keepAnchor) {
    const TextPos old = caret_;
    const bool hadSelection = hasSelection();
    caret_ = store_.clamp(pos);
    if (!keepAnchor) {
        anchor_ = caret_;
    }
    ensureCaretVisible();
    if (hadSelection || hasSelection()) {
        viewport()->update();
    } else {
        updateRows(old.line, old.line);
        updateRows(caret_.line, caret_.line);
    }
}

void JournalView::moveToEnd() {
    preferredX_ = -1;
    setCaret(store_.endPos());
}

void JournalView::selectAll() {
    anchor_ = {0, 0};
    caret_ = store_.endPos();
    viewport()->update();
}

QString JournalView::selectedText() const {
    return store_.textBetween(anchor_, caret_);
}

void JournalView::removeSelection() {
    if (hasSelection()) {
        const TextPos at = store_.replace(anchor_, caret_, QString());
        caret_ = anchor_ = at;
    }
}

void JournalView::insertText(const QString& text) {
    const TextPos from = std::min(anchor_, caret_);
    const TextPos to = std::max(anchor_, caret_);
    const TextPos at = store_.replace(from, to, text);
    preferredX_ = -1;
    setCaret(at);
}

void JournalView::copy() {
    if (hasSelection()) {
        QApplication::clipboard()->setText(selectedText());
    }
}

void JournalView::cut() {
    if (hasSelection()) {
        copy();
        removeSelection();
        setCaret(caret_);
    }
}

void JournalView::paste() {
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty()) {
        insertText(text);
    }
}

TextPos JournalView::wordStart(TextPos p) const {
    const QString text = store_.line(p.line);
    while (p.column > 0 && isWordChar(text[p.column - 1])) {
        --p.column;
    }
    return p;
}

TextPos JournalView::wordEnd(TextPos p) const {
    const QString text = store_.line(p.line);
    while (p.column < text.size() && isWordChar(text[p.column])) {
        ++p.column;
    }
    return p;
}

void JournalView::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    TextPos p = caret_;
    const int rows = visibleLineCount();
    auto moveTo = [&](TextPos to, bool vertical = false) {
        if (!vertical) {
            preferredX_ = -1;
        }
        setCaret(to, shift);
    };
    auto vertical = [&](int lines) {
        if (preferredX_ < 0) {
            preferredX_ = xOf(caret_) + horizontalScrollBar()->value();
        }
        TextPos to{std::clamp(caret_.line + lines, 0, store_.segmentCount() - 1), 0};
        const int y = (to.line - firstVisibleLine()) * lineHeight();
        to.column = posAt(QPoint(preferredX_ - horizontalScrollBar()->value(), y)).column;
        moveTo(to, true);
    };

    if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::Cut) {
        cut();
    } else if (event == QKeySequence::Paste) {
        paste();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        const bool left = event->key() == Qt::Key_Left;
        if (hasSelection() && !shift) {
            moveTo(left ? std::min(anchor_, caret_) : std::max(anchor_, caret_));
        } else if (left) {
            p = p.column > 0
                    ? TextPos{p.line, p.column - 1}
                    : (p.line > 0 ? TextPos{p.line - 1, store_.lineLength(p.line - 1)} : p);
            moveTo(event->modifiers() & Qt::ControlModifier ? wordStart(p) : p);
        } else {
            p = p.column < store_.lineLength(p.line)
                    ? TextPos{p.line, p.column + 1}
                    : (p.line + 1 < store_.segmentCount() ? TextPos{p.line + 1, 0} : p);
            moveTo(event->modifiers() & Qt::ControlModifier ? wordEnd(p) : p);
        }
    } else if (event->key() == Qt::Key_Up) {
        vertical(-1);
    } else if (event->key() == Qt::Key_Down) {
        vertical(1);
    } else if (event->key() == Qt::Key_PageUp) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() - rows);
        vertical(-rows);
    } else if (event->key() == Qt::Key_PageDown) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
        vertical(rows);
    } else if (event->key() == Qt::Key_Home) {
        moveTo(event->modifiers() & Qt::ControlModifier ? TextPos{0, 0} : TextPos{p.line, 0});
    } else if (event->key() == Qt::Key_End) {
        moveTo(event->modifiers() & Qt::ControlModifier
                   ? store_.endPos()
                   : TextPos{p.line, store_.lineLength(p.line)});
    } else if (event->key() == Qt::Key_Backspace) {
        if (!hasSelection()) {
            anchor_ = p.column > 0
                          ? TextPos{p.line, p.column - 1}
                          : (p.line > 0 ? TextPos{p.line - 1, store_.lineLength(p.line - 1)} : p);
        }
        insertText(QString());
    } else if (event->key() == Qt::Key_Delete) {
        if (!hasSelection()) {
            anchor_ = p.column < store_.lineLength(p.line)
                          ? TextPos{p.line, p.column + 1}
                          : (p.line + 1 < store_.segmentCount() ? TextPos{p.line + 1, 0} : p);
        }
        insertText(QString());
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        insertText(QStringLiteral("\n"));
    } else if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        insertText(event->text());
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void JournalView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        preferredX_ = -1;
        setCaret(posAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
    }
}

void JournalView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        setCaret(posAt(event->position().toPoint()), true);
    }
}

void JournalView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const TextPos at = posAt(event->position().toPoint());
        anchor_ = wordStart(at);
        caret_ = wordEnd(at);
        viewport()->update();
    }
}

void JournalView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* cutAction = menu.addAction(QCoreApplication::translate("JournalView", "Вырезать"),
                                        this, &JournalView::cut);
    QAction* copyAction = menu.addAction(QCoreApplication::translate("JournalView", "Копировать"),
                                         this, &JournalView::copy);
    menu.addAction(QCoreApplication::translate("JournalView", "Вставить"), this,
                   &JournalView::paste)
        ->setEnabled(!QApplication::clipboard()->text().isEmpty());
    QAction* deleteAction = menu.addAction(QCoreApplication::translate("JournalView", "Удалить"),
                                           this, [this] { insertText(QString()); });
    menu.addSeparator();
    menu.addAction(QCoreApplication::translate("JournalView", "Выделить всё"), this,
                   &JournalView::selectAll);
    cutAction->setEnabled(hasSelection());
    copyAction->setEnabled(hasSelection());
    deleteAction->setEnabled(hasSelection());
    menu.exec(event->globalPos());
}

void JournalView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void JournalView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void JournalView::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) {
        insertText(event->commitString());
    }
    event->accept();
}

QVariant JournalView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImCursorRectangle) {
        return QRect(xOf(caret_), (caret_.line - firstVisibleLine()) * lineHeight(), 1,
                     lineHeight());
    }
    return QAbstractScrollArea::inputMethodQuery(query);
}

}  // namespace im::journal
