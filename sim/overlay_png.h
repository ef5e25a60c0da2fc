#pragma once

// The overlay as a picture a person can look at, and a writer that keeps one
// PNG per channel up to date without holding up the box's replies.

#include <QImage>
#include <string>

#include "sim/background_writer.h"
#include "sim/overlay_memory.h"

namespace lumora::sim {

// One pixel per overlay pixel (8-bit indexed). Colour 0x00 is black; the
// marker colour 0x88 is bright green and any other colour magenta. While the
// display switch is off the same colours are drawn dim, so a hidden overlay
// still shows what is in memory.
QImage OverlayImage(const OverlayMemory& memory, bool shown);

// Writes pictures on a thread of its own: PNG encoding of a full-size
// picture takes long enough to delay replies on the line. Each file is
// replaced whole, so a viewer never reads half a picture.
class OverlayPngWriter {
  public:
    static constexpr int kChannels = 2;

    // Pictures go to `dir`/overlay-A.png and `dir`/overlay-B.png; `dir` must exist.
    explicit OverlayPngWriter(std::string dir) : dir_(std::move(dir)) {}

    // "overlay-A.png" for channel 0, "overlay-B.png" for channel 1.
    static std::string FileName(int channel);
    std::string path(int channel) const { return dir_ + "/" + FileName(channel); }

    // Queues a picture of `channel` made from a copy of its memory (cheap:
    // lines never drawn are not copied; the picture is made on the writer's
    // thread). One queued earlier and not yet started is replaced: only the
    // newest matters. Whatever is queued is written before the writer goes.
    void submit(int channel, OverlayMemory memory, bool shown);
    // Blocks until everything submitted so far is on disk (or has failed).
    void drain() { writer_.flush(); }
    // Pictures written and failed since start.
    int written() const { return writer_.written(); }
    int failed() const { return writer_.failed(); }

  private:
    const std::string dir_;
    BackgroundWriter writer_;  // as soon as it is free: the caller picks the moment
};

}  // namespace lumora::sim
