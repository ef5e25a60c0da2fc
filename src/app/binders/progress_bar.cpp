#include "app/binders/progress_bar.h"

namespace lumora::app {
namespace {

void Show(QProgressBar* bar, int done, int total) {
    bar->setVisible(total > 0);
    if (total > 0) {
        bar->setRange(0, total);
        bar->setValue(done);
    }
}

}  // namespace

void BindProgress(const Form1Controls& c, core::Session& session, QObject* context) {
    QProgressBar* bar = c.TransferProgress;
    const base::LongWork& work = session.work();
    const auto loading = [&work] {
        const auto outer = work.outermost();
        return outer && outer->kind == base::WorkKind::kSettingsLoad;
    };
    const auto ownProgress = [bar, loading](int done, int total) {
        if (!loading()) {
            Show(bar, done, total);
        }
    };
    QObject::connect(&session.mapTransfer(), &warp::MapTransfer::progress, context, ownProgress);
    QObject::connect(&session.uniformity(), &picture::Uniformity::progress, context, ownProgress);
    QObject::connect(&session.settingsFile(), &settings::SettingsFile::progress, context,
                     [bar](int done, int total) { Show(bar, done, total); });
}

}  // namespace lumora::app
