#pragma once

// The session wires the program together: the link to the box, the
// program-wide state, what the operator is told, the connection, and one
// object per feature area. It holds no feature behaviour of its own; the
// window, the command-line tool and the tests drive the feature areas
// through it.

#include <QObject>
#include <memory>

#include "base/handler_guard.h"
#include "base/long_work.h"
#include "base/operator_messages.h"
#include "base/program_state.h"
#include "core/connection.h"
#include "core/diagnostics.h"
#include "core/live_preview.h"
#include "link/link.h"
#include "picture/colour_adjust.h"
#include "picture/edge_blend.h"
#include "picture/test_pattern.h"
#include "picture/uniformity.h"
#include "settings/settings_file.h"
#include "warp/corner_shift.h"
#include "warp/four_corner_warp.h"
#include "warp/grid_editing.h"
#include "warp/grid_model.h"
#include "warp/live_warp.h"
#include "warp/map_transfer.h"
#include "warp/set_up_after_connect.h"
#include "warp/warp_maps.h"
#include "warp/warp_reset.h"

namespace lumora::core {

class Session : public QObject {
    Q_OBJECT
  public:
    explicit Session(std::unique_ptr<link::Transport> transport, QObject* parent = nullptr);
    // Ends every wait and closes the port before anything else goes, so that
    // nothing reports into a half-destroyed session.
    ~Session() override;

    link::Link& link() { return link_; }
    base::ProgramState& state() { return state_; }
    const base::ProgramState& state() const { return state_; }
    base::OperatorMessages& messages() { return messages_; }
    const base::OperatorMessages& messages() const { return messages_; }
    base::HandlerGuard& guard() { return guard_; }
    // The owner of the box's long work: what runs now, and how it ends.
    base::LongWork& work() { return work_; }
    const base::LongWork& work() const { return work_; }
    warp::GridModel& grid() { return grid_; }
    const warp::GridModel& grid() const { return grid_; }
    // The one pair of warp-map tables, holding the map last computed.
    warp::WarpMaps& maps() { return maps_; }

    // Feature areas.
    Connection& connection() { return connection_; }
    const Connection& connection() const { return connection_; }
    warp::GridEditing& gridEditing() { return gridEditing_; }
    warp::WarpReset& warpReset() { return warpReset_; }
    warp::SetUpAfterConnect& setUp() { return setUp_; }
    const warp::GridEditing& gridEditing() const { return gridEditing_; }
    warp::MapTransfer& mapTransfer() { return mapTransfer_; }
    warp::CornerShift& cornerShift() { return cornerShift_; }
    picture::TestPattern& testPattern() { return testPattern_; }
    picture::Uniformity& uniformity() { return uniformity_; }
    picture::EdgeBlend& edgeBlend() { return edgeBlend_; }
    picture::ColourAdjust& colourAdjust() { return colourAdjust_; }
    settings::SettingsFile& settingsFile() { return settingsFile_; }
    warp::FourCornerWarp& fourCorner() { return fourCorner_; }
    Diagnostics& diagnostics() { return diagnostics_; }
    LivePreview& preview() { return preview_; }

    std::uint8_t currentChannel() const { return state_.currentChannel; }
    void setCurrentChannel(int channel) { state_.setCurrentChannel(channel); }

    // The window is closing: every wait on the box ends now.
    void shutdown() { link_.shutdown(); }

  private:
    base::ProgramState state_;
    base::OperatorMessages messages_;
    link::Link link_;
    base::HandlerGuard guard_{link_, messages_};
    base::LongWork work_;
    warp::GridModel grid_;
    warp::WarpMaps maps_;
    Connection connection_{link_, state_, work_, guard_, messages_};
    warp::MapTransfer mapTransfer_{link_, state_, work_, messages_, guard_, maps_.map()};
    warp::LiveWarp live_{grid_, maps_, mapTransfer_, work_, messages_};
    warp::GridOverlay overlay_{link_, grid_};
    warp::WarpReset warpReset_{{link_, work_, messages_, grid_, maps_, overlay_}};
    warp::GridEditing gridEditing_{{state_, guard_, grid_, live_, overlay_, warpReset_}};
    warp::SetUpAfterConnect setUp_{{state_, messages_, grid_, overlay_, warpReset_}};
    warp::CornerShift cornerShift_{state_, guard_, grid_, live_};
    picture::TestPattern testPattern_{link_, state_, guard_};
    picture::Uniformity uniformity_{link_, state_, guard_, grid_, work_, gridEditing_.overlay()};
    picture::EdgeBlend edgeBlend_{link_, state_, guard_};
    picture::ColourAdjust colourAdjust_{link_, state_, guard_};
    settings::SettingsFile settingsFile_{{link_, state_, work_, guard_, messages_, grid_, maps_,
                                          gridEditing_, cornerShift_, mapTransfer_, uniformity_,
                                          colourAdjust_, edgeBlend_}};
    warp::FourCornerWarp fourCorner_{link_, state_, guard_, messages_};
    Diagnostics diagnostics_{
        {link_, state_, guard_, messages_, mapTransfer_, gridEditing_, uniformity_, edgeBlend_}};
    LivePreview preview_{{state_, grid_, maps_, settingsFile_, testPattern_}};
};

}  // namespace lumora::core
