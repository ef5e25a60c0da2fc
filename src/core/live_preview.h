#pragma once

// The preview of both channels' output as the box would show it, from the
// program's own state: each channel's live map, uniformity, colour adjust,
// edge blend and test pattern, on the built-in test card, with the current
// channel's grid markers. A change asks for a refresh; the changes of one
// event-loop turn, or of one frame since the last render, share one, and
// only a channel whose map or look changed is rendered again. While it is
// off, nothing is rendered at all.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <optional>
#include <vector>

#include "base/program_state.h"
#include "picture/test_pattern.h"
#include "render/channel_look.h"
#include "render/image16.h"
#include "settings/settings_file.h"
#include "warp/grid_model.h"
#include "warp/warp_maps.h"

namespace lumora::core {

class LivePreview : public QObject {
    Q_OBJECT
  public:
    // Each channel's picture, and the test card it is rendered from.
    static constexpr int kWidth = 960;
    static constexpr int kHeight = 540;
    // At most one render per frame.
    static constexpr int kFrameMs = 16;
    // Before the box has told its picture size, the preview assumes this one.
    static constexpr int kNominalWidth = 1920;
    static constexpr int kNominalHeight = 1080;

    struct Sources {
        const base::ProgramState& state;
        const warp::GridModel& grid;
        const warp::WarpMaps& maps;
        const settings::SettingsFile& settings;
        const picture::TestPattern& pattern;
    };

    // A grid marker on the preview, at its point's lattice position in
    // preview pixels; the current point has a frame around it.
    struct Marker {
        float x = 0.0f;
        float y = 0.0f;
        bool current = false;

        bool operator==(const Marker&) const = default;
    };
    struct Marks {
        int channel = -1;  // none while "All" is current
        std::vector<Marker> markers;

        bool operator==(const Marks&) const = default;
    };

    explicit LivePreview(const Sources& sources, QObject* parent = nullptr);

    // On, a refresh follows at once; off, pending work is dropped.
    void setActive(bool on);
    bool active() const { return active_; }
    // Something the preview shows may have changed.
    void invalidate();

    const render::Image16& picture(int c) const { return pictures_[static_cast<std::size_t>(c)]; }
    const Marks& marks() const { return marks_; }

  signals:
    // The pictures or the markers have something new to show.
    void updated();

  private:
    // What one channel's picture is rendered from, to tell whether it changed.
    struct ChannelInputs {
        std::uint64_t mapRevision = 0;
        render::ChannelLook look;
        int width = 0;
        int height = 0;

        bool operator==(const ChannelInputs&) const = default;
    };

    void refresh();
    ChannelInputs inputs(const settings::SettingsImage& image, int c) const;
    Marks currentMarks() const;

    Sources sources_;
    bool active_ = false;
    QTimer timer_;
    QElapsedTimer sinceRender_;
    render::Image16 testCard_;
    std::array<std::optional<ChannelInputs>, base::kChannels> rendered_;
    std::array<render::Image16, base::kChannels> pictures_;
    Marks marks_;
};

}  // namespace lumora::core
