#pragma once

// The window's bitmap push button. Besides clicks it reports the pointer
// leaving it and the raw press and release of each mouse button, which the
// grid arrows need to start and stop their hold-to-repeat.

#include <QPushButton>

namespace lumora::app {

class TBitBtnEZ : public QPushButton {
    Q_OBJECT
  public:
    explicit TBitBtnEZ(QWidget* parent = nullptr);

  signals:
    void mouseLeave();
    void mousePressed(Qt::MouseButton button);
    void mouseReleased(Qt::MouseButton button);

  protected:
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace lumora::app
