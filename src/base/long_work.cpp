#include "base/long_work.h"

#include <algorithm>

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

std::optional<LongWork::Id> LongWork::start(WorkKind kind, int target, Ender ender,
                                            Hosting hosting) {
    if (!canStart()) {
        return std::nullopt;
    }
    const Id id = nextId_++;
    stack_.push_back({{kind, target, id, hosting == Hosting::kOthers}, std::move(ender)});
    return id;
}

bool LongWork::isRunning(Id id) const {
    return std::any_of(stack_.begin(), stack_.end(),
                       [id](const Entry& entry) { return entry.running.id == id; });
}

std::optional<LongWork::Running> LongWork::running() const {
    if (stack_.empty()) {
        return std::nullopt;
    }
    return stack_.back().running;
}

std::optional<LongWork::Running> LongWork::outermost() const {
    if (stack_.empty()) {
        return std::nullopt;
    }
    return stack_.front().running;
}

bool LongWork::finish(Id id, WorkEnd how) {
    const auto at = std::find_if(stack_.begin(), stack_.end(),
                                 [id](const Entry& entry) { return entry.running.id == id; });
    if (at == stack_.end()) {
        return false;
    }
    // Work inside it ends with it, innermost first. The enders run once
    // their entries are gone, so that one may start new work.
    std::vector<Entry> ending(std::make_move_iterator(at), std::make_move_iterator(stack_.end()));
    stack_.erase(at, stack_.end());
    for (auto entry = ending.rbegin(); entry != ending.rend(); ++entry) {
        if (entry->ender) {
            entry->ender(how);
        }
        emit this->ended(entry->running.kind, entry->running.target, how);
    }
    return true;
}

void LongWork::endAll(WorkEnd how) {
    if (!stack_.empty()) {
        finish(stack_.front().running.id, how);
    }
}

}  // namespace lumora::base
