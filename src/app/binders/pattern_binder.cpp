#include "app/binders/pattern_binder.h"

#include <array>

#include "app/binders/draw.h"
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
                         Whole(guard, [&pattern, p](int item) { pattern.setColourItem(p, item); }));
        QObject::connect(
            page.enable, &QAbstractButton::clicked, context,
            Whole(guard, [&pattern, p](bool checked) { pattern.setEnabled(p, checked); }));
        QObject::connect(
            page.horizontal, &QScrollBar::valueChanged, context,
            Whole(guard, [&pattern, p](int value) { pattern.setHorizontal(p, value); }));
        QObject::connect(page.vertical, &QScrollBar::valueChanged, context,
                         Whole(guard, [&pattern, p](int value) { pattern.setVertical(p, value); }));
    }
    const auto draw = [pages, &pattern](int p) {
        const PatternPage& page = pages[static_cast<std::size_t>(p)];
        const picture::TestPattern::Page& model = pattern.page(p);
        {
            const QSignalBlocker quiet(page.colours);
            page.colours->setItemIndex(model.colourItem);
        }
        DrawChecked(page.enable, model.enabled);
        DrawValue(page.horizontal, model.horizontal);
        page.horizontalText->setText(model.horizontalText);
        DrawValue(page.vertical, model.vertical);
        page.verticalText->setText(model.verticalText);
    };
    QObject::connect(&pattern, &picture::TestPattern::changed, context, draw);
    for (int p = 0; p < base::kChannels; ++p) {
        draw(p);
    }
}

}  // namespace lumora::app
