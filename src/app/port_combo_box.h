#pragma once

#include <QComboBox>

namespace lumora::app {

// "COM PORT": says when its list is about to open, so that the list can be
// filled again first and an adapter plugged in since shows up.
class PortComboBox : public QComboBox {
    Q_OBJECT
  public:
    using QComboBox::QComboBox;
    void showPopup() override;

  signals:
    void aboutToShowPopup();
};

}  // namespace lumora::app
