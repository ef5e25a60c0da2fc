#include "app/tform1.h"

#include <QCloseEvent>
#include <array>

#include "app/binders/channel_selector.h"
#include "app/binders/colour_binder.h"
#include "app/binders/connection_binder.h"
#include "app/binders/diagnostics_binder.h"
#include "app/binders/edge_blend_binder.h"
#include "app/binders/four_corner_binder.h"
#include "app/binders/map_transfer_binder.h"
#include "app/binders/messages_binder.h"
#include "app/binders/pattern_binder.h"
#include "app/binders/preview_binder.h"
#include "app/binders/progress_bar.h"
#include "app/binders/settings_file_binder.h"
#include "app/binders/uniformity_binder.h"
#include "app/binders/warp_adjust_binder.h"
#include "app/binders/warp_shift_binder.h"
#include "app/form_layout.h"
#include "app/startup.h"

namespace lumora::app {
namespace {

constexpr double kAlphaBlend = 224.0 / 255.0;

}  // namespace

TForm1::TForm1(core::Session& session, const QString& preferredPort, View view, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowOpacity(kAlphaBlend);
    setWindowTitle(QStringLiteral("Lumora Warp Tool alpha 8"));
    controls_ = BuildForm1(this);
    BindMessages(controls_, session_.messages(), this);
    base::HandlerGuard& guard = session_.guard();
    BindConnection(controls_, session_.connection(), guard, this, preferredPort);
    new ChannelSelector(controls_, session_.state(), guard, this);
    BindWarpAdjustPages(controls_, session_.gridEditing(), guard, this);
    BindWarpShiftPages(controls_, session_.cornerShift(), guard, this);
    BindMapTransfer(controls_, session_.mapTransfer(), guard, this);
    BindPatternPages(controls_, session_.testPattern(), guard, this);
    BindUniformityPages(controls_, session_.uniformity(), guard, this);
    BindEdgeBlendPages(controls_, session_.edgeBlend(), guard, this);
    BindColourPages(controls_, session_.colourAdjust(), guard, this);
    BindSettingsFile(controls_, session_.settingsFile(), guard, this);
    BindFourCornerPages(controls_, session_.fourCorner(), guard, this);
    BindDiagnostics(controls_, session_.diagnostics(), guard, this);
    BindProgress(controls_, session_, this);
    BindPreview(this, session_.preview());
    FormCreate();
    if (view == View::kService) {
        ShowServiceArea(this, controls_);
    }
}

void TForm1::FormCreate() {
    setWindowTitle(VersionCaption());
    controls_.PageControl1->setCurrentIndex(0);
    controls_.PageControl2->setCurrentIndex(0);
}

void TForm1::closeEvent(QCloseEvent* event) {
    session_.shutdown();
    QWidget::closeEvent(event);
}

}  // namespace lumora::app
