#include "app/tform1.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <functional>

#include "app/form_layout.h"
#include "app/radio_group.h"
#include "app/startup.h"
#include "app/tbitbtn_ez.h"
#include "link/port_list.h"
#include "warp/four_corner_points.h"

namespace lumora::app {
namespace {

constexpr double kAlphaBlend = 224.0 / 255.0;

// Grid-size speed buttons of one half, "2x2" to "17x17".
const char* const kGridSizeButtons[2][4] = {
    {"WP2x2A", "WP5x5A", "WP9x9A", "WP17x17A"},
    {"WP2x2B", "WP5x5B", "WP9x9B", "WP17x17B"},
};

// Corner-shift value labels in counter order: TL X A, TL X B, TL Y A, ….
QString CornerShiftLabelName(int counter) {
    static const char* const corners[] = {"TL", "BL", "TR", "BR"};
    const int corner = counter / 4;
    const char axis = (counter / 2) % 2 == 0 ? 'X' : 'Y';
    const char channel = counter % 2 == 0 ? 'A' : 'B';
    return QStringLiteral("%1Shift%2Value%3").arg(corners[corner]).arg(axis).arg(channel);
}

}  // namespace

TForm1::TForm1(core::Session& session, const QString& preferredPort, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowOpacity(kAlphaBlend);
    setWindowTitle(QStringLiteral("Lumora Warp Tool alpha 8"));
    BuildForm1(this);
    fillPortList(preferredPort);
    bindConnection();
    bindChannelSelectors();
    bindGridControls();
    FormCreate();
    render();
}

template <class T>
T* TForm1::control(const char* name) const {
    T* widget = findChild<T*>(QString::fromLatin1(name));
    Q_ASSERT_X(widget, "TForm1::control", name);
    return widget;
}

void TForm1::FormCreate() {
    setWindowTitle(VersionCaption());
    ShowFourCornerPointSet(0);
    resetPages();
}

void TForm1::ShowFourCornerPointSet(int mode) {
    for (int i = 0; i < warp::kFourCornerPoints; ++i) {
        auto* point =
            control<QRadioButton>(QStringLiteral("RBCur%1").arg(i).toLatin1().constData());
        const bool inMode = warp::FourCornerPointInMode(mode, i);
        point->setEnabled(inMode);
        point->setVisible(inMode);
    }
    control<QRadioButton>("RBCur0")->setChecked(true);
}

void TForm1::fillPortList(const QString& preferredPort) {
    auto* combo = control<QComboBox>("ComComboBox1");
    QStringList ports = link::ListPorts();
    if (!preferredPort.isEmpty() && !ports.contains(preferredPort)) {
        ports << preferredPort;
        std::sort(ports.begin(), ports.end());
    }
    combo->clear();
    combo->addItems(ports);
    // A running virtual box is the likely choice when nothing else is asked for.
    QString wanted = preferredPort;
    if (wanted.isEmpty()) {
        const QStringList boxes = link::VirtualBoxPorts();
        if (!boxes.isEmpty()) {
            wanted = boxes.front();
        }
    }
    int index = wanted.isEmpty() ? -1 : combo->findText(wanted);
    if (index < 0) {
        index = std::min(2, combo->count() - 1);
    }
    combo->setCurrentIndex(index);
    session_.setSelectedPort(combo->currentText());
}

void TForm1::bindConnection() {
    auto* combo = control<QComboBox>("ComComboBox1");
    connect(combo, &QComboBox::currentTextChanged, this,
            [this](const QString& name) { session_.setSelectedPort(name); });
    connect(control<QPushButton>("CNTBtn"), &QPushButton::clicked, this,
            [this] { session_.CNTBtnClick(); });
    connect(&session_, &core::Session::windowChanged, this, &TForm1::render);
    connect(&session_, &core::Session::pagesReset, this, &TForm1::resetPages);
    connect(&session_, &core::Session::errorRaised, this, &TForm1::showError);
    auto* memo = control<QPlainTextEdit>("Memo1");
    connect(&session_, &core::Session::logAppended, memo,
            [memo](const QString& line) { memo->appendPlainText(line); });
}

void TForm1::selectChannelOn(QWidget* widget, QEvent::Type event, int channel) {
    if (event == QEvent::MouseMove) {
        widget->setMouseTracking(true);
    }
    widget->installEventFilter(this);
    channelSelectors_.insert({widget, event}, channel);
}

void TForm1::bindChannelSelectors() {
    // Moving the pointer over a control of a half selects that half's channel.
    const char* const hoverA[] = {
        "GroupBox9", "PageControl1", "GroupBox3",  "WP2x2A",     "WP5x5A",    "WP9x9A",
        "WP17x17A",  "BitBtn1",      "BitBtn2",    "BitBtn3",    "BitBtn4",   "BitBtn5",
        "BitBtn6",   "BitBtn7",      "BitBtn8",    "TabSheet14", "TabSheet2", "TabSheet5",
        "TabSheet9", "GroupBox15",   "TabSheet11", "GroupBox17"};
    const char* const hoverB[] = {"GroupBox6", "PageControl2", "GroupBox14", "WP2x2B",
                                  "WP5x5B",    "WP9x9B",       "WP17x17B",   "BitBtn9",
                                  "BitBtn10",  "BitBtn11",     "BitBtn12",   "BitBtn13",
                                  "BitBtn14",  "BitBtn15",     "BitBtn16",   "TabSheet13",
                                  "TabSheet4", "TabSheet6",    "GroupBox16", "GroupBox19"};
    for (const char* name : hoverA) {
        selectChannelOn(control<QWidget>(name), QEvent::MouseMove, 0);
    }
    for (const char* name : hoverB) {
        selectChannelOn(control<QWidget>(name), QEvent::MouseMove, 1);
    }
    // The corner groups of both "Warp Shift" pages and the groups of Channel
    // B's "Edge Blend" page.
    for (auto* group : control<QWidget>("TabSheet14")->findChildren<QGroupBox*>()) {
        selectChannelOn(group, QEvent::MouseMove, 0);
    }
    for (auto* group : control<QWidget>("TabSheet13")->findChildren<QGroupBox*>()) {
        selectChannelOn(group, QEvent::MouseMove, 1);
    }
    for (auto* group : control<QWidget>("TabSheet4")->findChildren<QGroupBox*>()) {
        selectChannelOn(group, QEvent::MouseMove, 1);
    }
    // The context-menu request on Channel A's "Warp Shift" page selects A too.
    selectChannelOn(control<QWidget>("TabSheet14"), QEvent::ContextMenu, 0);
    selectChannelOn(control<QWidget>("GroupBox18"), QEvent::MouseButtonPress, 0);
    selectChannelOn(control<QWidget>("GroupBox20"), QEvent::MouseButtonPress, 1);
    connect(control<TBitBtnEZ>("BitBtnEZ1"), &TBitBtnEZ::mouseLeave, this,
            [this] { session_.setCurrentChannel(1); });
    connect(control<RadioGroup>("RGChannel"), &RadioGroup::itemClicked, this,
            [this](int index) { session_.setCurrentChannel(index); });
}

void TForm1::bindGridControls() {
    const std::function<void()> sizeHandlers[4] = {
        [this] { session_.WP2x2Click(); }, [this] { session_.WP5x5AClick(); },
        [this] { session_.WP9x9AClick(); }, [this] { session_.WP17x17AClick(); }};
    const std::function<void()> pageHandlers[] = {[this] { session_.TabSheet7Show(); },
                                                  [this] { session_.TabSheet8Show(); }};
    const char* const showGrid[] = {"ShowGridA", "ShowGridB"};
    const char* const interGrid[] = {"InterGridA", "InterGridB"};
    const char* const pageControls[] = {"PageControl1", "PageControl2"};
    const char* const warpAdjustPages[] = {"TabSheet7", "TabSheet8"};
    for (int half = 0; half < core::kChannels; ++half) {
        for (int size = 0; size < 4; ++size) {
            connect(control<QAbstractButton>(kGridSizeButtons[half][size]),
                    &QAbstractButton::clicked, this, sizeHandlers[size]);
        }
        connect(control<QAbstractButton>(interGrid[half]), &QAbstractButton::clicked, this,
                [this](bool checked) { session_.InterGridAClick(checked); });
        connect(control<QAbstractButton>(showGrid[half]), &QAbstractButton::clicked, this,
                [this](bool checked) { session_.ShowGridAClick(checked); });
        // A "Warp adjust" page is shown when it becomes its page control's
        // current page; the window appearing does not count.
        auto* pages = control<QTabWidget>(pageControls[half]);
        QWidget* page = control<QWidget>(warpAdjustPages[half]);
        connect(pages, &QTabWidget::currentChanged, this,
                [pages, page, shown = pageHandlers[half]](int index) {
                    if (pages->widget(index) == page) {
                        shown();
                    }
                });
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (auto it = channelSelectors_.find({watched, event->type()}); it != channelSelectors_.end()) {
        session_.setCurrentChannel(*it);
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::render() {
    const core::WindowState& state = session_.window();
    control<QPushButton>("CNTBtn")->setText(state.connectCaption);
    control<QComboBox>("ComComboBox1")->setEnabled(state.portChoiceEnabled);
    control<QTabWidget>("PageControl1")->setEnabled(state.pagesEnabled);
    control<QTabWidget>("PageControl2")->setEnabled(state.pagesEnabled);
    control<QGroupBox>("SavetoBoxGroupBox")->setEnabled(state.saveToBoxEnabled);
    control<QLabel>("ResLabel")->setText(state.resolution);
    const char* const showGrid[] = {"ShowGridA", "ShowGridB"};
    const char* const interGrid[] = {"InterGridA", "InterGridB"};
    for (int channel = 0; channel < core::kChannels; ++channel) {
        // The core has already acted on these; the widgets only show them.
        auto* show = control<QAbstractButton>(showGrid[channel]);
        const QSignalBlocker blockShow(show);
        show->setChecked(state.showGrid[channel]);
        auto* inter = control<QAbstractButton>(interGrid[channel]);
        const QSignalBlocker blockInter(inter);
        inter->setChecked(state.internalGrid[channel]);
        const int pressed = state.gridSizeButton[channel];
        if (pressed >= 0 && pressed < 4) {
            auto* size = control<QAbstractButton>(kGridSizeButtons[channel][pressed]);
            const QSignalBlocker blockSize(size);
            size->setChecked(true);
        }
    }
    for (int counter = 0; counter < core::kCornerShiftCounters; ++counter) {
        control<QLabel>(CornerShiftLabelName(counter).toLatin1().constData())
            ->setText(QString::number(state.cornerShift[counter]));
    }
}

void TForm1::resetPages() {
    control<QTabWidget>("PageControl1")->setCurrentIndex(0);
    control<QTabWidget>("PageControl2")->setCurrentIndex(0);
}

void TForm1::showError(const QString& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
                                message, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();  // window-modal but not blocking: replies keep flowing
}

}  // namespace lumora::app
