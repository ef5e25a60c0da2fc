#pragma once

// The overlay as a picture a person can look at, and a writer that keeps one
// PNG per channel up to date without holding up the box's replies.

#include <QImage>
#include <array>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "sim/overlay_memory.h"

namespace lumora::sim {

// One pixel per overlay pixel (8-bit indexed). Colour 0x00 is black; the
// marker colour 0x88 is bright green and any other colour magenta. While the
// display switch is off the same colours are drawn dim, so a hidden overlay
// still shows what is in memory.
QImage OverlayImage(const OverlayMemory& memory, bool shown);

// Writes pictures on a thread of its own: PNG encoding of a full-size
// picture takes long enough to delay replies on the line. Each file is
// written beside its final name and renamed over it, so a viewer never reads
// half a picture.
class OverlayPngWriter {
  public:
    static constexpr int kChannels = 2;

    // Pictures go to `dir`/overlay-A.png and `dir`/overlay-B.png; `dir` must exist.
    explicit OverlayPngWriter(std::string dir);
    // Writes whatever is still queued, then stops.
    ~OverlayPngWriter();
    OverlayPngWriter(const OverlayPngWriter&) = delete;
    OverlayPngWriter& operator=(const OverlayPngWriter&) = delete;

    // "overlay-A.png" for channel 0, "overlay-B.png" for channel 1.
    static std::string FileName(int channel);
    std::string path(int channel) const { return dir_ + "/" + FileName(channel); }

    // Queues a picture of `channel` made from a copy of its memory (cheap:
    // lines never drawn are not copied; the picture is made on the writer's
    // thread). One queued earlier and not yet started is replaced: only the
    // newest matters.
    void submit(int channel, OverlayMemory memory, bool shown);
    // Blocks until everything submitted so far is on disk (or has failed).
    void drain();
    // Pictures written and failed since start.
    int written() const;
    int failed() const;

  private:
    void work();

    const std::string dir_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    struct Job {
        OverlayMemory memory;
        bool shown = false;
    };
    std::array<std::optional<Job>, kChannels> queued_;
    bool busy_ = false;
    bool stopping_ = false;
    bool failing_ = false;  // reported once per run of failures
    int written_ = 0;
    int failed_ = 0;
    std::thread thread_;
};

}  // namespace lumora::sim
