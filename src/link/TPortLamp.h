#pragma once

#include <QWidget>

namespace im::link {

class TSerialPort;

// The connection lamp: a green lamp, lit while the bound port is open.
class TPortLamp : public QWidget {
    Q_OBJECT
public:
    explicit TPortLamp(QWidget* parent = nullptr);
    void bindTo(TSerialPort& port);
    bool isLit() const { return lit_; }
    QSize sizeHint() const override { return {25, 25}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setLit(bool lit);
    bool lit_ = false;
};

}  // namespace im::link
