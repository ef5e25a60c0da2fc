#include "app/binders/four_corner_binder.h"

#include <QSignalBlocker>
#include <array>

#include "app/binders/whole.h"
#include "warp/four_corner_points.h"

namespace lumora::app {
namespace {

using warp::FourCornerWarp;

using Points = std::array<QRadioButton*, warp::kFourCornerPoints>;

// Channel A's page shows the area's view; Channel B's keeps its own widgets.
void Show(const Form1Controls& c, const Points& points, const FourCornerWarp::View& view) {
    for (std::size_t k = 0; k < points.size(); ++k) {
        const bool shown = ((view.shownPoints >> k) & 1u) != 0;
        points[k]->setEnabled(shown);
        points[k]->setVisible(shown);
    }
    const QSignalBlocker blockPoint(points[static_cast<std::size_t>(view.checkedPoint)]);
    points[static_cast<std::size_t>(view.checkedPoint)]->setChecked(true);
    const QSignalBlocker blockMode(c.CBWarpMode);
    c.CBWarpMode->setCurrentIndex(view.modeItem);
    const QSignalBlocker blockStep(c.ChangeStepBar);
    c.ChangeStepBar->setValue(view.stepPosition);
    c.StepLabel->setText(view.stepLabel);
}

}  // namespace

void BindFourCornerPages(const Form1Controls& c, FourCornerWarp& fourCorner,
                         base::HandlerGuard& guard, QObject* context) {
    const Points pointsA = {c.RBCur0,  c.RBCur1,  c.RBCur2,  c.RBCur3,  c.RBCur4,
                            c.RBCur5,  c.RBCur6,  c.RBCur7,  c.RBCur8,  c.RBCur9,
                            c.RBCur10, c.RBCur11, c.RBCur12, c.RBCur13, c.RBCur14};
    const Points pointsB = {c.RadioButton1,  c.RadioButton2,  c.RadioButton3,  c.RadioButton4,
                            c.RadioButton5,  c.RadioButton6,  c.RadioButton7,  c.RadioButton8,
                            c.RadioButton9,  c.RadioButton10, c.RadioButton11, c.RadioButton12,
                            c.RadioButton13, c.RadioButton14, c.RadioButton15};
    for (int k = 0; k < warp::kFourCornerPoints; ++k) {
        const auto i = static_cast<std::size_t>(k);
        QObject::connect(pointsA[i], &QAbstractButton::toggled, context,
                         Whole(guard, [&fourCorner, k](bool on) {
                             if (on) {
                                 fourCorner.RBCurClick(k);
                             }
                         }));
        QObject::connect(pointsB[i], &QAbstractButton::toggled, context,
                         Whole(guard, [&fourCorner, k](bool on) {
                             if (on) {
                                 fourCorner.RB4CClick(k);
                             }
                         }));
    }
    // Both combo boxes run the one handler, which reads Channel A's.
    QObject::connect(c.CBWarpMode, &QComboBox::activated, context,
                     Whole(guard, [&fourCorner](int item) {
                         fourCorner.setModeItem(item);
                         fourCorner.CBWarpModeChange();
                     }));
    QObject::connect(c.ComboBox1, &QComboBox::activated, context,
                     Whole(guard, [&fourCorner] { fourCorner.CBWarpModeChange(); }));
    QObject::connect(c.ChangeStepBar, &QSlider::valueChanged, context,
                     Whole(guard, [&fourCorner](int position) {
                         fourCorner.setStepPosition(position);
                         fourCorner.ChangeStepBarChange();
                     }));
    QObject::connect(c.TrackBar1, &QSlider::valueChanged, context,
                     Whole(guard, [&fourCorner] { fourCorner.ChangeStepBarChange(); }));
    const std::array<std::array<QPushButton*, 4>, 2> moves = {{
        {c.WarpUpBtn, c.WarpLeftBtn, c.WarpDownBtn, c.WarpRightBtn},
        {c.Button21, c.Button22, c.Button23, c.Button19},
    }};
    for (const auto& page : moves) {
        for (int tag = 0; tag < 4; ++tag) {
            QObject::connect(page[static_cast<std::size_t>(tag)], &QAbstractButton::clicked,
                             context,
                             Whole(guard, [&fourCorner, tag] { fourCorner.Warp4CBtnClick(tag); }));
        }
    }
    for (QPushButton* reset : {c.Button2, c.Button24}) {
        QObject::connect(reset, &QAbstractButton::clicked, context,
                         Whole(guard, [&fourCorner] { fourCorner.Button2Click(); }));
    }
    const auto show = [c, pointsA, &fourCorner] { Show(c, pointsA, fourCorner.view()); };
    QObject::connect(&fourCorner, &FourCornerWarp::changed, context, show);
    show();
}

}  // namespace lumora::app
