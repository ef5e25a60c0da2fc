// The picture pages on the exact bytes: test pattern, edge blend, colour
// adjust, uniformity.
#include <gtest/gtest.h>

#include "core/session.h"
#include "link/packets.h"
#include "link/pipe_transport.h"

namespace lumora {
namespace {

using link::Bytes;
using Packets = std::vector<Bytes>;

class PictureTest : public ::testing::Test {
  protected:
    PictureTest() {
        auto transport = std::make_unique<link::PipeTransport>();
        pipe = transport.get();
        session = std::make_unique<core::Session>(std::move(transport));
        session->link().open();
    }
    Packets take() {
        Packets sent = pipe->written();
        pipe->clearWritten();
        return sent;
    }

    link::PipeTransport* pipe = nullptr;
    std::unique_ptr<core::Session> session;
};

TEST_F(PictureTest, TestPatternSwitchColourAndSizes) {
    picture::TestPattern& pattern = session->testPattern();
    session->setCurrentChannel(0);
    pattern.page(0).enabled = true;
    pattern.CBEnablePatternClick(0);
    pattern.page(0).enabled = false;
    pattern.CBEnablePatternClick(0);
    EXPECT_EQ(take(), (Packets{{0x06, 0xA0, 0x00, 0x07, 0x01, 0xAE},
                               {0x06, 0xA0, 0x00, 0x07, 0x00, 0xAD}}));

    // "Cyan" while off sends nothing; switching on then sends code 6.
    pattern.page(0).colourItem = 1;
    pattern.RGPtnColorClick(0);
    EXPECT_TRUE(take().empty());
    pattern.page(0).enabled = true;
    pattern.CBEnablePatternClick(0);
    EXPECT_EQ(take(), (Packets{{0x06, 0xA0, 0x00, 0x06, 0x01, 0xAD}}));

    // Channel A's sizes always go to channel 0; Channel B's to the current one.
    session->setCurrentChannel(1);
    pattern.page(0).horizontal = 100;
    pattern.SBarHGridSizeChange(0);
    pattern.page(1).vertical = 200;
    pattern.SBarVGridSizeChange(1);
    EXPECT_EQ(take(), (Packets{{0x06, 0xA1, 0x00, 0x64, 0x20, 0x2B},
                               {0x06, 0xA1, 0x01, 0x20, 0xC8, 0x90}}));
    EXPECT_EQ(pattern.page(0).horizontalText, "100");
    EXPECT_EQ(pattern.page(1).verticalText, "200");
}

}  // namespace
}  // namespace lumora
