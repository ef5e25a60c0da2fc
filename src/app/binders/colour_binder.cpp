#include "app/binders/colour_binder.h"

#include <array>

#include "app/binders/draw.h"
#include "app/binders/whole.h"

namespace lumora::app {
namespace {

using picture::ColourAdjust;

struct ColourPage {
    QCheckBox* gainEnable;
    std::array<QSlider*, ColourAdjust::kColours> gains;
    std::array<QLabel*, ColourAdjust::kColours> gainTexts;
    std::array<QSlider*, ColourAdjust::kColours> offsets;
    std::array<QLabel*, ColourAdjust::kColours> offsetTexts;
};

}  // namespace

void BindColourPages(const Form1Controls& c, ColourAdjust& colour, base::HandlerGuard& guard,
                     QObject* context) {
    const std::array<ColourPage, base::kChannels> pages = {{
        {c.InGainEnableCB,
         {c.InGainRBar, c.InGainGBar, c.InGainBBar},
         {c.InGainRVal, c.InGainGVal, c.InGainBVal},
         {c.InOffsetRBar, c.InOffsetGBar, c.InOffsetBBar},
         {c.InOffsetRVal, c.InOffsetGVal, c.InOffsetBVal}},
        {c.InGainEnableCB1,
         {c.InGainRBar1, c.InGainGBar1, c.InGainBBar1},
         {c.InGainRVal1, c.InGainGVal1, c.InGainBVal1},
         {c.InOffsetRBar1, c.InOffsetGBar1, c.InOffsetBBar1},
         {c.InOffsetRVal1, c.InOffsetGVal1, c.InOffsetBVal1}},
    }};
    for (int ch = 0; ch < base::kChannels; ++ch) {
        const ColourPage& page = pages[static_cast<std::size_t>(ch)];
        QObject::connect(
            page.gainEnable, &QAbstractButton::clicked, context,
            Whole(guard, [&colour, ch](bool checked) { colour.setGainEnabled(ch, checked); }));
        for (int k = 0; k < ColourAdjust::kColours; ++k) {
            const auto i = static_cast<std::size_t>(k);
            QObject::connect(
                page.gains[i], &QSlider::valueChanged, context,
                Whole(guard, [&colour, ch, k](int value) { colour.setGain(ch, k, value); }));
            QObject::connect(
                page.offsets[i], &QSlider::valueChanged, context,
                Whole(guard, [&colour, ch, k](int value) { colour.setOffset(ch, k, value); }));
        }
    }
    const auto draw = [pages, &colour](int ch) {
        const ColourPage& page = pages[static_cast<std::size_t>(ch)];
        const ColourAdjust::Page& model = colour.page(ch);
        DrawChecked(page.gainEnable, model.gainEnabled);
        for (std::size_t i = 0; i < page.gainTexts.size(); ++i) {
            DrawValue(page.gains[i], model.gain[i]);
            page.gainTexts[i]->setText(model.gainText[i]);
            DrawValue(page.offsets[i], model.offset[i]);
            page.offsetTexts[i]->setText(model.offsetText[i]);
        }
    };
    QObject::connect(&colour, &ColourAdjust::changed, context, draw);
    for (int ch = 0; ch < base::kChannels; ++ch) {
        draw(ch);
    }
}

}  // namespace lumora::app
