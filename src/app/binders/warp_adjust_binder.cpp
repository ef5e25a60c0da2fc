#include "app/binders/warp_adjust_binder.h"

#include <QSignalBlocker>
#include <array>

namespace lumora::app {
namespace {

struct WarpAdjustPage {
    QTabWidget* pages;
    QWidget* page;
    std::array<QToolButton*, 4> sizes;  // "2x2" .. "17x17"
    QAbstractButton* interGrid;
    QAbstractButton* showGrid;
};

// The core has already acted on these; the widgets only show them.
void Show(const WarpAdjustPage& page, const warp::GridEditing::View& view, int channel) {
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
}

}  // namespace

void BindWarpAdjustPages(const Form1Controls& c, warp::GridEditing& editing, QObject* context) {
    const std::array<WarpAdjustPage, core::kChannels> pages = {{
        {c.PageControl1,
         c.TabSheet7,
         {c.WP2x2A, c.WP5x5A, c.WP9x9A, c.WP17x17A},
         c.InterGridA,
         c.ShowGridA},
        {c.PageControl2,
         c.TabSheet8,
         {c.WP2x2B, c.WP5x5B, c.WP9x9B, c.WP17x17B},
         c.InterGridB,
         c.ShowGridB},
    }};
    using Click = void (warp::GridEditing::*)();
    constexpr std::array<Click, 4> kSizeClicks = {
        &warp::GridEditing::WP2x2Click, &warp::GridEditing::WP5x5AClick,
        &warp::GridEditing::WP9x9AClick, &warp::GridEditing::WP17x17AClick};
    constexpr std::array<Click, core::kChannels> kPageShown = {&warp::GridEditing::TabSheet7Show,
                                                               &warp::GridEditing::TabSheet8Show};
    for (std::size_t half = 0; half < pages.size(); ++half) {
        const WarpAdjustPage& page = pages[half];
        for (std::size_t size = 0; size < kSizeClicks.size(); ++size) {
            QObject::connect(page.sizes[size], &QAbstractButton::clicked, context,
                             [&editing, click = kSizeClicks[size]] { (editing.*click)(); });
        }
        QObject::connect(page.interGrid, &QAbstractButton::clicked, context,
                         [&editing](bool checked) { editing.InterGridAClick(checked); });
        QObject::connect(page.showGrid, &QAbstractButton::clicked, context,
                         [&editing](bool checked) { editing.ShowGridAClick(checked); });
        // A "Warp adjust" page is shown when it becomes its page control's
        // current page; the window appearing does not count.
        QObject::connect(page.pages, &QTabWidget::currentChanged, context,
                         [&editing, page, shown = kPageShown[half]](int index) {
                             if (page.pages->widget(index) == page.page) {
                                 (editing.*shown)();
                             }
                         });
    }
    const auto show = [pages, &editing] {
        for (std::size_t half = 0; half < pages.size(); ++half) {
            Show(pages[half], editing.view(), static_cast<int>(half));
        }
    };
    QObject::connect(&editing, &warp::GridEditing::changed, context, show);
    show();
}

}  // namespace lumora::app
