// The window against lumora-boxsim over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <signal.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>

#include "app/radio_group.h"
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

// An adapter plugged in after start: the box's announcement, as udev's
// device node would be, appears in the list the next time it is opened.
TEST(WindowOnPty, OpeningCOMPortListsPortsPluggedInOrOutSinceStart) {
    QTemporaryDir announce;
    const QByteArray previous = qgetenv("LUMORA_BOXSIM_DIR");
    qputenv("LUMORA_BOXSIM_DIR", announce.path().toLocal8Bit());
    const auto plugIn = [&](const lumora::sim::BoxsimProcess& box) {
        QFile file(announce.filePath(QString::number(box.pid()) + ".port"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(box.portPath() + "\n"));
    };
    lumora::sim::BoxsimProcess first(LUMORA_BOXSIM_PATH, {});
    ASSERT_TRUE(first.started()) << first.error();
    plugIn(first);
    const QString firstPort = QString::fromStdString(first.portPath());
    SerialWindow window(firstPort);
    auto* list = window.find<QComboBox>("ComComboBox1");
    ASSERT_EQ(list->currentText(), firstPort);
    const auto openList = [&] {
        list->showPopup();
        QStringList items;
        for (int i = 0; i < list->count(); ++i) {
            items << list->itemText(i);
        }
        list->hidePopup();
        return items;
    };

    auto second = std::make_unique<lumora::sim::BoxsimProcess>(LUMORA_BOXSIM_PATH,
                                                               std::vector<std::string>{});
    ASSERT_TRUE(second->started()) << second->error();
    plugIn(*second);
    const QString secondPort = QString::fromStdString(second->portPath());
    EXPECT_TRUE(openList().contains(secondPort));
    EXPECT_EQ(list->currentText(), firstPort);

    second.reset();  // pulled out
    EXPECT_FALSE(openList().contains(secondPort));
    EXPECT_EQ(list->currentText(), firstPort);
    EXPECT_EQ(window.session.connection().selectedPort(), firstPort);

    // The chosen port gone: nothing is chosen in its place.
    first.stop();
    EXPECT_FALSE(openList().contains(firstPort));
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_EQ(window.session.connection().selectedPort(), QString());
    qputenv("LUMORA_BOXSIM_DIR", previous);
}

TEST(WindowOnPty, PicturePagesOfBothChannelsReachTheBoxState) {
    QTemporaryDir dir;
    const QString statePath = dir.filePath("state.json");
    lumora::sim::BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--state-json", statePath.toStdString()});
    ASSERT_TRUE(box.started()) << box.error();
    SerialWindow window(QString::fromStdString(box.portPath()));
    window.find<QPushButton>("CNTBtn")->click();
    ASSERT_TRUE(ServeUntil([&] {
        return !window.session.work().busy() && !window.session.connection().timer1().isActive() &&
               window.find<QLabel>("ResLabel")->text() == "1920 x 1080";
    }));
    ServeFor(200);
    const auto hover = [](const char* name, SerialWindow& w) {
        QWidget* widget = w.find<QWidget>(name);
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    };

    // Nothing not set here has been sent: the box keeps its power-on zeros
    // (A's pattern sizes, B's pattern colour).
    // Channel A: blend "Left" at 200, pattern on in "Red", a uniformity point
    // and "Enable", red gain 1000 with "Gain" on.
    hover("TabSheet2", window);
    window.find<QScrollBar>("EBSBar1")->setValue(200);
    window.find<QAbstractButton>("CheckBox1")->click();
    hover("TabSheet5", window);
    window.find<lumora::app::RadioGroup>("RGPtnColor")->button(0)->click();
    window.find<QAbstractButton>("CBEnablePattern")->click();
    hover("TabSheet9", window);
    window.find<QSlider>("UniGainValueA")->setValue(4096);
    window.find<QSlider>("UnOffsetValueA")->setValue(-1);
    window.find<QPushButton>("UnUpdateA")->click();
    window.find<QAbstractButton>("CBUniformityEnableA")->click();
    window.find<QAbstractButton>("InGainEnableCB")->click();
    window.find<QSlider>("InGainRBar")->setValue(1000);

    // Channel B: blend "Top" at 300, pattern sizes 100 x 32, a point one
    // step right of the cursor, blue offset -5.
    hover("TabSheet4", window);
    window.find<QScrollBar>("EBSBar7")->setValue(300);
    window.find<QAbstractButton>("CheckBox7")->click();
    hover("TabSheet6", window);
    window.find<QScrollBar>("SBarHGridSize1")->setValue(100);
    hover("GroupBox16", window);
    window.find<QAbstractButton>("BitBtn27")->click();
    window.find<QSlider>("UniGainValueB")->setValue(100);
    window.find<QPushButton>("UnUpdateB")->click();
    window.find<QSlider>("InOffsetBBar1")->setValue(-5);
    ASSERT_TRUE(window.session.messages().lastError().isEmpty())
        << window.session.messages().lastError().toStdString();

    const QByteArray expected =
        R"({"A":{"left":200,"transition":{"x":0,"width":200},"pattern":[true,1,0,0],)"
        R"("points":[{"x":0,"y":0,"gain":4096,"offset":-1}],"enabled":true,)"
        R"("gainEnabled":true,"gains":[1000,512,512],"offsets":[0,0,0]},)"
        R"("B":{"top":300,"pattern":[false,0,100,32],"points":[{"x":1,"y":0,"gain":100,"offset":0}],)"
        R"("gainEnabled":false,"offsets":[0,0,-5]}})";
    // The parts of the box's state this test set, in one line.
    const auto held = [&] {
        QFile file(statePath);
        if (!file.open(QIODevice::ReadOnly)) {
            return QByteArray();
        }
        const QJsonArray channels = QJsonDocument::fromJson(file.readAll())["channels"].toArray();
        if (channels.size() != 2) {
            return QByteArray();
        }
        const auto summary = [](const QJsonObject& c, bool a) {
            const QJsonObject blend = c["blend"].toObject();
            const QJsonArray edges = blend["edges"].toArray();
            const QJsonObject pattern = c["pattern"].toObject();
            const QJsonObject uni = c["uniformity"].toObject();
            const QJsonObject colour = c["colour"].toObject();
            QJsonObject out;
            if (a) {
                out["left"] = edges[0]["width"];
                const QJsonObject t = blend["windows"]["transition"].toObject();
                out["transition"] = QJsonObject{{"x", t["x"]}, {"width", t["width"]}};
                out["enabled"] = uni["enabled"];
                out["gains"] = colour["gains"];
            } else {
                out["top"] = edges[2]["width"];
            }
            out["pattern"] = QJsonArray{pattern["on"], pattern["colour"], pattern["horizontal"],
                                        pattern["vertical"]};
            out["points"] = uni["points"];
            out["gainEnabled"] = colour["gainEnabled"];
            out["offsets"] = colour["offsets"];
            return out;
        };
        return QJsonDocument(QJsonObject{{"A", summary(channels[0].toObject(), true)},
                                         {"B", summary(channels[1].toObject(), false)}})
            .toJson(QJsonDocument::Compact);
    };
    const QByteArray normal = QJsonDocument::fromJson(expected).toJson(QJsonDocument::Compact);
    ASSERT_TRUE(ServeUntil([&] { return held() == normal; }, 5000)) << held().toStdString();
}
