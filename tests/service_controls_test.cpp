// The four-corner page and the service controls outside the visible area,
// driven through the session over the in-memory pipe.
#include <gtest/gtest.h>

#include "core/session.h"
#include "link/hid_probe.h"
#include "link/pipe_transport.h"
#include "scripted_peer.h"
#include "session_on_pipe.h"

using lumora::link::Bytes;
using lumora::warp::FourCornerWarp;

namespace {

struct ServiceControls : ::testing::Test, lumora::testing::SessionOnPipe {
    ServiceControls() {
        session->link().setPortName("pipe");
        session->link().setReadTimeout(std::chrono::milliseconds(150));
        session->link().open();
    }
    FourCornerWarp& corners() { return session->fourCorner(); }
    lumora::core::Diagnostics& diagnostics() { return session->diagnostics(); }
    const QStringList& log() const { return session->messages().log(); }
    // Types `text` into InputBox and presses `click`.
    void typed(const QString& text, void (lumora::core::Diagnostics::*click)()) {
        pipe->clearWritten();
        diagnostics().setInputText(text);
        (diagnostics().*click)();
    }
};

TEST_F(ServiceControls, ThreeByThreeShowsItsPointsAndSwitchesTopLeftOnOnce) {
    corners().RBCurClick(4);
    EXPECT_EQ(log().back(), "4 Checked");
    corners().setModeItem(1);
    corners().CBWarpModeChange();
    EXPECT_EQ(pipe->written().back(), (Bytes{0x05, 0x70, 0x00, 0x01, 0x76}));
    for (int hidden : {1, 3, 6, 8, 11, 13}) {
        EXPECT_EQ((corners().view().shownPoints >> hidden) & 1u, 0u) << hidden;
    }
    EXPECT_EQ(corners().view().shownPoints, 0x56B5u);
    EXPECT_EQ(log().back(), "0 Checked");
    EXPECT_EQ(corners().selectedPoint(), 0);

    // Top Left already on: nothing logged. A point chosen on Channel B's
    // page leaves Top Left on, so the mode keeps that selection.
    corners().RB4CClick(7);
    const auto lines = log().size();
    corners().setModeItem(2);
    corners().CBWarpModeChange();
    EXPECT_EQ(log().size(), lines);
    EXPECT_EQ(corners().selectedPoint(), 7);
    EXPECT_EQ(corners().view().shownPoints, 0x7FFFu);
}

TEST_F(ServiceControls, MovesNameChannelZeroThePointTheAxisAndTheSignedStep) {
    corners().RB4CClick(7);
    corners().setStepPosition(49);
    corners().ChangeStepBarChange();
    EXPECT_EQ(corners().view().stepLabel, "50");
    corners().Warp4CBtnClick(FourCornerWarp::kDown);
    EXPECT_EQ(pipe->written().back(), (Bytes{0x08, 0x80, 0x00, 0x07, 0x00, 0x32, 0x00, 0xC1}));
    corners().setStepPosition(0);
    corners().Warp4CBtnClick(FourCornerWarp::kLeft);
    EXPECT_EQ(pipe->written().back(), (Bytes{0x08, 0x80, 0x00, 0x07, 0x01, 0xFF, 0xFF, 0x8E}));
    // Only the reset follows the current channel.
    session->setCurrentChannel(1);
    corners().Button2Click();
    EXPECT_EQ(pipe->written().back(), (Bytes{0x04, 0x10, 0x01, 0x15}));
}

TEST_F(ServiceControls, TypedPacketsAndTheirRefusals) {
    using D = lumora::core::Diagnostics;
    typed("21 00 52", &D::Button6Click);
    EXPECT_EQ(pipe->written(), (std::vector<Bytes>{{0x05, 0x21, 0x00, 0x52, 0x78}}));
    typed("2", &D::Button6Click);
    EXPECT_EQ(pipe->written(), (std::vector<Bytes>{{0x02, 0x02}}));
    typed("20 00 40 00", &D::Button6Click);
    EXPECT_EQ(pipe->written(), (std::vector<Bytes>{{0x06, 0x20, 0x00, 0x40, 0x00, 0x66}}));
    // Conversion stops at the first pair that is not hex.
    typed("00 52 zz 11", &D::Button5Click);
    EXPECT_EQ(pipe->written(), (std::vector<Bytes>{{0x06, 0x21, 0x00, 0x00, 0x52, 0x79}}));
    ASSERT_EQ(session->messages().errorsRaised(), 0);

    typed("05", &D::Button5Click);
    typed(QString(254 * 2, QLatin1Char('1')), &D::Button6Click);
    typed(QString(1025, QLatin1Char('1')), &D::Button5Click);
    EXPECT_TRUE(pipe->written().empty());
    EXPECT_EQ(session->messages().errorsRaised(), 3);
    EXPECT_NE(session->messages().lastError().indexOf("1024 hex digits"), -1);

    // A closed port: the typed packets do nothing, the fixed ones say so.
    session->link().close();
    typed("21 00 52", &D::Button6Click);
    EXPECT_EQ(session->messages().errorsRaised(), 3);
    diagnostics().Button3Click();
    EXPECT_EQ(session->messages().errorsRaised(), 4);
    EXPECT_EQ(session->messages().lastError(), "Port Not Open");
}

TEST_F(ServiceControls, FixedPacketsPeekLiveTransferAndProbe) {
    lumora::testing::ScriptedPeer peer(*pipe);
    peer.setSilent(true);
    diagnostics().Button3Click();
    diagnostics().Button4Click();
    EXPECT_EQ(pipe->written(), (std::vector<Bytes>{{0x06, 0xF0, 0xF0, 0xF0, 0xF0, 0xC6},
                                                   {0x06, 0xF1, 0xF0, 0xF0, 0xF0, 0xC7}}));
    diagnostics().Button14Click();
    EXPECT_EQ(log().back(), "Value:255");
    peer.setSilent(false);
    peer.setRegister(82, 7);
    diagnostics().Button14Click();
    EXPECT_EQ(log().back(), "Value:7");

    // Live transfer: nothing while other work runs; then to the channel of
    // the last transfer (none yet: 0), whatever the current channel.
    session->setCurrentChannel(1);
    const auto other = session->work().start(lumora::base::WorkKind::kUpload, 1);
    pipe->clearWritten();
    diagnostics().Button9Click();
    EXPECT_TRUE(pipe->written().empty());
    session->work().finish(*other, lumora::base::WorkEnd::kCompleted);
    diagnostics().Button9Click();
    ASSERT_EQ(pipe->written().size(), 1u);
    EXPECT_EQ(pipe->written()[0].size(), 58u);
    EXPECT_EQ(pipe->written()[0][1], 0xE0);
    EXPECT_TRUE(log().back().startsWith("Start:"));
    EXPECT_TRUE(session->work().runs(lumora::base::WorkKind::kLiveTransfer));
    EXPECT_EQ(session->work().running()->target, 0);

    struct NoDevices : lumora::link::HidSystem {
        std::vector<lumora::link::HidDeviceInfo> devices() override { return {}; }
        std::unique_ptr<lumora::link::HidDevice> open(const std::string&) override {
            return nullptr;
        }
    };
    diagnostics().setHidSystem(std::make_unique<NoDevices>());
    diagnostics().Button1Click();
    EXPECT_EQ(log().back(), "Can't Open HID Device");
}

}  // namespace
