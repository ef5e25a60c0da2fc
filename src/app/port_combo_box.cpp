#include "app/port_combo_box.h"

namespace lumora::app {

void PortComboBox::showPopup() {
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

}  // namespace lumora::app
