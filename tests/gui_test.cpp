// The main window: its caption at start, the channel selection by the
// pointer, and a connection driven from its button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/radio_group.h"
#include "app/tform1.h"
#include "link/packets.h"
#include "link/pipe_transport.h"
#include "lumora_version.h"
#include "overlay_image_probe.h"
#include "scripted_peer.h"
#include "session_on_pipe.h"
#include "sim/in_process_box.h"

using lumora::app::Form1Controls;
using lumora::app::RadioGroup;
using lumora::app::TForm1;
using lumora::link::Bytes;
using lumora::testing::ScriptedPeer;
using lumora::testing::ServeFor;
using lumora::testing::ServeUntil;

namespace {

struct Window : ::testing::Test, lumora::testing::SessionOnPipe {
    Window() {
        form = std::make_unique<TForm1>(*session, "pipe-box");
        form->show();
    }

    template <class T>
    T* find(const QString& name) const {
        T* widget = form->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    // The pointer moving over a widget, as the window system reports it.
    static void hover(QWidget* widget) {
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    // "Connect" against a box of 1920 x 1080, until the start-up has ended.
    bool connectToBox() {
        find<QPushButton>("CNTBtn")->click();
        const bool up =
            ServeUntil([&] { return find<QLabel>("ResLabel")->text() == "1920 x 1080"; });
        ServeFor(50);
        return up;
    }

    QGroupBox* groupTitled(const char* page, const QString& title) const {
        for (auto* group : find<QWidget>(page)->findChildren<QGroupBox*>()) {
            if (group->title() == title)
                return group;
        }
        ADD_FAILURE() << "no group " << title.toStdString() << " on " << page;
        return nullptr;
    }

    std::unique_ptr<TForm1> form;
};

}  // namespace

// The form's fixed layout is pinned where it is built; here only what the
// window adds to it at start.
TEST_F(Window, CaptionAndFourCornerPageAtStart) {
    EXPECT_EQ(QApplication::applicationDisplayName(), "Lumora Warp Tool alpha 9");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Lumora Warp Tool V %1.%2.%3.%4")
                                       .arg(lumora::version::kMajor)
                                       .arg(lumora::version::kMinor)
                                       .arg(lumora::version::kRelease)
                                       .arg(lumora::version::kBuild));
    EXPECT_TRUE(form->windowTitle().startsWith("Lumora Warp Tool V "));

    // Only the four corners of mode "2x2" show on the four-corner page.
    for (int i = 0; i < 15; ++i) {
        auto* point = find<QRadioButton>(QStringLiteral("RBCur%1").arg(i));
        const bool corner = i == 0 || i == 4 || i == 10 || i == 14;
        EXPECT_EQ(!point->isHidden(), corner) << "RBCur" << i;
        EXPECT_EQ(point->isEnabledTo(find<QWidget>("PageControl1")), corner) << "RBCur" << i;
    }
    EXPECT_TRUE(find<QRadioButton>("RBCur0")->isChecked());
}

TEST_F(Window, PointerSelectsTheCurrentChannel) {
    EXPECT_EQ(session->currentChannel(), 0);
    hover(find<QWidget>("GroupBox19"));  // Channel B "Color Adjust" gain group
    EXPECT_EQ(session->currentChannel(), 1);

    // From Channel B onto Channel A's "Warp Shift" page and into "Top Left".
    hover(find<QWidget>("GroupBox6"));
    EXPECT_EQ(session->currentChannel(), 1);
    hover(find<QWidget>("TabSheet14"));
    EXPECT_EQ(session->currentChannel(), 0);
    hover(groupTitled("TabSheet14", "Top Left   "));
    EXPECT_EQ(session->currentChannel(), 0);

    hover(groupTitled("TabSheet13", "Bottom Right"));
    EXPECT_EQ(session->currentChannel(), 1);
    hover(find<QWidget>("BitBtn5"));
    EXPECT_EQ(session->currentChannel(), 0);

    auto* channels = find<RadioGroup>("RGChannel");
    ASSERT_NE(channels->button(2), nullptr);
    channels->button(2)->click();  // "All"
    EXPECT_EQ(session->currentChannel(), 2);
    channels->button(1)->click();
    EXPECT_EQ(session->currentChannel(), 1);
}

TEST_F(Window, ConnectButtonDrivesTheSession) {
    ScriptedPeer box(*pipe);
    box.setPictureSize(1280, 720);
    EXPECT_EQ(find<QComboBox>("ComComboBox1")->currentText(), "pipe-box");

    find<QPushButton>("CNTBtn")->click();
    EXPECT_EQ(find<QPushButton>("CNTBtn")->text(), "Disconnect");
    EXPECT_FALSE(find<QComboBox>("ComComboBox1")->isEnabled());
    ASSERT_TRUE(ServeUntil([&] { return find<QLabel>("ResLabel")->text() == "1280 x 720"; }));
    EXPECT_TRUE(find<QTabWidget>("PageControl1")->isEnabled());
    EXPECT_TRUE(find<QTabWidget>("PageControl2")->isEnabled());
    EXPECT_TRUE(find<QGroupBox>("SavetoBoxGroupBox")->isEnabled());
    EXPECT_TRUE(find<QAbstractButton>("ShowGridA")->isChecked());
    EXPECT_TRUE(find<QAbstractButton>("WP2x2B")->isChecked());

    find<QTabWidget>("PageControl1")->setCurrentIndex(3);
    find<QPushButton>("CNTBtn")->click();
    EXPECT_EQ(find<QPushButton>("CNTBtn")->text(), "Connect");
    EXPECT_EQ(find<QLabel>("ResLabel")->text(), "- - - -");
    EXPECT_FALSE(find<QTabWidget>("PageControl1")->isEnabled());
    EXPECT_FALSE(find<QTabWidget>("PageControl2")->isEnabled());
    EXPECT_FALSE(find<QGroupBox>("SavetoBoxGroupBox")->isEnabled());
    EXPECT_EQ(find<QTabWidget>("PageControl1")->currentIndex(), 0);
}

TEST_F(Window, OpenFailureIsShownInAMessageBox) {
    pipe->failOpenWith("Unable to open com port (Error: 2)");
    find<QPushButton>("CNTBtn")->click();
    EXPECT_EQ(find<QPushButton>("CNTBtn")->text(), "Connect");
    QMessageBox* shown = nullptr;
    for (auto* box : form->findChildren<QMessageBox*>()) {
        if (box->text() == "Unable to open com port (Error: 2)")
            shown = box;
    }
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    shown->close();
}

TEST_F(Window, LogLinesReachMemo1) {
    session->messages().appendStampedLog("Start:");
    const QStringList lines = find<QPlainTextEdit>("Memo1")->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "Memo1");
    EXPECT_TRUE(lines[1].startsWith("Start:"));
}

TEST_F(Window, GridControlsAndWarpAdjustPagesDriveTheSession) {
    ScriptedPeer box(*pipe);
    find<QPushButton>("CNTBtn")->click();
    ASSERT_TRUE(ServeUntil([&] { return find<QLabel>("ResLabel")->text() == "1920 x 1080"; }));

    // The pointer on Channel B's half, then its controls: B's grid changes.
    auto* size5x5 = find<QAbstractButton>("WP5x5B");
    hover(size5x5);
    size5x5->click();
    find<QAbstractButton>("InterGridB")->click();
    find<QAbstractButton>("ShowGridB")->click();
    const auto& gridB = session->grid().channel(1);
    EXPECT_EQ(gridB.gridSize, lumora::warp::kGrid5x5);
    EXPECT_EQ(gridB.internalGrid, 1);
    EXPECT_EQ(gridB.showGrid, 0);
    EXPECT_TRUE(size5x5->isChecked());
    EXPECT_FALSE(find<QAbstractButton>("WP2x2B")->isChecked());
    EXPECT_FALSE(find<QAbstractButton>("ShowGridB")->isChecked());

    // With "All" a click changes nothing, and the buttons show the grid again.
    find<RadioGroup>("RGChannel")->button(2)->click();
    pipe->clearWritten();
    find<QAbstractButton>("WP17x17A")->click();
    EXPECT_TRUE(find<QAbstractButton>("WP2x2A")->isChecked());
    EXPECT_TRUE(pipe->written().empty());

    // Showing Channel A's "Warp adjust" page selects A and redraws its grid.
    auto* pages = find<QTabWidget>("PageControl1");
    pages->setCurrentIndex(1);
    EXPECT_EQ(session->currentChannel(), 2);
    pages->setCurrentIndex(0);
    EXPECT_EQ(session->currentChannel(), 0);
    ASSERT_FALSE(pipe->written().empty());
    EXPECT_EQ(pipe->written().back(), lumora::link::WriteRegister8Packet(0, 0x00, 0x00));
}

TEST_F(Window, LiveWarpControlsDriveTheTransfers) {
    lumora::sim::BoxConfig config;
    config.model.fillBusy = std::chrono::milliseconds(0);
    lumora::sim::InProcessBox box(*pipe, config);
    find<QPushButton>("CNTBtn")->click();
    ASSERT_TRUE(ServeUntil([&] { return box.model().packetsWithCode(0x31).size() == 2; }));
    ServeFor(20);
    const auto idle = [&] { return !session->work().busy(); };

    // Channel B's right arrow, pressed and released: one move, with the
    // progress bar along the right column while it is sent.
    auto* right = find<QAbstractButton>("BitBtn15");
    hover(right);
    right->pressed();
    right->released();
    EXPECT_TRUE(find<QProgressBar>("TransferProgress")->isVisible());
    ASSERT_TRUE(ServeUntil(idle));
    EXPECT_FALSE(find<QProgressBar>("TransferProgress")->isVisible());
    EXPECT_EQ(session->grid().channel(1).points[0].x, 16.0f);
    EXPECT_EQ(session->gridEditing().undoStack(1).depth(), 1u);

    // "x10" on Channel A's "Top Left", then its left arrow: "-10" shows.
    find<QAbstractButton>("TLX10A")->click();
    find<QAbstractButton>("TLShiftLeftBtnA")->click();
    ASSERT_TRUE(ServeUntil(idle));
    EXPECT_EQ(find<QLabel>("TLShiftXValueA")->text(), "-10");
    EXPECT_EQ(box.model().packetsWithCode(0xE1).back(), (Bytes{0x04, 0xE1, 0x00, 0xE5}));

    // "Save to Box" "3": both passes into slot 2.
    find<QPushButton>("SavetoBox3")->click();
    ASSERT_TRUE(ServeUntil(idle, 10000));
    EXPECT_EQ(box.model().packetsWithCode(0xE3).back(), (Bytes{0x05, 0xE3, 0x02, 0x01, 0xEB}));
    EXPECT_TRUE(find<QPlainTextEdit>("Memo1")->toPlainText().endsWith("OK-----"));
}

// The bytes are the picture tests'; here each control reaches its own
// channel's settings in the box, with one packet per change.
TEST_F(Window, EdgeBlendAndColourPagesOfBothChannelsSend) {
    lumora::sim::BoxConfig config;
    config.model.fillBusy = std::chrono::milliseconds(0);
    lumora::sim::InProcessBox box(*pipe, config);
    ASSERT_TRUE(connectToBox());
    ASSERT_TRUE(ServeUntil(
        [&] { return box.model().packetsWithCode(0x31).size() == 2 && !session->work().busy(); }));
    pipe->clearWritten();

    // Channel A's "Top" on, then its width bar.
    hover(find<QWidget>("TabSheet2"));
    find<QAbstractButton>("CheckBox3")->click();
    find<QScrollBar>("EBSBar3")->setValue(300);
    EXPECT_EQ(find<QLabel>("StaticText3")->text(), "300");

    // Channel B's gamma scrolled between steps rests on the next one.
    hover(find<QWidget>("TabSheet4"));
    auto* gamma = find<QScrollBar>("GammaSCBar1");
    gamma->setSliderPosition(95);
    EXPECT_EQ(gamma->value(), 100);
    EXPECT_EQ(find<QLabel>("TransGammaVal1")->text(), "1");

    // A red offset on A's colour page, a blue one on B's.
    find<QSlider>("InOffsetRBar")->setValue(-1);
    find<QSlider>("InOffsetBBar1")->setValue(511);
    EXPECT_EQ(find<QLabel>("InOffsetBVal1")->text(), "511");
    EXPECT_EQ(session->currentChannel(), 1);

    ServeFor(50);
    const auto& model = box.model();
    EXPECT_EQ(model.picture(0).blend.edgeWidth[2], 300);
    EXPECT_EQ(model.picture(1).blend.gamma, 100);
    EXPECT_EQ(model.colour(0).offsets, (std::array<std::int16_t, 3>{-1, 0, 0}));
    EXPECT_EQ(model.colour(1).offsets, (std::array<std::int16_t, 3>{0, 0, 511}));
    // Two widths and a gamma; a bank select, two registers and the bank back
    // for each offset.
    EXPECT_EQ(pipe->written().size(), 3u + 2 * 4);
}

// Operator input that arrives while a handler waits on the box (between the
// blend packets, inside the overlay's status polls) runs after that handler,
// in order, never inside it.
TEST_F(Window, InputDuringAWaitRunsAfterTheHandler) {
    using namespace lumora::link;
    ScriptedPeer box(*pipe);
    ASSERT_TRUE(connectToBox());
    hover(find<QWidget>("TabSheet2"));
    find<QAbstractButton>("CheckBox1")->click();  // "Left" on
    pipe->clearWritten();

    // 300 is delivered while 200 waits before its first window.
    auto* left = find<QScrollBar>("EBSBar1");
    QTimer::singleShot(20, left, [left] { left->setValue(300); });
    left->setValue(200);
    ASSERT_TRUE(ServeUntil([&] { return pipe->written().size() >= 6; }));
    ServeFor(150);
    EXPECT_EQ(pipe->written(),
              (std::vector<Bytes>{
                  BlendWidthPacket(0, 0, 200), BlendWindowPacket(0, {0, 0, 0, 200, 1080, 1}),
                  BlendWindowPacket(0, {2, 200, 0, 1670, 1080, 1}), BlendWidthPacket(0, 0, 300),
                  BlendWindowPacket(0, {0, 0, 0, 300, 1080, 1}),
                  BlendWindowPacket(0, {2, 300, 0, 1570, 1080, 1})}));
}

TEST_F(Window, QuickCursorClicksLeaveOneMarker) {
    lumora::sim::InProcessBox box(*pipe, {});
    find<QPushButton>("CNTBtn")->click();
    ASSERT_TRUE(ServeUntil([&] { return box.model().packetsWithCode(0x31).size() == 2; }));
    ServeFor(20);
    // Showing Channel A's "Uniformity" clears its overlay and draws the
    // cursor at (0, 0).
    find<QTabWidget>("PageControl1")->setCurrentIndex(5);

    // The 2nd and 3rd clicks arrive while the 1st polls the fill status.
    auto* right = find<QAbstractButton>("BitBtn24");
    QTimer::singleShot(0, right, [right] { right->click(); });
    QTimer::singleShot(1, right, [right] { right->click(); });
    right->click();
    ASSERT_TRUE(ServeUntil([&] { return session->uniformity().channel(0).cursorX == 3; }));
    ServeFor(50);

    const auto& memory = box.model().overlay(0);
    const auto drawn = lumora::probe::FindLitComponents(
        memory.width(), memory.height(), [&](int x, int y) { return memory.pixel(x, y) != 0; });
    ASSERT_EQ(drawn.size(), 1u);
    // The square of 66 around (192, 0); the lines above the picture are cut.
    const auto& marker = drawn.components[0];
    EXPECT_EQ(marker.left, 192 - 32);
    EXPECT_EQ(marker.width(), 66);
    EXPECT_EQ(marker.top, 0);
    EXPECT_EQ(marker.bottom, 32);
}

// What a settings load or the command line sets through the models shows in
// the widgets, runs each handler once when the value differs, and nothing
// when it is the same.
TEST_F(Window, ModelSettersDriveTheWidgetsAndTheHandlers) {
    using namespace lumora::link;
    using lumora::warp::Axis;
    using lumora::warp::Corner;
    ScriptedPeer box(*pipe);
    ASSERT_TRUE(connectToBox());
    hover(find<QWidget>("TabSheet4"));
    pipe->clearWritten();

    auto& blend = session->edgeBlend();
    blend.setWidth(1, 0, 200);  // "Left" of B is off: the read-out only
    EXPECT_EQ(find<QScrollBar>("EBSBar5")->value(), 200);
    EXPECT_EQ(find<QLabel>("StaticText5")->text(), "200");
    EXPECT_TRUE(pipe->written().empty());
    blend.setEdgeEnabled(1, 0, true);
    blend.setEdgeEnabled(1, 0, true);
    blend.setWidth(1, 0, 200);
    EXPECT_TRUE(find<QCheckBox>("CheckBox5")->isChecked());

    session->colourAdjust().setOffset(0, 0, -1);
    EXPECT_EQ(find<QSlider>("InOffsetRBar")->value(), -1);
    session->testPattern().setHorizontal(0, 100);
    EXPECT_EQ(find<QScrollBar>("SBarHGridSize")->value(), 100);
    EXPECT_EQ(
        pipe->written(),
        (std::vector<Bytes>{
            BlendWidthPacket(1, 0, 200), BlendWindowPacket(1, {0, 0, 0, 200, 1080, 1}),
            BlendWindowPacket(1, {2, 200, 0, 1670, 1080, 1}), WriteRegister8Packet(0, 0x00, 5),
            WriteRegister8Packet(0, 0x38, 0xFF), WriteRegister8Packet(0, 0x39, 0x03),
            WriteRegister8Packet(0, 0x00, 0), PatternGridSizePacket(0, 100, 32)}));

    session->setCurrentChannel(1);
    session->gridEditing().setInternalGrid(1, true);
    EXPECT_TRUE(find<QAbstractButton>("InterGridB")->isChecked());
    EXPECT_EQ(session->grid().channel(1).internalGrid, 1);

    // A counter moves its shifted corner and sends nothing.
    pipe->clearWritten();
    auto& grid = session->grid().channel(0);
    session->cornerShift().setCounter(0, Corner::kTopLeft, Axis::kX, -10);
    EXPECT_EQ(find<QLabel>("TLShiftXValueA")->text(), "-10");
    EXPECT_EQ(grid.shiftedCorners[0].x, grid.cornerBase[0].x - 10);
    EXPECT_TRUE(pipe->written().empty());
}

// Every scroll bar of the pages takes the focus by click and by Tab, and
// its keys change it as a drag does: Right adds a step, as the bar grows.
TEST_F(Window, ScrollBarsTakeTheKeyboard) {
    using namespace lumora::link;
    for (const char* pages : {"PageControl1", "PageControl2"}) {
        for (auto* bar : find<QWidget>(pages)->findChildren<QScrollBar*>()) {
            EXPECT_EQ(bar->focusPolicy(), Qt::StrongFocus) << bar->objectName().toStdString();
        }
    }
    ScriptedPeer box(*pipe);
    ASSERT_TRUE(connectToBox());
    hover(find<QWidget>("TabSheet2"));
    find<QAbstractButton>("CheckBox1")->click();
    pipe->clearWritten();

    const auto key = [](QWidget* bar, Qt::Key k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(bar, &press);
    };
    key(find<QScrollBar>("EBSBar1"), Qt::Key_Right);
    key(find<QScrollBar>("GammaSCBar"), Qt::Key_Right);
    EXPECT_EQ(find<QLabel>("TransGammaVal")->text(), "1");
    EXPECT_EQ(pipe->written(),
              (std::vector<Bytes>{
                  BlendWidthPacket(0, 0, 51), BlendWindowPacket(0, {0, 0, 0, 51, 1080, 1}),
                  BlendWindowPacket(0, {2, 51, 0, 1819, 1080, 1}), BlendGammaPacket(0, 100)}));
}

// F2 shows the preview beside the window; a move of Channel B's corner point
// changes B's half (the left) and leaves A's as it was; F2 again hides it
// and the preview stops.
TEST_F(Window, F2ShowsAPreviewThatFollowsAMove) {
    lumora::sim::BoxConfig config;
    config.model.fillBusy = std::chrono::milliseconds(0);
    lumora::sim::InProcessBox box(*pipe, config);
    find<QPushButton>("CNTBtn")->click();
    ASSERT_TRUE(ServeUntil([&] { return box.model().packetsWithCode(0x31).size() == 2; }));
    auto* right = find<QAbstractButton>("BitBtn15");
    hover(right);
    ServeFor(20);

    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_F2);
    auto* preview = form->findChild<QWidget*>("PreviewWindow");
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(preview->isVisible());
    EXPECT_GE(preview->x(), form->frameGeometry().right());
    const auto half = [&](const QImage& image, int side) {
        return image.copy(side * image.width() / 2, 0, image.width() / 2, image.height());
    };
    QImage before;
    ASSERT_TRUE(ServeUntil([&] {
        before = preview->grab().toImage();
        return before.pixel(before.width() / 4, before.height() / 2) != qRgb(0, 0, 0);
    }));

    right->pressed();
    right->released();
    ASSERT_TRUE(ServeUntil([&] { return !session->work().busy(); }));
    QImage after;
    EXPECT_TRUE(ServeUntil([&] {
        after = preview->grab().toImage();
        return half(after, 0) != half(before, 0);
    }));
    EXPECT_EQ(half(after, 1), half(before, 1));

    QTest::keyClick(form.get(), Qt::Key_F2);
    EXPECT_FALSE(preview->isVisible());
    EXPECT_FALSE(session->preview().active());
}

// "Save file" then "Load file" through the window: the load shows its
// progress, a click during it waits, and closing the window ends it at once.
TEST_F(Window, LoadFileShowsProgressAndEndsAtOnceOnClose) {
    lumora::sim::BoxConfig config;
    config.model.fillBusy = std::chrono::milliseconds(0);
    lumora::sim::InProcessBox box(*pipe, config);
    ASSERT_TRUE(connectToBox());
    ASSERT_TRUE(ServeUntil([&] { return !session->work().busy(); }));
    QTemporaryDir dir;
    const QString path = dir.filePath("hall.lwf");
    session->settingsFile().setSaveChoice([path] { return path; });
    session->settingsFile().setOpenChoice([path] { return path; });
    find<QPushButton>("Button10")->click();
    ASSERT_TRUE(QFile::exists(path));

    bool progressShown = false;
    int saveBlocksDuringLoad = -1;
    QElapsedTimer sinceClose;
    QTimer::singleShot(300, [&] {
        progressShown = find<QProgressBar>("TransferProgress")->isVisible();
        find<QPushButton>("SavetoBox1")->click();  // waits for the load
        saveBlocksDuringLoad = static_cast<int>(box.model().packetsWithCode(0xE2).size());
        sinceClose.start();
        form->close();
    });
    find<QPushButton>("Button12")->click();
    EXPECT_LT(sinceClose.elapsed(), 500);
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(saveBlocksDuringLoad, 0);
    ServeFor(100);
    EXPECT_TRUE(box.model().packetsWithCode(0xE2).empty());
    EXPECT_EQ(session->messages().errorsRaised(), 0)
        << session->messages().lastError().toStdString();
}

namespace {

struct ServiceWindow : ::testing::Test, lumora::testing::SessionOnPipe {
    ServiceWindow() {
        session->link().setPortName("pipe");
        session->link().open();
        form = std::make_unique<TForm1>(*session, "pipe-box", TForm1::View::kService);
        form->show();
    }
    std::unique_ptr<TForm1> form;
};

}  // namespace

TEST_F(ServiceWindow, ShowsTheServiceControlsAndTheFourCornerPagesThatWork) {
    const QRect client(QPoint(0, 0), form->size());
    for (const char* name :
         {"Memo1",    "RGChannel", "InputBox", "Button1",  "Button3",  "Button4",
          "Button5",  "Button6",   "Button8",  "Button9",  "Button13", "Button14",
          "Button16", "Button17",  "Button18", "Button35", "BitBtn29", "CBHorLine",
          "CBVLine",  "BitBtnEZ1", "Panel1",   "Panel2"}) {
        auto* widget = form->findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_TRUE(widget->isVisible()) << name;
        EXPECT_TRUE(client.contains(widget->geometry())) << name;
    }
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const Form1Controls& c = form->controls();
    EXPECT_TRUE(c.PageControl1->isTabVisible(c.PageControl1->indexOf(c.TabSheet1)));
    EXPECT_TRUE(c.PageControl2->isTabVisible(c.PageControl2->indexOf(c.TabSheet3)));

    // Channel B's combo box and arrows read Channel A's controls.
    c.PageControl1->setEnabled(true);
    c.PageControl2->setEnabled(true);
    c.RBCur4->click();
    emit c.ComboBox1->activated(1);
    c.CBWarpMode->setCurrentIndex(1);
    emit c.CBWarpMode->activated(1);
    ServeFor(20);
    EXPECT_TRUE(c.RBCur1->isHidden());
    EXPECT_FALSE(c.RBCur1->isEnabled());
    EXPECT_TRUE(c.RBCur0->isChecked());
    c.ChangeStepBar->setValue(49);
    c.Button23->click();
    c.InputBox->setText("21 00 52");
    c.Button6->click();
    ServeFor(20);
    EXPECT_EQ(c.StepLabel->text(), "50");
    const std::vector<Bytes> expected = {{0x05, 0x70, 0x00, 0x00, 0x75},
                                         {0x05, 0x70, 0x00, 0x01, 0x76},
                                         {0x08, 0x80, 0x00, 0x00, 0x00, 0x32, 0x00, 0xBA},
                                         {0x05, 0x21, 0x00, 0x52, 0x78}};
    EXPECT_EQ(pipe->written(), expected);
    EXPECT_TRUE(c.Memo1->toPlainText().endsWith("4 Checked\n0 Checked"))
        << c.Memo1->toPlainText().toStdString();
}
