#include "app/TfAbout.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

using namespace im;

namespace {

// Each link label's colour and underline, "b_" blue underlined, "k" black.
QString highlights(const app::TfAbout& box) {
    QString state;
    for (const QLabel* link : {box.Label2, box.Label3, box.Label4}) {
        const QColor c = link->palette().color(QPalette::WindowText);
        state += c == QColor(0, 0, 255) ? u'b' : c == QColor(0, 0, 0) ? u'k' : u'?';
        state += link->font().underline() ? u'_' : u' ';
    }
    return state;
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A link lights up under the pointer and stays lit until the pointer
    // crosses the background, which puts every link to black; plain labels
    // and the donation line are not background. A click on a link opens its
    // address and keeps the box; on a plain label it does nothing; on the
    // background it closes the box.
    void highlightAndClicks() {
        QList<QUrl> opened;
        QPointer<app::TfAbout> box = new app::TfAbout([&](const QUrl& url) { opened << url; });
        showExposed(*box);
        QVERIFY(box->Edit1->isReadOnly());
        const QString start = highlights(*box);
        QVERIFY(!start.contains(u'_'));

        auto centre = [](QWidget* w) { return w->rect().center(); };
        QTest::mouseMove(box->Label3, centre(box->Label3));
        QTRY_COMPARE(highlights(*box), start.left(2) + "b_" + start.right(2));
        QTest::mouseMove(box->Label4, centre(box->Label4));
        QTRY_COMPARE(highlights(*box).mid(2), QStringLiteral("b_b_"));
        QTest::mouseMove(box->Label10, centre(box->Label10));
        QTest::mouseMove(box->Edit1, centre(box->Edit1));
        QCOMPARE(highlights(*box).mid(2), QStringLiteral("b_b_"));
        QTest::mouseMove(box, QPoint(4, box->height() - 3));
        QTRY_COMPARE(highlights(*box), QStringLiteral("k k k "));

        QTest::mouseClick(box->Label2, Qt::LeftButton, {}, centre(box->Label2));
        QTest::mouseClick(box->Label6, Qt::LeftButton, {}, centre(box->Label6));
        QTest::mouseClick(box->Edit1, Qt::LeftButton, {}, centre(box->Edit1));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(box && box->isVisible());
        QCOMPARE(opened, QList<QUrl>{QUrl(box->Label2->text())});
        QVERIFY(opened[0].isValid() && opened[0].scheme() == QStringLiteral("https"));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() - 3));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(box.isNull());
    }
};

IM_TEST_MAIN(TestAbout)
#include "tst_about.moc"
