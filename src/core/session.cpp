#include "core/session.h"

namespace lumora::core {

Session::Session(std::unique_ptr<link::Transport> transport, QObject* parent)
    : QObject(parent), link_(std::move(transport)) {
    // Nothing answers a packet that never left: whatever waits for one ends.
    guard_.onLinkFailure([this] { work_.endAll(base::WorkEnd::kWriteFailed); });
    // A save computes each channel's map as it comes to it, without the
    // corner shift, with that channel's own grid size and lines.
    mapTransfer_.setSaveMapSource([this](int c) { return maps_.computeWithOwnGrid(grid_, c); });
    connect(&link_, &link::Link::notice, &messages_, &base::OperatorMessages::appendLog);
    // What each channel shows: the map its live transfer carries.
    connect(&mapTransfer_, &warp::MapTransfer::liveStarted, this, [this](int c) {
        maps_.keepLive(c);
        preview_.invalidate();
    });
    // Every change the preview shows is made by a handler or by the box's
    // answer to connect.
    guard_.afterEachHandler([this] { preview_.invalidate(); });
    connect(&connection_, &Connection::boxAnswered, &preview_, &LivePreview::invalidate);

    setUp_.setUniformityDefaults([this] { uniformity_.resetTables(); },
                                 [this] { uniformity_.resetCursors(); });
    setUp_.setGridsShown([this] { gridEditing_.onGridsReset(); });
    connection_.setInitialisation(
        [this](const link::PictureSize& size) { setUp_.InitialiseAfterConnect(size); });
    // The connect reply's actions, in their order.
    connect(&connection_, &Connection::boxAnswered, &gridEditing_,
            &warp::GridEditing::onBoxAnswered);
    connect(&connection_, &Connection::boxAnswered, &cornerShift_,
            &warp::CornerShift::onBoxAnswered);
    connect(&connection_, &Connection::disconnected, &gridEditing_,
            &warp::GridEditing::onDisconnected);
}

Session::~Session() {
    QObject::disconnect(&link_, nullptr, nullptr, nullptr);
    link_.shutdown();
}

}  // namespace lumora::core
