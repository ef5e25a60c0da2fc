#pragma once

// The live preview's window: both channels' output side by side, Channel B
// on the left and Channel A on the right as in the main window, with the
// current channel's grid markers over its half. It paints what LivePreview
// rendered and runs the preview only while it is shown.

#include <QImage>
#include <QWidget>
#include <array>

#include "core/live_preview.h"

namespace lumora::app {

class PreviewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewWindow(core::LivePreview& preview, QWidget* parent = nullptr);
    ~PreviewWindow() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void takePictures();
    // Where channel c's picture goes in the window.
    QRect half(int c) const;

    core::LivePreview& preview_;
    std::array<QImage, base::kChannels> pictures_;
};

}  // namespace lumora::app
