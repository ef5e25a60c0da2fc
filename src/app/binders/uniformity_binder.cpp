#include "app/binders/uniformity_binder.h"

#include <QSignalBlocker>
#include <array>

#include "app/binders/whole.h"

namespace lumora::app {
namespace {

using picture::Uniformity;

struct UniformityPage {
    QTabWidget* pages;
    QWidget* page;
    QSlider* gain;
    QLabel* gainText;
    QSlider* offset;
    QLabel* offsetText;
    QCheckBox* enable;
    QCheckBox* autoRepeat;
    QPushButton* update;
    QPushButton* reset;
    std::array<TBitBtnEZ*, 4> cursor;  // up, down, left, right
    QScrollBar* xPos;
    QLabel* xPosText;
};

using Click = void (Uniformity::*)();
constexpr std::array<Click, 4> kCursorClicks = {
    &Uniformity::BitBtn21Click, &Uniformity::BitBtn23Click, &Uniformity::BitBtn22Click,
    &Uniformity::BitBtn24Click};
constexpr std::array<Click, base::kChannels> kPageShown = {&Uniformity::TabSheet9Show,
                                                           &Uniformity::TabSheet10Show};

}  // namespace

void BindUniformityPages(const Form1Controls& c, Uniformity& uniformity, base::HandlerGuard& guard,
                         QObject* context) {
    const std::array<UniformityPage, base::kChannels> pages = {{
        {c.PageControl1,
         c.TabSheet9,
         c.UniGainValueA,
         c.STUnGainA,
         c.UnOffsetValueA,
         c.STUnOffsetA,
         c.CBUniformityEnableA,
         c.UniAutoRptA,
         c.UnUpdateA,
         c.ResetUniformityA,
         {c.BitBtn21, c.BitBtn23, c.BitBtn22, c.BitBtn24},
         c.UCXPosA,
         c.STUCXPosA},
        {c.PageControl2,
         c.TabSheet10,
         c.UniGainValueB,
         c.STUnGainB,
         c.UnOffsetValueB,
         c.STUnOffsetB,
         c.CBUniformityEnableB,
         c.UniAutoRptB,
         c.UnUpdateB,
         c.ResetUniformityB,
         {c.BitBtn25, c.BitBtn26, c.BitBtn28, c.BitBtn27},
         c.UCXPosB,
         c.STUCXPosB},
    }};
    for (int p = 0; p < base::kChannels; ++p) {
        const UniformityPage& page = pages[static_cast<std::size_t>(p)];
        QObject::connect(page.gain, &QSlider::valueChanged, context,
                         Whole(guard, [&uniformity, p](int v) {
                             uniformity.page(p).gain = v;
                             uniformity.UniGainValueChange(p);
                         }));
        QObject::connect(page.offset, &QSlider::valueChanged, context,
                         Whole(guard, [&uniformity, p](int v) {
                             uniformity.page(p).offset = v;
                             uniformity.UnOffsetValueChange(p);
                         }));
        QObject::connect(page.enable, &QAbstractButton::clicked, context,
                         Whole(guard, [&uniformity, p](bool checked) {
                             uniformity.page(p).enable = checked;
                             uniformity.CBUniformityEnableClick(p);
                         }));
        QObject::connect(
            page.autoRepeat, &QAbstractButton::toggled, context,
            Whole(guard, [&uniformity, p](bool on) { uniformity.page(p).autoRepeat = on; }));
        QObject::connect(page.update, &QAbstractButton::clicked, context,
                         Whole(guard, [&uniformity, p] { uniformity.UnUpdateClick(p); }));
        QObject::connect(page.reset, &QAbstractButton::clicked, context,
                         Whole(guard, [&uniformity, p] { uniformity.ResetUniformityClick(p); }));
        for (std::size_t k = 0; k < kCursorClicks.size(); ++k) {
            QObject::connect(
                page.cursor[k], &QAbstractButton::clicked, context,
                Whole(guard, [&uniformity, click = kCursorClicks[k]] { (uniformity.*click)(); }));
        }
        QObject::connect(page.pages, &QTabWidget::currentChanged, context,
                         Whole(guard, [&uniformity, page,
                                       shown = kPageShown[static_cast<std::size_t>(p)]](int index) {
                             if (page.pages->widget(index) == page.page) {
                                 (uniformity.*shown)();
                             }
                         }));
        QObject::connect(page.xPos, &QScrollBar::valueChanged, context,
                         [text = page.xPosText](int v) { text->setText(QString::number(v)); });
    }
    // The core has set these (a cursor move loads the point's values).
    QObject::connect(&uniformity, &Uniformity::changed, context, [pages, &uniformity](int p) {
        const UniformityPage& page = pages[static_cast<std::size_t>(p)];
        const Uniformity::Page& model = uniformity.page(p);
        const QSignalBlocker blockGain(page.gain);
        page.gain->setValue(model.gain);
        const QSignalBlocker blockOffset(page.offset);
        page.offset->setValue(model.offset);
        page.gainText->setText(model.gainText);
        page.offsetText->setText(model.offsetText);
    });
}

}  // namespace lumora::app
