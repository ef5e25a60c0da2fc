#include "app/form_layout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <array>

#include "app/port_combo_box.h"
#include "app/radio_group.h"
#include "app/tbitbtn_ez.h"

namespace lumora::app {
namespace {

// Content area of one page, a little under what remains of the half's
// 420 x 340 group box after its title, the page frame and the tab bar.
constexpr int kPageWidth = 406;
constexpr int kPageHeight = 290;

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

template <class T>
T* Place(T* widget, const QString& name, const QRect& geometry) {
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

void SetTag(QWidget* widget, int tag) {
    widget->setProperty("tag", tag);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                  Qt::Alignment alignment = kLeft) {
    auto* label = Place(new QLabel(text, parent), name, geometry);
    label->setAlignment(alignment);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text,
                        const QRect& geometry) {
    return Place(new QPushButton(text, parent), name, geometry);
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& name, const QString& text,
                        const QRect& geometry, bool checked = false) {
    auto* box = Place(new QCheckBox(text, parent), name, geometry);
    box->setChecked(checked);
    return box;
}

QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& title,
                     const QRect& geometry) {
    return Place(new QGroupBox(title, parent), name, geometry);
}

QScrollBar* MakeScrollBar(QWidget* parent, const QString& name, const QRect& geometry, int minimum,
                          int maximum, int position, int singleStep, int pageStep) {
    auto* bar = Place(new QScrollBar(Qt::Horizontal, parent), name, geometry);
    // Arrow keys and Page Up/Down set a value precisely, so a bar takes the
    // focus by click and by Tab; Right and Up add, as on the track bars.
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setInvertedControls(false);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(singleStep);
    bar->setPageStep(pageStep);
    bar->setValue(position);
    return bar;
}

QSlider* MakeTrackBar(QWidget* parent, const QString& name, const QRect& geometry, int minimum,
                      int maximum, int position, int pageStep, int tickInterval) {
    auto* bar = Place(new QSlider(Qt::Horizontal, parent), name, geometry);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(tickInterval);
    bar->setValue(position);
    return bar;
}

enum class Arrow { Up, Down, Left, Right };

TBitBtnEZ* MakeArrowButton(QWidget* parent, const QString& name, Arrow arrow, const QRect& geometry,
                           const QString& toolTip) {
    static constexpr std::array<QStyle::StandardPixmap, 4> kPixmaps = {
        QStyle::SP_ArrowUp, QStyle::SP_ArrowDown, QStyle::SP_ArrowLeft, QStyle::SP_ArrowRight};
    auto* button = Place(new TBitBtnEZ(parent), name, geometry);
    button->setIcon(button->style()->standardIcon(kPixmaps[static_cast<int>(arrow)]));
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    return button;
}

// Four arrow buttons of side `size` in a cross whose bounding square starts
// at `origin`: up above down, left and right beside the gap between them.
struct CrossNames {
    QString up, down, left, right;
};
struct CrossTips {
    QString up, down, left, right;
};

void MakeArrowCross(QWidget* parent, QPoint origin, int size, const CrossNames& names,
                    const CrossTips& tips) {
    const int x = origin.x();
    const int y = origin.y();
    MakeArrowButton(parent, names.up, Arrow::Up, {x + size, y, size, size}, tips.up);
    MakeArrowButton(parent, names.left, Arrow::Left, {x, y + size, size, size}, tips.left);
    MakeArrowButton(parent, names.right, Arrow::Right, {x + 2 * size, y + size, size, size},
                    tips.right);
    MakeArrowButton(parent, names.down, Arrow::Down, {x + size, y + 2 * size, size, size},
                    tips.down);
}

// The six tab captions have to fit the 412-pixel page control also in fonts
// wider than the form's own, so the tabs get less side padding than the
// style would give them.
class CompactTabStyle : public QProxyStyle {
  public:
    // key: the name of the style to follow in everything else.
    explicit CompactTabStyle(const QString& key) : QProxyStyle(key) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace) {
            return 8;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QTabWidget* MakePageControl(QWidget* parent, const QString& name) {
    auto* pages = Place(new QTabWidget(parent), name, {4, 16, 412, 320});
    auto* style = new CompactTabStyle(pages->style()->name());
    style->setParent(pages->tabBar());
    pages->tabBar()->setStyle(style);
    // Should a caption still not fit, it is shortened rather than scrolled.
    pages->setUsesScrollButtons(false);
    pages->setElideMode(Qt::ElideRight);
    return pages;
}

QWidget* AddPage(QTabWidget* pages, const QString& name, const QString& caption) {
    auto* page = new QWidget;
    page->setObjectName(name);
    pages->addTab(page, caption);
    return page;
}

// A label, a horizontal bar and its read-out on one line.
struct BarRow {
    int labelWidth;
    int barLeft;
    int barWidth;
    int readoutLeft;
    int readoutWidth;
};

// --- Channel halves -------------------------------------------------------

struct WarpAdjustNames {
    QString page, group, sizeButtons[4], sizeGroup, interGrid, showGrid;
    CrossNames select, move;
    QString step, stepReadout, reset, undo;
    int undoTag;
};

void BuildWarpAdjustPage(QTabWidget* pages, const WarpAdjustNames& n) {
    QWidget* page = AddPage(pages, n.page, "Warp adjust");
    QGroupBox* group = MakeGroup(page, n.group, QString(), {2, 2, kPageWidth - 4, kPageHeight - 4});

    static const std::array<const char*, 4> kSizes = {"2x2", "5x5", "9x9", "17x17"};
    auto* sizes = new QButtonGroup(group);
    sizes->setObjectName(n.sizeGroup);
    sizes->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        auto* button = Place(new QToolButton(group), n.sizeButtons[i], {12 + i * 46, 14, 42, 24});
        button->setText(kSizes[i]);
        button->setCheckable(true);
        button->setChecked(i == 0);
        sizes->addButton(button, i);
    }
    MakeCheckBox(group, n.interGrid, "Internal Grid", {206, 16, 98, 20});
    MakeCheckBox(group, n.showGrid, "Show Grid", {310, 16, 86, 20});

    MakeLabel(group, QString(), "Select point", {20, 54, 110, 16});
    MakeArrowCross(group, {20, 74}, 32, n.select,
                   {"Select the point above", "Select the point below",
                    "Select the point to the left", "Select the point to the right"});
    MakeLabel(group, QString(), "Move point", {156, 54, 110, 16});
    MakeArrowCross(group, {156, 74}, 32, n.move,
                   {"Move the point up", "Move the point down", "Move the point left",
                    "Move the point right"});

    MakeButton(group, n.reset, "RESET", {298, 84, 88, 28});
    auto* undo = MakeButton(group, n.undo, "UNDO", {298, 124, 88, 28});
    SetTag(undo, n.undoTag);

    MakeLabel(group, QString(), "Step", {20, 206, 40, 16});
    MakeTrackBar(group, n.step, {62, 198, 270, 32}, 1, 64, 16, 8, 4);
    MakeLabel(group, n.stepReadout, "16", {340, 206, 40, 16});
}

struct WarpShiftNames {
    QString page;
    QString groups[4];  // top left, top right, bottom left, bottom right
    QString channel;    // "A" or "B"
};

void BuildWarpShiftPage(QTabWidget* pages, const WarpShiftNames& n) {
    QWidget* page = AddPage(pages, n.page, "Warp Shift");
    static const std::array<const char*, 4> kCorners = {"TL", "TR", "BL", "BR"};
    static const std::array<const char*, 4> kTitles = {"Top Left   ", "Top Right", "Bottom Left   ",
                                                       "Bottom Right"};
    static const std::array<const char*, 4> kWords = {"top left", "top right", "bottom left",
                                                      "bottom right"};
    constexpr int kWidth = 198;
    constexpr int kHeight = 140;
    for (int k = 0; k < 4; ++k) {
        const QRect box(4 + (k % 2) * (kWidth + 4), 2 + (k / 2) * (kHeight + 4), kWidth, kHeight);
        QGroupBox* group = MakeGroup(page, n.groups[k], kTitles[k], box);
        const QString prefix = kCorners[k];
        const QString corner = kWords[k];
        auto name = [&](const char* part) { return prefix + part + n.channel; };
        MakeArrowCross(
            group, {14, 24}, 30,
            {name("ShiftUpBtn"), name("ShiftDownBtn"), name("ShiftLeftBtn"), name("ShiftRightBtn")},
            {"Shift the " + corner + " corner up", "Shift the " + corner + " corner down",
             "Shift the " + corner + " corner left", "Shift the " + corner + " corner right"});
        MakeLabel(group, QString(), "X", {116, 34, 14, 16});
        MakeLabel(group, name("ShiftXValue"), "0", {132, 34, 56, 16});
        MakeLabel(group, QString(), "Y", {116, 60, 14, 16});
        MakeLabel(group, name("ShiftYValue"), "0", {132, 60, 56, 16});
        MakeCheckBox(group, prefix + "X10" + n.channel, "x10", {116, 92, 64, 20});
    }
}

struct FourCornerNames {
    QString page, mode;
    QString pointStem;  // the points are pointStem + (firstPoint .. firstPoint + 14)
    int firstPoint;
    QString stepBar, stepLabel;
    QString moves[4];  // tags 0 up, 1 left, 2 down, 3 right
    QString reset;
    bool selectionArrows;
};

void BuildFourCornerPage(QTabWidget* pages, const FourCornerNames& n) {
    QWidget* page = AddPage(pages, n.page, "Warp adjust");

    MakeLabel(page, QString(), "Mode", {12, 12, 40, 16});
    auto* mode = Place(new QComboBox(page), n.mode, {56, 9, 80, 22});
    mode->addItems({"2x2", "3x3", "5x3"});
    mode->setCurrentIndex(0);

    // Five columns by three rows, point number = row * 5 + column; the outer
    // columns are wider for their longer captions.
    static constexpr std::array<int, 6> kColumnLeft = {4, 96, 166, 236, 306, 407};
    for (int i = 0; i < 15; ++i) {
        const int row = i / 5;
        const int column = i % 5;
        QString caption = "Top Left";
        if (i == 4) {
            caption = "Top Right";
        } else if (i == 10) {
            caption = "Bottom Left";
        } else if (i == 14) {
            caption = "Bottom Right";
        }
        const QRect cell(kColumnLeft[column], 42 + row * 24,
                         kColumnLeft[column + 1] - kColumnLeft[column] - 1, 20);
        auto* point = Place(new QRadioButton(caption, page),
                            n.pointStem + QString::number(n.firstPoint + i), cell);
        SetTag(point, i);
        point->setChecked(i == 0);
    }

    MakeLabel(page, QString(), "Step", {12, 126, 40, 16});
    MakeTrackBar(page, n.stepBar, {56, 118, 280, 32}, 0, 49, 0, 5, 5);
    MakeLabel(page, n.stepLabel, "1", {344, 126, 40, 16});

    static const std::array<const char*, 4> kMoveCaptions = {"Up", "Left", "Down", "Right"};
    static constexpr std::array<QPoint, 4> kMoveAt = {QPoint(76, 168), QPoint(16, 198),
                                                      QPoint(76, 228), QPoint(136, 198)};
    for (int t = 0; t < 4; ++t) {
        auto* move = MakeButton(page, n.moves[t], kMoveCaptions[t], {kMoveAt[t], QSize(56, 26)});
        SetTag(move, t);
    }
    if (n.selectionArrows) {
        MakeArrowCross(page, {216, 168}, 30, {"BitBtn18", "BitBtn19", "BitBtn17", "BitBtn20"},
                       {"Select the point above", "Select the point below",
                        "Select the point to the left", "Select the point to the right"});
    }
    MakeButton(page, n.reset, "Reset", {318, 198, 76, 28});
}

struct EdgeBlendNames {
    QString page, edgeGroup, offsetGroup, gammaGroup;
    QString checks[4], bars[4], readouts[4];
    QString marker, transition, transitionValue, nonTransition, nonTransitionValue;
    QString gamma, gammaValue;
};

void BuildEdgeBlendPage(QTabWidget* pages, const EdgeBlendNames& n) {
    QWidget* page = AddPage(pages, n.page, "Edge Blend");
    constexpr BarRow kRow = {84, 96, 254, 358, 36};

    QGroupBox* edges = MakeGroup(page, n.edgeGroup, "Edge     ", {4, 2, 398, 124});
    // Shares the group's title line.
    MakeCheckBox(edges, n.marker, "Marker Enable", {72, 0, 112, 16});
    static const std::array<const char*, 4> kEdges = {"Left", "Right", "Top", "Bottom"};
    for (int e = 0; e < 4; ++e) {
        const int y = 20 + e * 25;
        auto* check = MakeCheckBox(edges, n.checks[e], kEdges[e], {10, y, kRow.labelWidth, 20});
        SetTag(check, e);
        // Blend widths in pixels: page clicks move by 10.
        auto* bar = MakeScrollBar(edges, n.bars[e], {kRow.barLeft, y + 2, kRow.barWidth, 17}, 50,
                                  800, 50, 1, 10);
        SetTag(bar, e);
        MakeLabel(edges, n.readouts[e], "50", {kRow.readoutLeft, y + 2, kRow.readoutWidth, 17});
    }

    QGroupBox* offsets = MakeGroup(page, n.offsetGroup, "Offset", {4, 130, 398, 74});
    MakeLabel(offsets, QString(), "Transition", {10, 22, kRow.labelWidth, 17});
    MakeScrollBar(offsets, n.transition, {kRow.barLeft, 22, kRow.barWidth, 17}, 0, 48, 0, 1, 4);
    MakeLabel(offsets, n.transitionValue, "0", {kRow.readoutLeft, 22, kRow.readoutWidth, 17});
    MakeLabel(offsets, QString(), "Non-transition", {10, 47, kRow.labelWidth, 17});
    MakeScrollBar(offsets, n.nonTransition, {kRow.barLeft, 47, kRow.barWidth, 17}, 0, 48, 0, 1, 4);
    MakeLabel(offsets, n.nonTransitionValue, "0", {kRow.readoutLeft, 47, kRow.readoutWidth, 17});

    QGroupBox* gamma = MakeGroup(page, n.gammaGroup, "GAMMA", {4, 208, 398, 50});
    MakeLabel(gamma, QString(), "Transition", {10, 22, kRow.labelWidth, 17});
    MakeScrollBar(gamma, n.gamma, {kRow.barLeft, 22, kRow.barWidth, 17}, 90, 250, 90, 10, 10);
    MakeLabel(gamma, n.gammaValue, "0.9", {kRow.readoutLeft, 22, kRow.readoutWidth, 17});
}

struct PatternNames {
    QString page, colours, enable, gridGroup, horizontal, horizontalValue, vertical, verticalValue;
};

void BuildPatternPage(QTabWidget* pages, const PatternNames& n) {
    QWidget* page = AddPage(pages, n.page, "Pattern");

    auto* colours = Place(new RadioGroup(page), n.colours, {4, 2, 398, 70});
    colours->setTitle("RGPtnColor");
    colours->setColumns(4);
    colours->setItems({"Red", "Cyan", "Greem", "Magenta", "Blue", "Yellow", "White"});
    colours->setItemIndex(6);

    MakeCheckBox(page, n.enable, "Enable Pattern", {12, 80, 130, 20});

    QGroupBox* grid = MakeGroup(page, n.gridGroup, "Grid Setting", {4, 108, 398, 76});
    constexpr BarRow kRow = {116, 130, 220, 358, 36};
    MakeLabel(grid, QString(), "Horizontal size", {10, 22, kRow.labelWidth, 17});
    MakeScrollBar(grid, n.horizontal, {kRow.barLeft, 22, kRow.barWidth, 17}, 0, 255, 32, 1, 8);
    MakeLabel(grid, n.horizontalValue, "32", {kRow.readoutLeft, 22, kRow.readoutWidth, 17});
    MakeLabel(grid, QString(), "Vertical Grid Size", {10, 48, kRow.labelWidth, 17});
    MakeScrollBar(grid, n.vertical, {kRow.barLeft, 48, kRow.barWidth, 17}, 0, 255, 32, 1, 8);
    MakeLabel(grid, n.verticalValue, "32", {kRow.readoutLeft, 48, kRow.readoutWidth, 17});
}

struct UniformityNames {
    QString page, group, gain, gainValue, gainText, offset, offsetValue, enable, reset, update,
        autoRepeat;
    CrossNames cursor;
};

void BuildUniformityPage(QTabWidget* pages, const UniformityNames& n) {
    QWidget* page = AddPage(pages, n.page, "Uniformity");
    QGroupBox* group = MakeGroup(page, n.group, QString(), {2, 2, kPageWidth - 4, kPageHeight - 4});

    MakeLabel(group, QString(), "Gain", {12, 22, 44, 16});
    MakeTrackBar(group, n.gain, {58, 14, 262, 32}, 0, 16383, 8191, 100, 1024);
    MakeLabel(group, n.gainValue, n.gainText, {328, 22, 64, 16});
    MakeLabel(group, QString(), "Offset", {12, 64, 44, 16});
    MakeTrackBar(group, n.offset, {58, 56, 262, 32}, -512, 511, 0, 1, 64);
    MakeLabel(group, n.offsetValue, "0", {328, 64, 64, 16});

    MakeLabel(group, QString(), "Cursor", {20, 104, 96, 16});
    MakeArrowCross(group, {20, 124}, 32, n.cursor,
                   {"Move the cursor up", "Move the cursor down", "Move the cursor left",
                    "Move the cursor right"});

    MakeButton(group, n.update, "Update", {150, 136, 88, 28});
    auto* reset = MakeButton(group, n.reset, "RESET", {150, 176, 88, 28});
    reset->setFocusPolicy(Qt::NoFocus);
    MakeCheckBox(group, n.enable, "Enable", {262, 140, 120, 20});
    MakeCheckBox(group, n.autoRepeat, "Auto Repeat", {262, 180, 120, 20});
}

struct ColourNames {
    QString page, caption, gainGroup, offsetGroup, gainEnable;
    QString gains[3], gainValues[3], offsets[3], offsetValues[3];
};

void BuildColourPage(QTabWidget* pages, const ColourNames& n) {
    QWidget* page = AddPage(pages, n.page, n.caption);
    static const std::array<const char*, 3> kRows = {"Red", "Green", "Blue"};

    // The gain group has no caption of its own: the check box above its
    // frame serves as its title.
    MakeCheckBox(page, n.gainEnable, "Gain", {8, 1, 60, 17});
    QGroupBox* gain = MakeGroup(page, n.gainGroup, QString(), {4, 18, 398, 124});
    for (int r = 0; r < 3; ++r) {
        const int y = 10 + r * 36;
        MakeLabel(gain, QString(), kRows[r], {12, y + 8, 44, 16});
        MakeTrackBar(gain, n.gains[r], {58, y, 270, 32}, 0, 2047, 512, 1, 64);
        MakeLabel(gain, n.gainValues[r], "512", {336, y + 8, 50, 16});
    }

    QGroupBox* offset = MakeGroup(page, n.offsetGroup, "Offset", {4, 146, 398, 136});
    for (int r = 0; r < 3; ++r) {
        const int y = 20 + r * 36;
        MakeLabel(offset, QString(), kRows[r], {12, y + 8, 44, 16});
        MakeTrackBar(offset, n.offsets[r], {58, y, 270, 32}, -512, 511, 0, 1, 64);
        MakeLabel(offset, n.offsetValues[r], "0", {336, y + 8, 50, 16});
    }
}

QString Numbered(const char* stem, int number) {
    return stem + QString::number(number);
}

void BuildChannelA(QWidget* form) {
    QGroupBox* half = MakeGroup(form, "GroupBox9", "Channel A", {426, 1, 420, 340});
    QTabWidget* pages = MakePageControl(half, "PageControl1");

    const WarpAdjustNames warpAdjust{
        .page = "TabSheet7",
        .group = "GroupBox3",
        .sizeButtons = {"WP2x2A", "WP5x5A", "WP9x9A", "WP17x17A"},
        .sizeGroup = "GridSizeGroupA",
        .interGrid = "InterGridA",
        .showGrid = "ShowGridA",
        .select = {.up = "BitBtn4", .down = "BitBtn2", .left = "BitBtn1", .right = "BitBtn3"},
        .move = {.up = "BitBtn5", .down = "BitBtn7", .left = "BitBtn6", .right = "BitBtn8"},
        .step = "TBStepA",
        .stepReadout = "STStep",
        .reset = "Button7",
        .undo = "Button20",
        .undoTag = 0,
    };
    BuildWarpAdjustPage(pages, warpAdjust);
    const WarpShiftNames warpShift{
        .page = "TabSheet14",
        .groups = {"GroupBox25", "GroupBox26", "GroupBox27", "GroupBox28"},
        .channel = "A",
    };
    BuildWarpShiftPage(pages, warpShift);
    const FourCornerNames fourCorner{
        .page = "TabSheet1",
        .mode = "CBWarpMode",
        .pointStem = "RBCur",
        .firstPoint = 0,
        .stepBar = "ChangeStepBar",
        .stepLabel = "StepLabel",
        .moves = {"WarpUpBtn", "WarpLeftBtn", "WarpDownBtn", "WarpRightBtn"},
        .reset = "Button2",
        .selectionArrows = true,
    };
    BuildFourCornerPage(pages, fourCorner);
    const EdgeBlendNames edgeBlend{
        .page = "TabSheet2",
        .edgeGroup = "GroupBox4",
        .offsetGroup = "GroupBox5",
        .gammaGroup = "GroupBox7",
        .checks = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"},
        .bars = {"EBSBar1", "EBSBar2", "EBSBar3", "EBSBar4"},
        .readouts = {"StaticText1", "StaticText2", "StaticText3", "StaticText4"},
        .marker = "EBMarkerCb",
        .transition = "TransitionSBar",
        .transitionValue = "EBOTranVal",
        .nonTransition = "NonTransitionSBar",
        .nonTransitionValue = "EBONTranVal",
        .gamma = "GammaSCBar",
        .gammaValue = "TransGammaVal",
    };
    BuildEdgeBlendPage(pages, edgeBlend);
    const PatternNames pattern{
        .page = "TabSheet5",
        .colours = "RGPtnColor",
        .enable = "CBEnablePattern",
        .gridGroup = "GroupBox12",
        .horizontal = "SBarHGridSize",
        .horizontalValue = "STPtnHGridSize",
        .vertical = "SBarVGridSize",
        .verticalValue = "STPtnVGridSize",
    };
    BuildPatternPage(pages, pattern);
    const UniformityNames uniformity{
        .page = "TabSheet9",
        .group = "GroupBox15",
        .gain = "UniGainValueA",
        .gainValue = "STUnGainA",
        .gainText = "1.0",
        .offset = "UnOffsetValueA",
        .offsetValue = "STUnOffsetA",
        .enable = "CBUniformityEnableA",
        .reset = "ResetUniformityA",
        .update = "UnUpdateA",
        .autoRepeat = "UniAutoRptA",
        .cursor = {.up = "BitBtn21", .down = "BitBtn23", .left = "BitBtn22", .right = "BitBtn24"},
    };
    BuildUniformityPage(pages, uniformity);
    const ColourNames colour{
        .page = "TabSheet11",
        .caption = "Color adjust",
        .gainGroup = "GroupBox17",
        .offsetGroup = "GroupBox18",
        .gainEnable = "InGainEnableCB",
        .gains = {"InGainRBar", "InGainGBar", "InGainBBar"},
        .gainValues = {"InGainRVal", "InGainGVal", "InGainBVal"},
        .offsets = {"InOffsetRBar", "InOffsetGBar", "InOffsetBBar"},
        .offsetValues = {"InOffsetRVal", "InOffsetGVal", "InOffsetBVal"},
    };
    BuildColourPage(pages, colour);

    pages->setTabVisible(2, false);
    pages->setCurrentIndex(0);
    pages->setEnabled(false);
}

void BuildChannelB(QWidget* form) {
    QGroupBox* half = MakeGroup(form, "GroupBox6", "Channel B", {2, 1, 420, 340});
    QTabWidget* pages = MakePageControl(half, "PageControl2");

    const WarpAdjustNames warpAdjust{
        .page = "TabSheet8",
        .group = "GroupBox14",
        .sizeButtons = {"WP2x2B", "WP5x5B", "WP9x9B", "WP17x17B"},
        .sizeGroup = "GridSizeGroupB",
        .interGrid = "InterGridB",
        .showGrid = "ShowGridB",
        .select = {.up = "BitBtn11", .down = "BitBtn12", .left = "BitBtn10", .right = "BitBtn9"},
        .move = {.up = "BitBtn13", .down = "BitBtn14", .left = "BitBtn16", .right = "BitBtn15"},
        .step = "TBStepB",
        .stepReadout = "STStepB",
        .reset = "Button11",
        .undo = "Button15",
        .undoTag = 1,
    };
    BuildWarpAdjustPage(pages, warpAdjust);
    const WarpShiftNames warpShift{
        .page = "TabSheet13",
        .groups = {"GroupBox21", "GroupBox22", "GroupBox23", "GroupBox24"},
        .channel = "B",
    };
    BuildWarpShiftPage(pages, warpShift);
    // Its selection arrows BitBtn17 .. BitBtn20 exist once, on Channel A's page.
    const FourCornerNames fourCorner{
        .page = "TabSheet3",
        .mode = "ComboBox1",
        .pointStem = "RadioButton",
        .firstPoint = 1,
        .stepBar = "TrackBar1",
        .stepLabel = "StepLabel1",
        .moves = {"Button21", "Button22", "Button23", "Button19"},
        .reset = "Button24",
        .selectionArrows = false,
    };
    BuildFourCornerPage(pages, fourCorner);
    const EdgeBlendNames edgeBlend{
        .page = "TabSheet4",
        .edgeGroup = "GroupBox8",
        .offsetGroup = "GroupBox10",
        .gammaGroup = "GroupBox11",
        .checks = {"CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"},
        .bars = {"EBSBar5", "EBSBar6", "EBSBar7", "EBSBar8"},
        .readouts = {"StaticText5", "StaticText6", "StaticText7", "StaticText8"},
        .marker = "EBMarkerCb1",
        .transition = "TransitionSBar1",
        .transitionValue = "EBOTranVal1",
        .nonTransition = "NonTransitionSBar1",
        .nonTransitionValue = "EBONTranVal1",
        .gamma = "GammaSCBar1",
        .gammaValue = "TransGammaVal1",
    };
    BuildEdgeBlendPage(pages, edgeBlend);
    const PatternNames pattern{
        .page = "TabSheet6",
        .colours = "RGPtnColor1",
        .enable = "CBEnablePattern1",
        .gridGroup = "GroupBox13",
        .horizontal = "SBarHGridSize1",
        .horizontalValue = "STPtnHGridSize1",
        .vertical = "SBarVGridSize1",
        .verticalValue = "STPtnVGridSize1",
    };
    BuildPatternPage(pages, pattern);
    const UniformityNames uniformity{
        .page = "TabSheet10",
        .group = "GroupBox16",
        .gain = "UniGainValueB",
        .gainValue = "STUnGainB",
        .gainText = "0",
        .offset = "UnOffsetValueB",
        .offsetValue = "STUnOffsetB",
        .enable = "CBUniformityEnableB",
        .reset = "ResetUniformityB",
        .update = "UnUpdateB",
        .autoRepeat = "UniAutoRptB",
        .cursor = {.up = "BitBtn25", .down = "BitBtn26", .left = "BitBtn28", .right = "BitBtn27"},
    };
    BuildUniformityPage(pages, uniformity);
    const ColourNames colour{
        .page = "TabSheet12",
        .caption = "Color Adjust",
        .gainGroup = "GroupBox19",
        .offsetGroup = "GroupBox20",
        .gainEnable = "InGainEnableCB1",
        .gains = {"InGainRBar1", "InGainGBar1", "InGainBBar1"},
        .gainValues = {"InGainRVal1", "InGainGVal1", "InGainBVal1"},
        .offsets = {"InOffsetRBar1", "InOffsetGBar1", "InOffsetBBar1"},
        .offsetValues = {"InOffsetRVal1", "InOffsetGVal1", "InOffsetBVal1"},
    };
    BuildColourPage(pages, colour);

    pages->setTabVisible(2, false);
    pages->setCurrentIndex(0);
    pages->setEnabled(false);
}

void BuildRightColumn(QWidget* form) {
    QGroupBox* port = MakeGroup(form, "GroupBox2", "COM PORT", {850, 1, 100, 48});
    auto* ports = Place(new PortComboBox(port), "ComComboBox1", {6, 18, 88, 22});
    ports->setEditable(false);

    MakeLabel(form, "ResLabel", "- - - -", {850, 54, 100, 16}, Qt::AlignCenter);
    MakeButton(form, "CNTBtn", "Connect", {852, 74, 96, 26});
    MakeButton(form, "Button10", "Save file", {852, 106, 96, 26});
    MakeButton(form, "Button12", "Load file", {852, 136, 96, 26});

    QGroupBox* saveToBox =
        MakeGroup(form, "SavetoBoxGroupBox", "Save to Box", {850, 168, 100, 172});
    for (int slot = 0; slot < 10; ++slot) {
        const QRect cell(6 + (slot % 2) * 46, 20 + (slot / 2) * 30, 42, 26);
        auto* button =
            MakeButton(saveToBox, Numbered("SavetoBox", slot + 1), QString::number(slot + 1), cell);
        SetTag(button, slot);
    }
    saveToBox->setEnabled(false);

    // A running map transfer shows its progress in a thin bar along the
    // bottom edge of the right column, so no control of the layout moves.
    auto* progress = Place(new QProgressBar(form), "TransferProgress", {850, 340, 100, 3});
    progress->setTextVisible(false);
    progress->setRange(0, 1);
    progress->setValue(0);
    progress->setVisible(false);
}

// Service controls below the client area: they exist and work, but the
// fixed-size window never shows them.
void BuildHiddenArea(QWidget* form) {
    constexpr int top = kHiddenAreaTop;

    auto* memo = Place(new QPlainTextEdit(form), "Memo1", {2, top, 300, 110});
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText("Memo1");

    auto* channel = Place(new RadioGroup(form), "RGChannel", {310, top, 110, 80});
    channel->setTitle("RGChannel");
    channel->setItems({"Channel A", "Channel B", "All"});
    channel->setItemIndex(0);

    Place(new QLineEdit(form), "InputBox", {430, top, 220, 22});

    static constexpr std::array<int, 13> kButtons = {1, 3, 4, 5, 6, 8, 9, 13, 14, 16, 17, 18, 35};
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const QString name = Numbered("Button", kButtons[i]);
        const QRect cell(430 + static_cast<int>(i % 7) * 78,
                         top + 30 + static_cast<int>(i / 7) * 30, 75, 26);
        MakeButton(form, name, name, cell);
    }

    MakeCheckBox(form, "CBHorLine", "Horizontal center line ", {2, top + 120, 170, 20}, true);
    MakeCheckBox(form, "CBVLine", "Vertical center line  ", {180, top + 120, 170, 20}, true);
    Place(new TBitBtnEZ(form), "BitBtn29", {360, top + 118, 75, 26})->setText("BitBtn29");
    Place(new TBitBtnEZ(form), "BitBtnEZ1", {440, top + 118, 75, 26})->setText("BitBtnEZ1");

    static const std::array<const char*, 2> kPanels = {"Panel1", "Panel2"};
    static const std::array<const char*, 2> kBars = {"UCXPosA", "UCXPosB"};
    static const std::array<const char*, 2> kReadouts = {"STUCXPosA", "STUCXPosB"};
    for (int p = 0; p < 2; ++p) {
        auto* panel = Place(new QFrame(form), kPanels[p], {2 + p * 210, top + 150, 200, 50});
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        MakeLabel(panel, QString(), "X POS", {6, 4, 60, 16});
        MakeScrollBar(panel, kBars[p], {6, 24, 150, 17}, 0, 31, 0, 1, 4);
        MakeLabel(panel, kReadouts[p], "0", {162, 24, 32, 17});
    }
}

}  // namespace

Form1Controls BuildForm1(QWidget* form) {
    form->setFont(QFont("MS Sans Serif", 8));
    form->setFixedSize(kFormClientWidth, kFormClientHeight);

    BuildChannelB(form);
    BuildChannelA(form);
    BuildRightColumn(form);
    BuildHiddenArea(form);
    return FindForm1Controls(form);
}

void ShowServiceArea(QWidget* form, const Form1Controls& c) {
    c.PageControl1->setTabVisible(c.PageControl1->indexOf(c.TabSheet1), true);
    c.PageControl2->setTabVisible(c.PageControl2->indexOf(c.TabSheet3), true);
    QRect all(0, 0, kFormClientWidth, kFormClientHeight);
    for (const QObject* child : form->children()) {
        if (const auto* widget = qobject_cast<const QWidget*>(child)) {
            all |= widget->geometry();
        }
    }
    // A margin as wide as the one at the client area's left edge.
    constexpr int kMargin = 2;
    form->setFixedSize(all.right() + 1 + kMargin, all.bottom() + 1 + kMargin);
}

}  // namespace lumora::app
