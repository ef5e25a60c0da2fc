#pragma once

// The thin bar along the bottom of the right column: a long run of packets
// to the box shows `sent` of `total` there; total 0 hides it.

#include <QProgressBar>

namespace lumora::app {

inline void ShowProgress(QProgressBar* bar, int sent, int total) {
    bar->setVisible(total > 0);
    if (total > 0) {
        bar->setRange(0, total);
        bar->setValue(sent);
    }
}

}  // namespace lumora::app
