#include "app/binders/pattern_binder.h"

#include <array>

#include "app/binders/whole.h"

namespace lumora::app {
namespace {

struct PatternPage {
    RadioGroup* colours;
    QCheckBox* enable;
    QScrollBar* horizontal;
    QScrollBar* vertical;
    QLabel* horizontalText;
    QLabel* verticalText;
};

}  // namespace

void BindPatternPages(const Form1Controls& c, picture::TestPattern& pattern,
                      base::HandlerGuard& guard, QObject* context) {
    const std::array<PatternPage, base::kChannels> pages = {{
        {c.RGPtnColor, c.CBEnablePattern, c.SBarHGridSize, c.SBarVGridSize, c.STPtnHGridSize,
         c.STPtnVGridSize},
        {c.RGPtnColor1, c.CBEnablePattern1, c.SBarHGridSize1, c.SBarVGridSize1, c.STPtnHGridSize1,
         c.STPtnVGridSize1},
    }};
    for (int p = 0; p < base::kChannels; ++p) {
        const PatternPage& page = pages[static_cast<std::size_t>(p)];
        QObject::connect(page.colours, &RadioGroup::itemClicked, context,
                         Whole(guard, [&pattern, p](int item) {
                             pattern.page(p).colourItem = item;
                             pattern.RGPtnColorClick(p);
                         }));
        QObject::connect(page.enable, &QAbstractButton::clicked, context,
                         Whole(guard, [&pattern, p](bool checked) {
                             pattern.page(p).enabled = checked;
                             pattern.CBEnablePatternClick(p);
                         }));
        QObject::connect(page.horizontal, &QScrollBar::valueChanged, context,
                         Whole(guard, [&pattern, p](int value) {
                             pattern.page(p).horizontal = value;
                             pattern.SBarHGridSizeChange(p);
                         }));
        QObject::connect(page.vertical, &QScrollBar::valueChanged, context,
                         Whole(guard, [&pattern, p](int value) {
                             pattern.page(p).vertical = value;
                             pattern.SBarVGridSizeChange(p);
                         }));
    }
    QObject::connect(&pattern, &picture::TestPattern::changed, context, [pages, &pattern](int p) {
        const PatternPage& page = pages[static_cast<std::size_t>(p)];
        page.horizontalText->setText(pattern.page(p).horizontalText);
        page.verticalText->setText(pattern.page(p).verticalText);
    });
}

}  // namespace lumora::app
