#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QLineEdit;

namespace im::app {

class LinkLabel;

// The about box: the version, the maker's page and the components the
// program is built with, as links. A link lights up under the pointer; the
// background puts every link back to black, and a click on it closes the box.
// It deletes itself when closed.
class TfAbout : public QDialog {
    Q_OBJECT
public:
    using OpenUrl = std::function<void(const QUrl&)>;
    explicit TfAbout(OpenUrl openUrl, QWidget* parent = nullptr);

    // Handlers, by their names: the pointer over a link (Label2MouseMove) or
    // over the background (FormMouseMove), a click on a link (Label4Click) or
    // on the background (FormClick).
    void Label2MouseMove(QLabel* link);
    void FormMouseMove();
    void Label4Click(QLabel* link);
    void FormClick();

    QLabel* Label10 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit1 = nullptr;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* plainLabel(const QString& text, int left, int top);
    QLabel* linkLabel(const QString& address, int left, int top);
    static void setHighlight(QLabel* link, const QColor& color, bool underline);

    OpenUrl openUrl_;
    QList<QLabel*> links_;
};

}  // namespace im::app
