#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "link/packets.h"
#include "overlay_image_probe.h"
#include "sim/boxsim_process.h"

namespace lumora::sim {
namespace {

using link::Bytes;
using probe::FindLitComponents;
using probe::LitComponents;

constexpr std::uint32_t kBase = 0x4C00000;

// The host's side of the line, write only: pictures are what these tests look at.
class HostLine {
  public:
    explicit HostLine(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        if (fd_ >= 0 && tcgetattr(fd_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~HostLine() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    bool isOpen() const { return fd_ >= 0; }

    void Write(const Bytes& bytes) {
        ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // One fill of channel 0 from a pixel rectangle, as the host builds it.
    void Fill(int x, int y, int w, int h, std::uint8_t colour) {
        Write(link::WriteRegister8Packet(0, 0x00, 0x00));
        Write(link::WriteRegister8Packet(0, 0x40, colour));
        Write(link::WriteRegister16Packet(0, 0x55, static_cast<std::uint16_t>(w / 2 - 1)));
        Write(link::WriteRegister16Packet(0, 0x57, static_cast<std::uint16_t>(h - 1)));
        Write(link::WriteRegister32Packet(0, 0x5F,
                                          kBase + static_cast<std::uint32_t>(y * 1024 + x / 2)));
        Write(link::WriteRegister8Packet(0, 0x3D, 0x41));
    }

  private:
    int fd_ = -1;
};

// The picture at `path` once it has `components` lit components, or the last
// one seen when `timeoutMs` runs out.
LitComponents WaitForComponents(const QString& path, std::size_t components, int timeoutMs = 5000) {
    LitComponents seen;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        const QImage image(path);
        if (!image.isNull()) {
            seen = FindLitComponents(image);
            if (seen.size() == components) {
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return seen;
}

TEST(BoxsimOverlayPng, MarkerPassShowsUpInChannelAsPicture) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString dir = temp.filePath("pictures/now");  // created by the box
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--overlay-png", dir.toStdString()});
    ASSERT_TRUE(box.started()) << box.error();
    HostLine line(box.portPath());
    ASSERT_TRUE(line.isOpen());

    // Point (8, 8) selected at 1920 x 1080: frame, inner clear, dot, end of pass.
    line.Fill(948, 528, 24, 24, 0x88);
    line.Fill(950, 530, 20, 20, 0x00);
    line.Fill(956, 536, 8, 8, 0x88);
    line.Write(link::WriteRegister8Packet(0, 0x3D, 0x40));

    const LitComponents drawn = WaitForComponents(dir + "/overlay-A.png", 2);
    ASSERT_EQ(drawn.size(), 2u);
    const auto* frame = drawn.at(948, 528);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width(), 24);
    EXPECT_EQ(frame->height(), 24);
    EXPECT_EQ(frame->pixels, 24 * 24 - 20 * 20);
    const auto* dot = drawn.at(956, 536);
    ASSERT_NE(dot, nullptr);
    EXPECT_TRUE(dot->solid());
    EXPECT_EQ(dot->pixels, 64);

    const QImage b(dir + "/overlay-B.png");
    EXPECT_EQ(b.size(), QSize(1920, 1080));
    EXPECT_EQ(FindLitComponents(b).size(), 0u);
}

TEST(BoxsimOverlayPng, DrawingWithoutAPassEndIsWrittenOnceTheLineIsQuiet) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--overlay-png", temp.path().toStdString()});
    ASSERT_TRUE(box.started()) << box.error();
    HostLine line(box.portPath());
    ASSERT_TRUE(line.isOpen());
    line.Fill(1912, 1072, 8, 8, 0x88);  // a host that stopped before 0x3D := 0x40

    const LitComponents drawn = WaitForComponents(temp.filePath("overlay-A.png"), 1);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn.components[0].left, 1912);
    EXPECT_EQ(drawn.components[0].top, 1072);
    EXPECT_EQ(drawn.components[0].pixels, 64);
}

}  // namespace
}  // namespace lumora::sim
