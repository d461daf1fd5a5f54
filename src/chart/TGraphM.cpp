#include "chart/TGraphM.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>

#include <QLocale>

#include <algorithm>
#include <optional>
#include <vector>

namespace im::chart {

namespace {

constexpr int kHintRenewMs = 200;
constexpr int kWheelNotch = 120;

// A line as the chart's drawing convention has it: it covers its start and
// stops one pixel short of its end.
void line(QPainter& p, int x1, int y1, int x2, int y2) {
    const int dx = (x2 > x1) - (x2 < x1);
    const int dy = (y2 > y1) - (y2 < y1);
    if (dx == 0 && dy == 0) {
        return;
    }
    if (dx == 0 || dy == 0) {
        p.drawLine(x1, y1, x2 - dx, y2 - dy);
    } else {
        p.drawLine(x1, y1, x2, y2);
    }
}

QPen solidPen(const QColor& color, int width = 1) {
    QPen pen(color, width, Qt::SolidLine, width > 1 ? Qt::RoundCap : Qt::SquareCap, Qt::RoundJoin);
    return pen;
}

// The decimal separator the scale labels are written with.
QChar journalDecimal() {
    return QLocale().decimalPoint().at(0);
}

// The pixels of an RGB32 image, taken once per paint: every scanLine() call
// on a writable image checks whether it must detach.
struct Pixels {
    QRgb* bits;
    qsizetype stride;  // in pixels
    std::vector<qsizetype>* touched;
    QRgb& at(int x, int y) const {
        const qsizetype i = y * stride + x;
        touched->push_back(i);
        return bits[i];
    }
};

void fillPixels(const Pixels& image, const QRect& r, QRgb rgb) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            image.at(x, y) = rgb;
        }
    }
}

// Cuts the segment a-b to the rectangle (Cohen-Sutherland); false when
// nothing of it is inside.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, const QRect& r) {
    const double left = r.left(), right = r.right(), top = r.top(), bottom = r.bottom();
    auto code = [&](double x, double y) {
        return (x < left ? 1 : 0) | (x > right ? 2 : 0) | (y < top ? 4 : 0) | (y > bottom ? 8 : 0);
    };
    int c0 = code(x0, y0);
    int c1 = code(x1, y1);
    for (;;) {
        if (!(c0 | c1)) {
            return true;
        }
        if (c0 & c1) {
            return false;
        }
        const int out = c0 ? c0 : c1;
        double x = 0;
        double y = 0;
        if (out & 8) {
            x = x0 + (x1 - x0) * (bottom - y0) / (y1 - y0);
            y = bottom;
        } else if (out & 4) {
            x = x0 + (x1 - x0) * (top - y0) / (y1 - y0);
            y = top;
        } else if (out & 2) {
            y = y0 + (y1 - y0) * (right - x0) / (x1 - x0);
            x = right;
        } else {
            y = y0 + (y1 - y0) * (left - x0) / (x1 - x0);
            x = left;
        }
        if (out == c0) {
            x0 = x;
            y0 = y;
            c0 = code(x0, y0);
        } else {
            x1 = x;
            y1 = y;
            c1 = code(x1, y1);
        }
    }
}

// A one-pixel line straight into the image (Bresenham), inside clip: what
// a one-pixel pen draws, at a fraction of the cost of a painter per
// segment.
void plotLine(const Pixels& image, const QRect& clip, QPoint a, QPoint b, QRgb rgb) {
    int x0 = a.x(), y0 = a.y(), x1 = b.x(), y1 = b.y();
    if (!clip.contains(a) || !clip.contains(b)) {
        double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
        if (!clipSegment(fx0, fy0, fx1, fy1, clip)) {
            return;
        }
        x0 = qRound(fx0);
        y0 = qRound(fy0);
        x1 = qRound(fx1);
        y1 = qRound(fy1);
    }
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (clip.contains(x0, y0)) {
            image.at(x0, y0) = rgb;
        }
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

QPen dottedPen(const QColor& color) {
    QPen pen(color, 1);
    pen.setDashPattern({1, 1});
    return pen;
}

// The standard dotted focus rectangle: every other pixel of the border
// inverted, so that it shows on any background and under any style.
void drawFocusRect(QPainter& p, const QRect& r) {
    QList<QPoint> dots;
    for (int x = r.left(); x <= r.right(); ++x) {
        for (int y : {r.top(), r.bottom()}) {
            if ((x + y) % 2 == 0) {
                dots << QPoint(x, y);
            }
        }
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        for (int x : {r.left(), r.right()}) {
            if ((x + y) % 2 == 0) {
                dots << QPoint(x, y);
            }
        }
    }
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.drawPoints(dots.constData(), int(dots.size()));
    p.restore();
}

}  // namespace

QColor inkOn(const QColor& background) {
    return qGray(background.rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

QColor readableOn(const QColor& colour, const QColor& background) {
    const int dr = colour.red() - background.red();
    const int dg = colour.green() - background.green();
    const int db = colour.blue() - background.blue();
    constexpr int kNear = 64;  // a distance in RGB below which a line is lost
    return dr * dr + dg * dg + db * db < kNear * kNear ? inkOn(background) : colour;
}

TGraphM::TGraphM(QWidget* parent) : QWidget(parent) {
    resize(320, 210);
    setClientSize(320, 210);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The focus comes by tab or by the first click, which does nothing else.
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
}

TGraphM::~TGraphM() {
    delete hint_;
}

void TGraphM::invalidate() {
    dirty_ = true;
    update();
}

void TGraphM::render() {
    DrawGraph(buffer_);
    dirty_ = false;
}

void TGraphM::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    invalidate();
}

void TGraphM::scaleChanged(int newScale) {
    if (OnScaleChange) {
        OnScaleChange(this, newScale);
    }
}

void TGraphM::resizeEvent(QResizeEvent* event) {
    setClientSize(width(), height());
    dirty_ = true;
    QWidget::resizeEvent(event);
}

void TGraphM::paintEvent(QPaintEvent*) {
    if (dirty_ || buffer_.size() != size()) {
        render();
    }
    QPainter p(this);
    p.drawImage(0, 0, buffer_);
}

TGraphM::BackgroundKey TGraphM::backgroundKey() const {
    return {size(),      Color().rgb(), ColorGrid().rgb(), ColorAxis().rgb(), WatermarkColor.rgb(),
            GridX(),     GridY(),       ShowTextScale(),   hasFocus(),        Scale(),
            Precision(), BottomMargin,  ViewMinX,          ViewMaxX,          ViewMinY,
            ViewMaxY,    font().key(),  journalDecimal()};
}

void TGraphM::DrawGraph(QImage& image) {
    setClientSize(width(), height());
    LeftMargin = 20;
    updateRanges();
    const BackgroundKey key = backgroundKey();
    const bool sameBackground = backgroundKey_ && *backgroundKey_ == key;
    if (sameBackground) {
        // Grid, scales and frame as the last paint left them.
        LeftMargin = backgroundFields_.leftMargin;
        PlotWidth = backgroundFields_.plotWidth;
        PlotHeight = backgroundFields_.plotHeight;
        XUnitsPerPixel = backgroundFields_.xUnitsPerPixel;
        YUnitsPerPixel = backgroundFields_.yUnitsPerPixel;
        XLabelSize = backgroundFields_.xLabelSize;
        YLabelSize = backgroundFields_.yLabelSize;
        yLabels_ = backgroundFields_.yLabels;
        xLabels_ = backgroundFields_.xLabels;
    } else {
        paintBackground(background_);
        backgroundKey_ = key;
        backgroundFields_ = {LeftMargin, PlotWidth,  PlotHeight, XUnitsPerPixel, YUnitsPerPixel,
                             XLabelSize, YLabelSize, yLabels_,   xLabels_};
    }
    if (sameBackground && touchedComplete_ && image.constBits() == lastTarget_ &&
        image.size() == background_.size()) {
        // Only the pixels of the last curves differ from the background.
        QRgb* to = reinterpret_cast<QRgb*>(image.bits());
        const QRgb* from = reinterpret_cast<const QRgb*>(background_.constBits());
        for (const qsizetype i : touched_) {
            to[i] = from[i];
        }
    } else {
        image = background_.copy();
    }
    touched_.clear();
    touchedComplete_ = true;
    if (Curves().count() > 0) {
        drawCurves(image, height() - BottomMargin);
    }
    lastTarget_ = image.constBits();
}

void TGraphM::paintBackground(QImage& image) {
    const int W = width();
    const int H = height();
    if (image.size() != QSize(W, H)) {
        image = QImage(W, H, QImage::Format_RGB32);
    }
    yLabels_.clear();
    xLabels_.clear();
    QPainter p(&image);
    p.fillRect(0, 0, W, H, Color());

    if (hasFocus()) {
        drawFocusRect(p, QRect(0, 0, W, H));
    }

    if (ShowTextScale()) {
        const QFont saved = p.font();
        QFont watermark(QStringLiteral("Arial"), 20, QFont::Bold);
        p.setFont(watermark);
        const QString text = QCoreApplication::translate("TGraphM", "М: %1%").arg(Scale());
        const int textWidth = QFontMetrics(watermark).horizontalAdvance(text);
        p.setPen(Color() == QColor(Qt::white) ? WatermarkColor : QColor(Qt::white));
        p.drawText(QRect(W - textWidth - 30, 10, textWidth + 30, H), Qt::AlignLeft | Qt::AlignTop,
                   text);
        p.setFont(saved);
    }

    LeftMargin = 20;
    const QColor ink = inkOn(Color());
    // The frame is no colour the operator chose: it is the ink wherever it
    // would be hard to see (black on a dark blue).
    const QColor axis =
        std::abs(qGray(ColorAxis().rgb()) - qGray(Color().rgb())) < 96 ? ink : ColorAxis();
    p.setPen(solidPen(ink));

    const QFontMetrics fm(p.font());
    const Measure measure = [&fm](const QString& text) {
        return QSize(fm.horizontalAdvance(text), fm.height());
    };
    const int y0 = H - BottomMargin;

    const std::optional<AxisScale> ys = ComputeYScale(measure);
    if (ys) {
        const int offset = qRound((ys->first - ViewMinY) / YUnitsPerPixel);
        const int lw = YLabelSize.width();
        const int lh = YLabelSize.height();
        double v = ys->first;
        for (int i = 0; v <= ViewMaxY && i <= PlotHeight + 1; ++i, v += ys->step) {
            const int y = y0 - qRound(i * ys->step / YUnitsPerPixel) - offset;
            if (GridY()) {
                p.setPen(dottedPen(ColorGrid()));
                line(p, LeftMargin + PlotWidth, y, LeftMargin, y);
                p.setPen(solidPen(ink));
            }
            line(p, LeftMargin, y, LeftMargin - 4, y);
            const QString text = numberText(v, ys->decimals);
            yLabels_ << text;
            p.drawText(QRect(LeftMargin - 6 - lw, y - lh / 2, lw, lh / 2 * 2),
                       Qt::AlignRight | Qt::AlignTop, text);
        }
        p.setPen(solidPen(axis));
        line(p, LeftMargin, y0, LeftMargin + PlotWidth, y0);
        line(p, LeftMargin, y0 - PlotHeight, LeftMargin + PlotWidth, y0 - PlotHeight);
        p.setPen(solidPen(ink));
    } else {
        // No Y scale: the plot keeps the room the labels at hand leave.
        PlotHeight = H - BottomMargin - kTopMargin;
        XLabelSize = MeasureLabels(ViewMinX, ViewMaxX, Precision(), measure);
        PlotWidth = W - LeftMargin - XLabelSize.width() / 2 - 3;
        line(p, 20, H - 20, 20, 2);
    }

    const std::optional<AxisScale> xs = ComputeXScale();
    if (xs) {
        const int offset = qRound((xs->first - ViewMinX) / XUnitsPerPixel);
        const int lw = XLabelSize.width();
        const int lh = XLabelSize.height();
        double v = xs->first;
        for (int i = 0; v <= ViewMaxX && i <= PlotWidth + 1; ++i, v += xs->step) {
            const int x = LeftMargin + qRound(i * xs->step / XUnitsPerPixel) + offset;
            if (GridX()) {
                p.setPen(dottedPen(ColorGrid()));
                line(p, x, y0 - PlotHeight, x, y0);
                p.setPen(solidPen(ink));
            }
            line(p, x, y0, x, y0 + 4);
            const QString text = numberText(v, xs->decimals);
            xLabels_ << text;
            p.drawText(QRect(x - lw / 2, y0 + 8, lw / 2 * 2, lh), Qt::AlignHCenter | Qt::AlignTop,
                       text);
        }
        p.setPen(solidPen(axis));
        line(p, LeftMargin, y0, LeftMargin, y0 - PlotHeight);
        line(p, LeftMargin + PlotWidth, y0, LeftMargin + PlotWidth, y0 - PlotHeight);
        p.setPen(solidPen(ink));
    } else {
        line(p, 20, H - 20, W - 2, H - 20);
    }
}

void TGraphM::drawCurves(QImage& image, int y0) {
    // A curve may reach two pixels below the X axis, never left of the Y
    // axis or right of the frame.
    const QRect clip(LeftMargin, kTopMargin, PlotWidth, y0 + 2 - kTopMargin);
    if (clip.isEmpty()) {
        return;
    }
    std::optional<QPainter> painter;  // only for wide lines
    const Pixels pixels{reinterpret_cast<QRgb*>(image.bits()), image.bytesPerLine() / 4, &touched_};
    for (int c = 0; c < Curves().count(); ++c) {
        const TCurve& curve = Curves()[c];
        const std::size_t n = curve.pointCount();
        if (n < 2) {
            continue;
        }
        const bool markers = Details() || curve.Details();
        int a = 0;
        int b = 0;
        int penWidth = curve.ThickLine();
        if (markers && curve.ThickLine() > 1) {
            a = curve.ThickLine() / 2;
            b = curve.ThickLine() - a;
            penWidth = 1;
        } else if (markers) {
            a = 2;
            b = 3;
        }
        const QColor colour = readableOn(curve.ColorGraph(), Color());
        const QRgb rgb = colour.rgb();
        const std::vector<double>& xs = curve.XValues();
        const std::vector<double>& ys = curve.YValues();
        if (penWidth > 1 && !painter) {
            painter.emplace(&image);
            painter->setClipRect(clip);
            touchedComplete_ = false;  // a wide pen covers pixels of its own
        }
        if (penWidth > 1) {
            painter->setPen(solidPen(colour, penWidth));
        }
        const double kX = kx();
        const double kY = ky();
        const int axisY = height() - BottomMargin;
        auto toPixels = [&](std::size_t j) {
            return QPoint(LeftMargin + toPixel((xs[j] - ViewMinX) * kX),
                          axisY - toPixel((ys[j] - ViewMinY) * kY));
        };
        QPoint previous = toPixels(0);
        for (std::size_t j = 1; j < n; ++j) {
            const QPoint at = toPixels(j);
            if (markers) {
                fillPixels(pixels, QRect(at.x() - a, at.y() - a, a + b, a + b) & clip, rgb);
            }
            if (penWidth > 1) {
                painter->drawLine(previous, at);
            } else {
                plotLine(pixels, clip, previous, at, rgb);
            }
            previous = at;
        }
    }
}

QString TGraphM::hintAt(QPoint pos) {
    const std::optional<FoundPoint> found = FindPointAt(pos);
    return found ? hintText(*found) : QString();
}

bool TGraphM::hintVisible() const {
    return hint_ && hint_->isVisible();
}

QString TGraphM::hintTextShown() const {
    return hintVisible() ? hint_->text() : QString();
}

void TGraphM::showHint(QPoint pos) {
    const QString text = hintAt(pos);
    hintRenewed_.start();
    if (text.isEmpty()) {
        hideHint();
        return;
    }
    if (!hint_) {
        hint_ = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
        hint_->setStyleSheet(
            QStringLiteral("QLabel { background: white; color: black; border: 1px solid black; "
                           "padding: 1px 3px; }"));
    }
    hint_->setText(text);
    hint_->adjustSize();
    hint_->move(mapToGlobal(pos) + QPoint(2, 20));
    hint_->show();
}

void TGraphM::hideHint() {
    if (hint_) {
        hint_->hide();
    }
}

bool TGraphM::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip:
            showHint(static_cast<QHelpEvent*>(event)->pos());
            return true;
        case QEvent::ShortcutOverride: {
            // The arrow keys belong to the chart, not to focus navigation.
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right ||
                key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                event->accept();
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::event(event);
}

void TGraphM::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (Curves().anyDrawable()) {
        LastMousePoint = event->position().toPoint();
        if (event->button() == Qt::LeftButton) {
            LeftButtonDown = true;
        }
    }
}

void TGraphM::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    Q_EMIT mouseMoved(pos);
    const bool held = event->buttons() != Qt::NoButton || event->modifiers() != Qt::NoModifier;
    if (held && LeftButtonDown && Scale() > 100 && pos != LastMousePoint) {
        Dragged = true;
        PanTo(pos);
    }
    if (hintVisible() && hintRenewed_.elapsed() >= kHintRenewMs) {
        showHint(pos);
    }
}

void TGraphM::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (!hasFocus() && isEnabled() && focusPolicy() != Qt::NoFocus) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    if (!Curves().anyDrawable()) {
        return;
    }
    if (Dragged) {
        Dragged = false;
        LeftButtonDown = false;
        return;
    }
    LeftButtonDown = false;
    LastMousePoint = event->position().toPoint();
    switch (event->button()) {
        case Qt::LeftButton:
            setScale(Scale() + StepScale());
            break;
        case Qt::RightButton:
            setScale(Scale() - StepScale());
            break;
        case Qt::MiddleButton:
            setScale(100);
            break;
        default:
            break;
    }
}

void TGraphM::wheelEvent(QWheelEvent* event) {
    // Fine-grained wheels report parts of a notch; a notch is one step.
    wheelRemainder_ += event->angleDelta().y();
    event->accept();
    while (wheelRemainder_ <= -kWheelNotch || wheelRemainder_ >= kWheelNotch) {
        const bool towardsUser = wheelRemainder_ < 0;
        wheelRemainder_ += towardsUser ? kWheelNotch : -kWheelNotch;
        if (!Curves().anyDrawable()) {
            continue;
        }
        LastMousePoint = event->position().toPoint();
        LeftButtonDown = false;
        setScale(Scale() + (towardsUser ? StepScale() / 2 : -(StepScale() / 2)));
    }
}

void TGraphM::keyPressEvent(QKeyEvent* event) {
    QWidget::keyPressEvent(event);
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const QPoint c(LeftMargin + (width() - LeftMargin) / 2, (height() - BottomMargin) / 2);
    const int across = width() - LeftMargin - 10;
    const int down = height() - BottomMargin - 8;
    switch (event->key()) {
        case Qt::Key_Asterisk:
            if (keypad) {
                setScale(100);
            }
            break;
        case Qt::Key_Plus:
            if (keypad) {
                LastMousePoint = QPoint(-1, 0);
                setScale(Scale() + StepScale());
            }
            break;
        case Qt::Key_Minus:
            if (keypad && Scale() >= 101) {
                LastMousePoint = QPoint(-1, 0);
                setScale(Scale() - StepScale());
            }
            break;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            if (Scale() <= 100) {
                break;
            }
            LastMousePoint = c;
            const int sign = event->key() == Qt::Key_Left || event->key() == Qt::Key_Up ? -1 : 1;
            if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
                PanTo(QPoint(c.x() + sign * (ctrl ? across : 10), c.y()));
            } else {
                PanTo(QPoint(c.x(), c.y() + sign * (ctrl ? down : 10)));
            }
            event->accept();
            break;
        }
        default:
            break;
    }
}

void TGraphM::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    invalidate();
}

void TGraphM::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    invalidate();
}

void TGraphM::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hideHint();
}

}  // namespace im::chart
