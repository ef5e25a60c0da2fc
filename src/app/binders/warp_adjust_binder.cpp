#include "app/binders/warp_adjust_binder.h"

#include <QSignalBlocker>
#include <array>

#include "app/binders/whole.h"

namespace lumora::app {
namespace {

using warp::GridEditing;
using warp::MoveDirection;

struct WarpAdjustPage {
    QTabWidget* pages;
    QWidget* page;
    std::array<QToolButton*, 4> sizes;  // "2x2" .. "17x17"
    QAbstractButton* interGrid;
    QAbstractButton* showGrid;
    std::array<TBitBtnEZ*, 4> moves;   // up, down, left, right
    std::array<TBitBtnEZ*, 4> select;  // left, down, right, up
    QSlider* step;
    QLabel* stepReadout;
    QPushButton* reset;
    QPushButton* undo;
};

using Click = void (GridEditing::*)();

constexpr std::array<Click, 4> kSizeClicks = {&GridEditing::WP2x2Click, &GridEditing::WP5x5AClick,
                                              &GridEditing::WP9x9AClick,
                                              &GridEditing::WP17x17AClick};
constexpr std::array<Click, 4> kSelectClicks = {
    &GridEditing::BitBtn1Click, &GridEditing::BitBtn2Click, &GridEditing::BitBtn3Click,
    &GridEditing::BitBtn4Click};
constexpr std::array<MoveDirection, 4> kMoveDirections = {
    MoveDirection::kUp, MoveDirection::kDown, MoveDirection::kLeft, MoveDirection::kRight};

// The core has already acted on these; the widgets only show them.
void Show(const WarpAdjustPage& page, const GridEditing::View& view, int channel) {
    const auto c = static_cast<std::size_t>(channel);
    const QSignalBlocker blockShow(page.showGrid);
    page.showGrid->setChecked(view.showGrid[c]);
    const QSignalBlocker blockInter(page.interGrid);
    page.interGrid->setChecked(view.internalGrid[c]);
    const int pressed = view.gridSizeButton[c];
    if (pressed >= 0 && pressed < 4) {
        const QSignalBlocker blockSize(page.sizes[static_cast<std::size_t>(pressed)]);
        page.sizes[static_cast<std::size_t>(pressed)]->setChecked(true);
    }
    page.stepReadout->setText(view.stepText[c]);
}

void BindSelectionArrows(const std::array<TBitBtnEZ*, 4>& arrows, GridEditing& editing,
                         base::HandlerGuard& guard, QObject* context) {
    for (std::size_t k = 0; k < arrows.size(); ++k) {
        QObject::connect(
            arrows[k], &QAbstractButton::clicked, context,
            Whole(guard, [&editing, click = kSelectClicks[k]] { (editing.*click)(); }));
    }
}

}  // namespace

void BindWarpAdjustPages(const Form1Controls& c, GridEditing& editing, base::HandlerGuard& guard,
                         QObject* context) {
    const std::array<WarpAdjustPage, base::kChannels> pages = {{
        {c.PageControl1,
         c.TabSheet7,
         {c.WP2x2A, c.WP5x5A, c.WP9x9A, c.WP17x17A},
         c.InterGridA,
         c.ShowGridA,
         {c.BitBtn5, c.BitBtn7, c.BitBtn6, c.BitBtn8},
         {c.BitBtn1, c.BitBtn2, c.BitBtn3, c.BitBtn4},
         c.TBStepA,
         c.STStep,
         c.Button7,
         c.Button20},
        {c.PageControl2,
         c.TabSheet8,
         {c.WP2x2B, c.WP5x5B, c.WP9x9B, c.WP17x17B},
         c.InterGridB,
         c.ShowGridB,
         {c.BitBtn13, c.BitBtn14, c.BitBtn16, c.BitBtn15},
         {c.BitBtn10, c.BitBtn12, c.BitBtn9, c.BitBtn11},
         c.TBStepB,
         c.STStepB,
         c.Button11,
         c.Button15},
    }};
    constexpr std::array<Click, base::kChannels> kPageShown = {&GridEditing::TabSheet7Show,
                                                               &GridEditing::TabSheet8Show};
    constexpr std::array<Click, base::kChannels> kReset = {&GridEditing::Button7Click,
                                                           &GridEditing::Button11Click};
    const auto arrowUp = Whole(guard, [&editing] { editing.GridArrowUp(); });
    for (std::size_t half = 0; half < pages.size(); ++half) {
        const WarpAdjustPage& page = pages[half];
        // A grid-size button acts on every click, the one already down too;
        // setGridSizeButton is for those that set a value (a settings load).
        for (std::size_t size = 0; size < kSizeClicks.size(); ++size) {
            QObject::connect(
                page.sizes[size], &QAbstractButton::clicked, context,
                Whole(guard, [&editing, click = kSizeClicks[size]] { (editing.*click)(); }));
        }
        QObject::connect(page.interGrid, &QAbstractButton::clicked, context,
                         Whole(guard, [&editing, half](bool checked) {
                             editing.setInternalGrid(static_cast<int>(half), checked);
                         }));
        QObject::connect(
            page.showGrid, &QAbstractButton::clicked, context,
            Whole(guard, [&editing](bool checked) { editing.ShowGridAClick(checked); }));
        // A "Warp adjust" page is shown when it becomes its page control's
        // current page; the window appearing does not count.
        QObject::connect(page.pages, &QTabWidget::currentChanged, context,
                         Whole(guard, [&editing, page, shown = kPageShown[half]](int index) {
                             if (page.pages->widget(index) == page.page) {
                                 (editing.*shown)();
                             }
                         }));
        // A move happens when its arrow goes down (by mouse or key), and
        // repeats while it is held; the release ends the repeat.
        for (std::size_t k = 0; k < page.moves.size(); ++k) {
            TBitBtnEZ* arrow = page.moves[k];
            QObject::connect(
                arrow, &QAbstractButton::pressed, context,
                Whole(guard, [&editing, d = kMoveDirections[k]] { editing.GridArrowDown(d); }));
            QObject::connect(arrow, &QAbstractButton::released, context, arrowUp);
            QObject::connect(arrow, &TBitBtnEZ::mouseLeave, context, arrowUp);
        }
        BindSelectionArrows(page.select, editing, guard, context);
        QObject::connect(page.step, &QSlider::valueChanged, context,
                         Whole(guard, [&editing, half](int position) {
                             editing.TBStepChange(static_cast<int>(half), position);
                         }));
        QObject::connect(page.reset, &QAbstractButton::clicked, context,
                         Whole(guard, [&editing, reset = kReset[half]] { (editing.*reset)(); }));
        QObject::connect(
            page.undo, &QAbstractButton::clicked, context,
            Whole(guard, [&editing, half] { editing.Button15Click(static_cast<int>(half)); }));
    }
    // The hidden four-corner page's selection arrows move the grid page's
    // selection too.
    BindSelectionArrows({c.BitBtn17, c.BitBtn19, c.BitBtn20, c.BitBtn18}, editing, guard, context);
    // The service arrow outside the visible area moves up, as Channel B's.
    QObject::connect(c.BitBtnEZ1, &QAbstractButton::pressed, context,
                     Whole(guard, [&editing] { editing.GridArrowDown(MoveDirection::kUp); }));
    QObject::connect(c.BitBtnEZ1, &QAbstractButton::released, context, arrowUp);

    const auto show = [pages, &editing] {
        for (std::size_t half = 0; half < pages.size(); ++half) {
            Show(pages[half], editing.view(), static_cast<int>(half));
        }
    };
    QObject::connect(&editing, &GridEditing::changed, context, show);
    show();
}

}  // namespace lumora::app
