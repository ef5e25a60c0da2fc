// The window against lumora-boxsim over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <signal.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
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
using lumora::testing::ServeFor;
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
    QStringList messageBoxes() {
        QStringList shown;
        for (auto* box : form.findChildren<QMessageBox*>()) {
            shown << box->text();
        }
        return shown;
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

TEST(WindowOnPty, KilledBoxReturnsTheWindowToConnectWithOneMessage) {
    auto box = std::make_unique<lumora::sim::BoxsimProcess>(LUMORA_BOXSIM_PATH,
                                                            std::vector<std::string>{});
    ASSERT_TRUE(box->started()) << box->error();
    auto window = std::make_unique<SerialWindow>(QString::fromStdString(box->portPath()));
    auto* button = window->find<QPushButton>("CNTBtn");
    button->click();
    ASSERT_TRUE(
        ServeUntil([&] { return window->find<QLabel>("ResLabel")->text() == "1920 x 1080"; }));

    ::kill(box->pid(), SIGKILL);
    box->stop();
    ASSERT_TRUE(ServeUntil([&] { return button->text() == "Connect"; }));
    ServeFor(300);
    EXPECT_EQ(window->messageBoxes().size(), 1) << window->messageBoxes().join(" | ").toStdString();
    EXPECT_FALSE(window->find<QTabWidget>("PageControl1")->isEnabled());

    // A new box, a new connection; then the program ends with the line dead.
    box = std::make_unique<lumora::sim::BoxsimProcess>(LUMORA_BOXSIM_PATH,
                                                       std::vector<std::string>{});
    window->find<QComboBox>("ComComboBox1")->addItem(QString::fromStdString(box->portPath()));
    window->find<QComboBox>("ComComboBox1")
        ->setCurrentText(QString::fromStdString(box->portPath()));
    button->click();
    ASSERT_TRUE(
        ServeUntil([&] { return window->find<QLabel>("ResLabel")->text() == "1920 x 1080"; }));
    ::kill(box->pid(), SIGKILL);
    box->stop();
    window.reset();
}

TEST(WindowOnPty, ClosingTheWindowWhileTheStartUpReadsWaitEndsTheProgram) {
    lumora::sim::BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--reply-delay-ms", "5000"});
    ASSERT_TRUE(box.started()) << box.error();
    SerialWindow window(QString::fromStdString(box.portPath()));
    window.session.link().setReadTimeout(std::chrono::milliseconds(1000));
    // The connect reply comes 5 s late too: answer it here, so the start-up
    // reads begin at once and wait for their (late) replies.
    window.find<QPushButton>("CNTBtn")->click();
    window.session.link().router().dispatch({0x30, 0x01, 0x00});
    QElapsedTimer clock;
    QTimer::singleShot(300, &window.form, [&] {
        EXPECT_EQ(window.session.link().readsWaiting(), 1u);
        clock.start();
        window.form.close();
    });
    QApplication::exec();
    EXPECT_LT(clock.elapsed(), 500);
}
