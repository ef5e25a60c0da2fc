#include "base/long_work.h"

namespace lumora::base {

QString WorkKindText(WorkKind kind) {
    switch (kind) {
        case WorkKind::kLiveTransfer:
            return QStringLiteral("live map transfer");
        case WorkKind::kSave:
            return QStringLiteral("save to box");
        case WorkKind::kWarpReset:
            return QStringLiteral("warp reset");
        case WorkKind::kInitialisation:
            return QStringLiteral("initialisation after connect");
        case WorkKind::kUpload:
            return QStringLiteral("uniformity upload");
        case WorkKind::kSettingsLoad:
            return QStringLiteral("settings load");
    }
    return {};
}

std::optional<LongWork::Id> LongWork::start(WorkKind kind, int target, Ender ender) {
    if (running_) {
        return std::nullopt;
    }
    running_ = Running{kind, target, nextId_++};
    ender_ = std::move(ender);
    return running_->id;
}

bool LongWork::finish(Id id, WorkEnd how) {
    if (!isRunning(id)) {
        return false;
    }
    const Running ended = *running_;
    running_.reset();
    // The ender may start the next piece of work (a save's second pass is
    // its own work): take it out first.
    const Ender ender = std::move(ender_);
    ender_ = {};
    if (ender) {
        ender(how);
    }
    emit this->ended(ended.kind, ended.target, how);
    return true;
}

void LongWork::endAll(WorkEnd how) {
    if (running_) {
        finish(running_->id, how);
    }
}

}  // namespace lumora::base
