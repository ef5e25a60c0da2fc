#include "core/live_preview.h"

#include <algorithm>
#include <memory>

#include "core/look_from_settings.h"
#include "render/renderer.h"
#include "render/test_card.h"

namespace lumora::core {

LivePreview::LivePreview(const Sources& sources, QObject* parent)
    : QObject(parent), sources_(sources) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &LivePreview::refresh);
}

void LivePreview::setActive(bool on) {
    active_ = on;
    if (!on) {
        timer_.stop();
        return;
    }
    if (testCard_.width == 0) {
        testCard_ = render::TestCard(kWidth, kHeight);
    }
    invalidate();
}

void LivePreview::invalidate() {
    if (!active_ || timer_.isActive()) {
        return;
    }
    const qint64 since = sinceRender_.isValid() ? sinceRender_.elapsed() : kFrameMs;
    timer_.start(static_cast<int>(std::max<qint64>(0, kFrameMs - since)));
}

LivePreview::ChannelInputs LivePreview::inputs(const settings::SettingsImage& image, int c) const {
    ChannelInputs in;
    in.mapRevision = sources_.maps.liveRevision(c);
    in.look = LookFromSettings(image, c);
    const picture::TestPattern::Page& page = sources_.pattern.page(c);
    in.look.pattern = {page.enabled, picture::TestPattern::ColourCode(page.colourItem),
                       page.horizontal, page.vertical};
    const bool sized = sources_.grid.width() > 0 && sources_.grid.height() > 0;
    in.width = sized ? sources_.grid.width() : kNominalWidth;
    in.height = sized ? sources_.grid.height() : kNominalHeight;
    return in;
}

LivePreview::Marks LivePreview::currentMarks() const {
    Marks marks;
    const int c = sources_.state.currentChannel;
    const warp::GridModel& grid = sources_.grid;
    // Without a picture size there is no lattice to place them on.
    if (!warp::GridModel::isGridChannel(c) || grid.width() <= 0 || grid.height() <= 0) {
        return marks;
    }
    marks.channel = c;
    const float toX = static_cast<float>(kWidth) / static_cast<float>(grid.width());
    const float toY = static_cast<float>(kHeight) / static_cast<float>(grid.height());
    const warp::ChannelGrid& channel = grid.channel(c);
    for (int j = 0; j < warp::kLatticeLines; ++j) {
        for (int i = 0; i < warp::kLatticeLines; ++i) {
            if (!channel.isActive(j, i)) {
                continue;
            }
            marks.markers.push_back(
                {static_cast<float>(grid.latticeX()[static_cast<std::size_t>(j)]) * toX,
                 static_cast<float>(grid.latticeY()[static_cast<std::size_t>(i)]) * toY,
                 j == channel.currentColumn && i == channel.currentRow});
        }
    }
    return marks;
}

void LivePreview::refresh() {
    if (!active_) {
        return;
    }
    sinceRender_.restart();
    bool changed = false;
    const auto image = std::make_unique<settings::SettingsImage>(sources_.settings.image());
    for (int c = 0; c < base::kChannels; ++c) {
        const auto i = static_cast<std::size_t>(c);
        ChannelInputs in = inputs(*image, c);
        if (rendered_[i] == in) {
            continue;
        }
        render::RenderRequest request;
        request.map = &sources_.maps.live(c);
        request.pictureWidth = in.width;
        request.pictureHeight = in.height;
        request.source = &testCard_;
        request.look = in.look;
        request.outWidth = kWidth;
        request.outHeight = kHeight;
        render::RenderChannel(request, pictures_[i]);
        rendered_[i] = std::move(in);
        changed = true;
    }
    Marks marks = currentMarks();
    if (marks != marks_) {
        marks_ = std::move(marks);
        changed = true;
    }
    if (changed) {
        emit updated();
    }
}

}  // namespace lumora::core
