#include "sim/overlay_png.h"

#include <sys/resource.h>
#include <unistd.h>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdio>
#include <cstring>

#include "sim/quiet_thread.h"

namespace lumora::sim {
namespace {

constexpr std::uint8_t kMarkerColour = 0x88;

QList<QRgb> colourTable(bool shown) {
    const int on = shown ? 255 : 100;
    QList<QRgb> table(256, qRgb(on, 0, on));
    table[0] = qRgb(0, 0, 0);
    table[kMarkerColour] = qRgb(0, on, 0);
    return table;
}

}  // namespace

QImage OverlayImage(const OverlayMemory& memory, bool shown) {
    QImage image(memory.width(), memory.height(), QImage::Format_Indexed8);
    image.setColorTable(colourTable(shown));
    const auto width = static_cast<std::size_t>(memory.width());
    for (int y = 0; y < memory.height(); ++y) {
        const std::span<const std::uint8_t> line = memory.line(y);
        uchar* out = image.scanLine(y);
        if (line.empty()) {
            std::memset(out, 0, width);
        } else {
            std::memcpy(out, line.data(), width);
        }
    }
    return image;
}

OverlayPngWriter::OverlayPngWriter(std::string dir)
    : dir_(std::move(dir)), thread_(StartQuietThread([this] { work(); })) {}

OverlayPngWriter::~OverlayPngWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::string OverlayPngWriter::FileName(int channel) {
    return channel == 0 ? "overlay-A.png" : "overlay-B.png";
}

void OverlayPngWriter::submit(int channel, OverlayMemory memory, bool shown) {
    {
        std::lock_guard lock(mutex_);
        queued_.at(static_cast<std::size_t>(channel)) = Job{std::move(memory), shown};
    }
    wake_.notify_all();
}

void OverlayPngWriter::drain() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock,
               [this] { return !busy_ && !queued_[0].has_value() && !queued_[1].has_value(); });
}

int OverlayPngWriter::written() const {
    std::lock_guard lock(mutex_);
    return written_;
}

int OverlayPngWriter::failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

void OverlayPngWriter::work() {
    // Below the serve loop: on a busy machine the replies come first.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(
            lock, [this] { return stopping_ || queued_[0].has_value() || queued_[1].has_value(); });
        int channel = -1;
        for (int c = 0; c < kChannels && channel < 0; ++c) {
            if (queued_.at(static_cast<std::size_t>(c))) {
                channel = c;
            }
        }
        if (channel < 0) {
            return;  // stopping, and everything is written
        }
        const Job job = std::move(*queued_.at(static_cast<std::size_t>(channel)));
        queued_.at(static_cast<std::size_t>(channel)).reset();
        busy_ = true;
        lock.unlock();

        const QImage image = OverlayImage(job.memory, job.shown);
        QSaveFile file(QString::fromStdString(path(channel)));
        bool ok = file.open(QIODevice::WriteOnly);
        if (ok) {
            QImageWriter writer(&file, "png");
            ok = writer.write(image);
            if (!ok) {
                file.cancelWriting();
            }
        }
        ok = ok && file.commit();
        const QString error = file.errorString();

        lock.lock();
        busy_ = false;
        if (ok) {
            ++written_;
            failing_ = false;
        } else {
            ++failed_;
            if (!failing_) {
                std::fprintf(stderr, "lumora-boxsim: cannot write %s: %s\n", path(channel).c_str(),
                             error.toLocal8Bit().constData());
            }
            failing_ = true;
        }
        idle_.notify_all();
    }
}

}  // namespace lumora::sim
