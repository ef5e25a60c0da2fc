#pragma once

// What each channel of the box would put out now, as a picture: its live
// map, uniformity, colour adjust, edge blend and test pattern applied to the
// source, with the overlay's markers on top. Kept up to date on a thread of
// its own, each file replaced whole.

#include <QImage>
#include <memory>
#include <optional>
#include <string>

#include "render/renderer.h"
#include "sim/background_writer.h"
#include "sim/box_model.h"

namespace lumora::sim {

// A copy of what one channel's picture depends on, taken on the box's thread.
struct OutputSnapshot {
    std::unique_ptr<warp::WarpMap> map;  // identity until a live map is committed
    render::ChannelLook look;
    OverlayMemory overlay;
    bool overlayShown = false;
    int width = 0;
    int height = 0;
};

OutputSnapshot TakeOutputSnapshot(const BoxModel& model, int channel);
QImage OutputImage(const OutputSnapshot& snapshot, const render::Image16& source);

class OutputPngWriter {
  public:
    // The pictures go to `dir`/output-A.png and output-B.png; `source` is
    // the picture the box is given (scaled to the picture size).
    OutputPngWriter(std::string dir, std::shared_ptr<const render::Image16> source);

    static std::string FileName(int channel);
    std::string path(int channel) const { return dir_ + "/" + FileName(channel); }

    void submit(int channel, OutputSnapshot snapshot);
    void drain() { writer_.flush(); }
    int failed() const { return writer_.failed(); }

  private:
    const std::string dir_;
    std::shared_ptr<const render::Image16> source_;
    BackgroundWriter writer_;
};

// The source named by --input, or the built-in test card; nullopt and the
// reason in `error` when the image cannot be read.
std::shared_ptr<const render::Image16> OutputSource(const std::string& inputPath, int width,
                                                    int height, std::string& error);

}  // namespace lumora::sim
