#include "app/binders/edge_blend_binder.h"

#include <array>

#include "app/binders/draw.h"
#include "app/binders/whole.h"

namespace lumora::app {
namespace {

using picture::EdgeBlend;

struct EdgeBlendPage {
    std::array<QCheckBox*, EdgeBlend::kEdges> edges;
    std::array<QScrollBar*, EdgeBlend::kEdges> widths;
    std::array<QLabel*, EdgeBlend::kEdges> widthTexts;
    QCheckBox* marker;
    QScrollBar* transition;
    QLabel* transitionText;
    QScrollBar* nonTransition;
    QLabel* nonTransitionText;
    QScrollBar* gamma;
    QLabel* gammaText;
};

// The edge a check box or width bar stands for.
int EdgeOf(const QWidget* control) {
    return control->property("tag").toInt();
}

void BindEdges(const EdgeBlendPage& page, int p, EdgeBlend& blend, base::HandlerGuard& guard,
               QObject* context) {
    for (QCheckBox* box : page.edges) {
        const int edge = EdgeOf(box);
        QObject::connect(box, &QAbstractButton::clicked, context,
                         Whole(guard, [&blend, p, edge](bool checked) {
                             blend.setEdgeEnabled(p, edge, checked);
                         }));
    }
    for (QScrollBar* bar : page.widths) {
        const int edge = EdgeOf(bar);
        QObject::connect(
            bar, &QScrollBar::valueChanged, context,
            Whole(guard, [&blend, p, edge](int value) { blend.setWidth(p, edge, value); }));
    }
}

void BindOffsetsAndGamma(const EdgeBlendPage& page, int p, EdgeBlend& blend,
                         base::HandlerGuard& guard, QObject* context) {
    QObject::connect(page.marker, &QAbstractButton::clicked, context,
                     Whole(guard, [&blend, p](bool checked) { blend.setMarker(p, checked); }));
    QObject::connect(page.transition, &QScrollBar::valueChanged, context,
                     Whole(guard, [&blend, p](int value) { blend.setTransition(p, value); }));
    QObject::connect(page.nonTransition, &QScrollBar::valueChanged, context,
                     Whole(guard, [&blend, p](int value) { blend.setNonTransition(p, value); }));
    // Round while the operator scrolls, before the position becomes the
    // value, so that the bar never rests between steps.
    QScrollBar* gamma = page.gamma;
    QObject::connect(gamma, &QAbstractSlider::actionTriggered, context, [gamma] {
        gamma->setSliderPosition(EdgeBlend::GammaSCBarScroll(gamma->sliderPosition()));
    });
    QObject::connect(gamma, &QScrollBar::valueChanged, context,
                     Whole(guard, [&blend, p](int value) { blend.setGamma(p, value); }));
}

}  // namespace

void BindEdgeBlendPages(const Form1Controls& c, EdgeBlend& blend, base::HandlerGuard& guard,
                        QObject* context) {
    const std::array<EdgeBlendPage, base::kChannels> pages = {{
        {{c.CheckBox1, c.CheckBox2, c.CheckBox3, c.CheckBox4},
         {c.EBSBar1, c.EBSBar2, c.EBSBar3, c.EBSBar4},
         {c.StaticText1, c.StaticText2, c.StaticText3, c.StaticText4},
         c.EBMarkerCb,
         c.TransitionSBar,
         c.EBOTranVal,
         c.NonTransitionSBar,
         c.EBONTranVal,
         c.GammaSCBar,
         c.TransGammaVal},
        {{c.CheckBox5, c.CheckBox6, c.CheckBox7, c.CheckBox8},
         {c.EBSBar5, c.EBSBar6, c.EBSBar7, c.EBSBar8},
         {c.StaticText5, c.StaticText6, c.StaticText7, c.StaticText8},
         c.EBMarkerCb1,
         c.TransitionSBar1,
         c.EBOTranVal1,
         c.NonTransitionSBar1,
         c.EBONTranVal1,
         c.GammaSCBar1,
         c.TransGammaVal1},
    }};
    for (int p = 0; p < base::kChannels; ++p) {
        const EdgeBlendPage& page = pages[static_cast<std::size_t>(p)];
        BindEdges(page, p, blend, guard, context);
        BindOffsetsAndGamma(page, p, blend, guard, context);
    }
    const auto draw = [pages, &blend](int p) {
        const EdgeBlendPage& page = pages[static_cast<std::size_t>(p)];
        const EdgeBlend::Page& model = blend.page(p);
        for (std::size_t e = 0; e < page.widthTexts.size(); ++e) {
            DrawChecked(page.edges[e], model.edgeEnabled[e]);
            DrawValue(page.widths[e], model.width[e]);
            page.widthTexts[e]->setText(model.widthText[e]);
        }
        DrawChecked(page.marker, model.marker);
        DrawValue(page.transition, model.transition);
        page.transitionText->setText(model.transitionText);
        DrawValue(page.nonTransition, model.nonTransition);
        page.nonTransitionText->setText(model.nonTransitionText);
        DrawValue(page.gamma, model.gamma);
        page.gammaText->setText(model.gammaText);
    };
    QObject::connect(&blend, &EdgeBlend::changed, context, draw);
    for (int p = 0; p < base::kChannels; ++p) {
        draw(p);
    }
}

}  // namespace lumora::app
