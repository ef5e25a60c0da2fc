#pragma once

// The one owner of the box's long work: a live map transfer, a save to a
// memory slot, a warp reset waiting for the box, the initialisation after
// connect, a uniformity upload, a settings load. One piece runs at a time,
// except that work which hosts others (a settings load runs its transfers
// and uploads) lets one piece at a time run inside it.
// The owner knows what runs, for which channel or slot, and ends it in one
// of the ways work ends; a starter finds out here whether it may start, and
// a reply asks here whether it still belongs to the work that runs.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace lumora::base {

enum class WorkKind { kLiveTransfer, kSave, kWarpReset, kInitialisation, kUpload, kSettingsLoad };

enum class WorkEnd {
    kCompleted,
    kTimedOut,
    kRefused,      // the box or a computation refused to go on
    kWriteFailed,  // a packet could not be written
    kDisconnected,
    kLineDead,
    kClosing,    // the window closes
    kAbandoned,  // the handler that ran it gave up (an error escaped it)
};

QString WorkKindText(WorkKind kind);

class LongWork : public QObject {
    Q_OBJECT
  public:
    using Id = std::uint64_t;
    // Told how the work ended when the owner ends it (Disconnect, a dead
    // line, closing, or a finish by id).
    using Ender = std::function<void(WorkEnd)>;

    struct Running {
        WorkKind kind;
        int target;  // a channel, or a slot for a save
        Id id;
        bool hosts = false;  // lets one piece of work run inside it
    };

    enum class Hosting { kNone, kOthers };

    // Starts `kind` unless other work runs (a starter during other work
    // changes nothing), or inside work that hosts others and has nothing
    // running inside it yet.
    std::optional<Id> start(WorkKind kind, int target, Ender ender = {},
                            Hosting hosting = Hosting::kNone);
    bool busy() const { return !stack_.empty(); }
    // Whether start() would succeed now.
    bool canStart() const { return stack_.empty() || stack_.back().running.hosts; }
    // The innermost work is of `kind`.
    bool runs(WorkKind kind) const { return busy() && stack_.back().running.kind == kind; }
    // Whether `id` still runs: a reply or a timer of work that has ended
    // must not act on newer work.
    bool isRunning(Id id) const;
    // The innermost work.
    std::optional<Running> running() const;
    // The work that hosts the rest, or the only one.
    std::optional<Running> outermost() const;

    // Ends work `id` (and whatever runs inside it), if it still runs; false
    // for work that has ended already.
    bool finish(Id id, WorkEnd how);
    // Disconnect, a dead line, closing: whatever runs ends now, quietly.
    void endAll(WorkEnd how);

    // Finishes work `id` as abandoned when left while it still runs, so that
    // an error escaping a handler leaves nothing blocked.
    class Scope {
      public:
        Scope(LongWork& work, Id id) : work_(work), id_(id) {}
        ~Scope() { work_.finish(id_, WorkEnd::kAbandoned); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        LongWork& work_;
        Id id_;
    };

  signals:
    void ended(base::WorkKind kind, int target, base::WorkEnd how);

  private:
    struct Entry {
        Running running;
        Ender ender;
    };

    std::vector<Entry> stack_;
    Id nextId_ = 1;
};

}  // namespace lumora::base
