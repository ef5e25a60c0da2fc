// The window against lumora-boxsim over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

#include "app/tform1.h"
#include "link/serial_transport.h"
#include "scripted_peer.h"
#include "sim/boxsim_process.h"

using lumora::app::TForm1;
using lumora::core::ConnectionState;
using lumora::core::Session;
using lumora::testing::ServeUntil;

namespace {

struct SerialWindow {
    explicit SerialWindow(const QString& port)
        : session(std::make_unique<lumora::link::SerialTransport>()), form(session, port) {
        form.show();
    }
    template <class T>
    T* find(const char* name) {
        return form.findChild<T*>(name);
    }
    Session session;
    TForm1 form;
};

}  // namespace

TEST(WindowOnPty, ConnectShowsPictureSizeThenDisconnects) {
    lumora::sim::BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--size", "1920x1080"});
    ASSERT_TRUE(box.started()) << box.error();
    SerialWindow window(QString::fromStdString(box.portPath()));
    auto* button = window.find<QPushButton>("CNTBtn");
    auto* resolution = window.find<QLabel>("ResLabel");
    auto* pagesA = window.find<QTabWidget>("PageControl1");

    button->click();
    EXPECT_EQ(window.session.connection().state(), ConnectionState::PortOpen);
    EXPECT_EQ(button->text(), "Disconnect");
    EXPECT_FALSE(pagesA->isEnabled());

    ASSERT_TRUE(ServeUntil([&] { return resolution->text() == "1920 x 1080"; }));
    EXPECT_EQ(window.session.connection().state(), ConnectionState::Connected);
    EXPECT_TRUE(pagesA->isEnabled());

    button->click();
    EXPECT_EQ(window.session.connection().state(), ConnectionState::Disconnected);
    EXPECT_EQ(button->text(), "Connect");
    EXPECT_EQ(resolution->text(), "- - - -");
    EXPECT_FALSE(pagesA->isEnabled());
}

TEST(WindowOnPty, MissingPortShowsTheErrorAndKeepsConnect) {
    SerialWindow window("/dev/lumora-no-such-port");
    window.find<QPushButton>("CNTBtn")->click();
    EXPECT_EQ(window.find<QPushButton>("CNTBtn")->text(), "Connect");
    QStringList shown;
    for (auto* box : window.form.findChildren<QMessageBox*>()) {
        shown << box->text();
    }
    EXPECT_EQ(shown, QStringList{"Unable to open com port (Error: 2)"});
}
