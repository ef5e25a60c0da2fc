#include "settings/settings_file.h"

#include <QFile>
#include <memory>

#include "base/whole_files.h"
#include "link/link_error.h"

namespace lumora::settings {
namespace {

using base::WorkEnd;
using base::WorkKind;

constexpr int kColours = picture::ColourAdjust::kColours;
constexpr int kEdges = picture::EdgeBlend::kEdges;
// What the progress bar counts: the packets of two map transfers, the
// writes of two uniformity uploads, and the colour and blend steps.
constexpr int kBlendAndColourSteps = 2 * (1 + 2 * kColours) + 2 * 16;
constexpr int kLoadSteps =
    2 * (warp::MapTransfer::kPacketsPerMap + picture::Uniformity::kGridWrites) +
    kBlendAndColourSteps;

std::array<std::int32_t, kEdges> Widths(const EdgeBlendRecord& r) {
    return {r.leftWidth, r.rightWidth, r.topWidth, r.bottomWidth};
}

std::array<std::int32_t, kEdges> Enables(const EdgeBlendRecord& r) {
    return {r.leftEnable, r.rightEnable, r.topEnable, r.bottomEnable};
}

}  // namespace

SettingsFile::SettingsFile(const Context& context) : c_(context) {
    // A transfer that times out ends its wait; the load goes on, and says
    // at its end that the box stopped answering.
    connect(&c_.work, &base::LongWork::ended, this, [this](WorkKind kind, int, WorkEnd how) {
        if (loading_ && kind == WorkKind::kLiveTransfer && how == WorkEnd::kTimedOut) {
            outcome_ = Outcome::kNoAnswer;
        }
    });
    const auto forward = [this](int sent, int total) {
        if (loading_ && total != 0) {
            emit progress(done_ + sent, kLoadSteps);
        }
    };
    connect(&c_.transfer, &warp::MapTransfer::progress, this, forward);
    connect(&c_.uniformity, &picture::Uniformity::progress, this, forward);
}

SettingsImage SettingsFile::image() const {
    SettingsImage image;
    for (int c = 0; c < base::kChannels; ++c) {
        const auto i = static_cast<std::size_t>(c);
        const warp::ChannelGrid& grid = c_.model.channel(c);
        image.gridSize[i] = grid.gridSize;
        image.internalGrid[i] = grid.internalGrid;
        image.grids[i] = grid.points;
        const picture::Uniformity::Channel& uniformity = c_.uniformity.channel(c);
        image.uniformityGain[i] = uniformity.gain;
        image.uniformityOffset[i] = uniformity.offset;
        image.uniformityEnable[i] = uniformity.enable;
        const picture::ColourAdjust::Page& colour = c_.colour.page(c);
        image.colourAdjust[i] = {
            colour.gainEnabled ? 1 : 0, colour.gain[0],   colour.gain[1],  colour.gain[2],
            colour.offset[0],           colour.offset[1], colour.offset[2]};
        const picture::EdgeBlend::Page& blend = c_.blend.page(c);
        const auto on = [&blend](int e) {
            return blend.edgeEnabled[static_cast<std::size_t>(e)] ? 1 : 0;
        };
        const auto width = [&blend](int e) { return blend.width[static_cast<std::size_t>(e)]; };
        image.edgeBlend[i] = {blend.marker ? 1 : 0,
                              on(0),
                              width(0),
                              on(1),
                              width(1),
                              on(2),
                              width(2),
                              on(3),
                              width(3),
                              blend.transition,
                              blend.nonTransition,
                              blend.gamma};
    }
    image.cornerShift = c_.corners.counters();
    return image;
}

QString SettingsFile::save(const QString& path) const {
    const auto settings = std::make_unique<SettingsImage>(image());
    const SettingsBytes bytes = WriteSettingsImage(*settings);
    const base::WholeFile file{path.toStdString(), bytes};
    return QString::fromStdString(base::WriteWholeFiles(std::span(&file, 1)));
}

std::optional<QString> SettingsFile::read(const QString& path, SettingsImage& image) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("Cannot open file %1: %2").arg(path, file.errorString());
    }
    const QByteArray bytes = file.read(kSettingsImageSize + 1);
    // Taken apart into a scratch image first, so that a file that is not a
    // settings file changes nothing.
    auto scratch = std::make_unique<SettingsImage>(image);
    const SettingsReadResult result =
        ReadSettingsImage(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())),
                          *scratch);
    if (!result.headerMatches) {
        return QStringLiteral(
                   "%1 is not a Lumora warp settings file (it does not begin with "
                   "\"ZMQLWF\"). Nothing was loaded.")
            .arg(path);
    }
    if (!result.complete) {
        return QStringLiteral(
                   "%1 ends after %2 of %3 bytes: it is not a whole settings file. "
                   "Nothing was loaded.")
            .arg(path)
            .arg(result.bytesUsed)
            .arg(kSettingsImageSize);
    }
    image = *scratch;
    return std::nullopt;
}

void SettingsFile::Button10Click() {
    c_.guard.run([&] {
        if (!c_.state.connected || !saveChoice_) {
            return;
        }
        const std::optional<QString> path = saveChoice_();
        if (!path) {
            return;
        }
        if (const QString error = save(*path); !error.isEmpty()) {
            c_.messages.raiseError(QStringLiteral("Cannot create file %1: %2").arg(*path, error));
        }
    });
}

void SettingsFile::Button12Click() {
    c_.guard.run([&] {
        if (!c_.state.connected || !openChoice_) {
            return;
        }
        const std::optional<QString> path = openChoice_();
        if (!path) {
            return;
        }
        auto image = std::make_unique<SettingsImage>(this->image());
        if (const auto error = read(*path, *image)) {
            c_.messages.raiseError(*error);
            return;
        }
        load(*image);
    });
}

SettingsFile::Outcome SettingsFile::load(const SettingsImage& image) {
    if (!c_.state.connected) {
        return Outcome::kNotConnected;
    }
    outcome_ = Outcome::kDone;
    bool completed = false;
    c_.guard.run([&] {
        // Work in hand (a transfer started just before) ends first.
        c_.link.serveUntil([this] { return !c_.work.busy(); }, kTransferBound);
        const auto id =
            c_.work.start(WorkKind::kSettingsLoad, 0, {}, base::LongWork::Hosting::kOthers);
        if (!id) {
            outcome_ = Outcome::kNoAnswer;
            return;
        }
        const base::LongWork::Scope scope(c_.work, *id);
        loading_ = true;
        done_ = 0;
        emit progress(0, kLoadSteps);
        restoreLiveState(image);
        for (int c = 0; c < base::kChannels; ++c) {
            restoreChannel(image, c);
        }
        for (int c = 0; c < base::kChannels; ++c) {
            restoreColour(image.colourAdjust[static_cast<std::size_t>(c)], c);
        }
        for (int c = 0; c < base::kChannels; ++c) {
            restoreBlend(image.edgeBlend[static_cast<std::size_t>(c)], c);
        }
        c_.work.finish(*id, WorkEnd::kCompleted);
        completed = true;
    });
    loading_ = false;
    emit progress(0, 0);
    if (!completed && outcome_ == Outcome::kDone) {
        outcome_ = c_.link.boxSilent() ? Outcome::kNoAnswer : Outcome::kPortFailed;
    }
    return outcome_;
}

void SettingsFile::restoreLiveState(const SettingsImage& image) {
    for (int c = 0; c < base::kChannels; ++c) {
        const auto i = static_cast<std::size_t>(c);
        warp::ChannelGrid& grid = c_.model.channel(c);
        grid.gridSize = image.gridSize[i];
        grid.internalGrid = image.internalGrid[i];
        grid.points = image.grids[i];
    }
    // The read-outs, and every shifted corner from its base and counter.
    for (int c = 0; c < base::kChannels; ++c) {
        warp::ChannelGrid& grid = c_.model.channel(c);
        for (int corner = 0; corner < 4; ++corner) {
            const auto k = static_cast<std::size_t>(corner);
            for (const warp::Axis axis : {warp::Axis::kX, warp::Axis::kY}) {
                const std::int16_t value = image.cornerShift[static_cast<std::size_t>(
                    CornerShiftIndex(static_cast<warp::Corner>(corner), axis, c))];
                c_.corners.setCounter(c, static_cast<warp::Corner>(corner), axis, value);
                if (axis == warp::Axis::kX) {
                    grid.shiftedCorners[k].x = grid.cornerBase[k].x + static_cast<float>(value);
                } else {
                    grid.shiftedCorners[k].y = grid.cornerBase[k].y + static_cast<float>(value);
                }
            }
        }
        picture::Uniformity::Channel& uniformity = c_.uniformity.channel(c);
        const auto i = static_cast<std::size_t>(c);
        uniformity.gain = image.uniformityGain[i];
        uniformity.offset = image.uniformityOffset[i];
        uniformity.enable = image.uniformityEnable[i];
    }
}

void SettingsFile::restoreChannel(const SettingsImage& image, int c) {
    const auto i = static_cast<std::size_t>(c);
    const std::int32_t gridSize = image.gridSize[i];
    c_.state.setCurrentChannel(c);
    if (gridSize >= warp::kGrid2x2 && gridSize <= warp::kGrid17x17) {
        c_.editing.pressGridSizeButton(c, gridSize);
    }
    // Channel A's grid size is recorded for the computation before the
    // overlay update, Channel B's after it. The channel's Internal Grid flag
    // is recorded with it, as a move records it: with the flag left as it
    // was, the computation would replace the file's interior points with
    // derived ones and send a map the file does not describe.
    const auto record = [&] {
        c_.model.recordedGridSize = gridSize;
        c_.model.recordedInternalGrid = image.internalGrid[i];
    };
    if (c == 0) {
        record();
    }
    c_.editing.setInternalGrid(c, image.internalGrid[i] != 0);
    c_.model.ApplyGridSize(c, gridSize);
    pause();
    c_.editing.overlay().UpdateOverlay(c, true);
    pause();
    if (c == 1) {
        record();
    }
    if (const auto fault = c_.maps.computeShifted(c_.model, c)) {
        // The box keeps its map of this channel; the rest still goes out.
        outcome_ = Outcome::kRefusedMap;
        c_.messages.raiseError(QString::fromStdString(fault->message));
    } else if (c_.transfer.restartLive(c)) {
        c_.link.serveUntil([this] { return !c_.transfer.running(); }, kTransferBound);
    }
    done_ += warp::MapTransfer::kPacketsPerMap;
    c_.uniformity.UploadUniformityGrid();
    done_ += picture::Uniformity::kGridWrites;
    emit progress(done_, kLoadSteps);
    pause();
    pause();
}

void SettingsFile::restoreColour(const ColourAdjustRecord& record, int c) {
    c_.state.setCurrentChannel(c);
    const std::array<std::int32_t, kColours> gains{record.redGain, record.greenGain,
                                                   record.blueGain};
    const std::array<std::int32_t, kColours> offsets{record.redOffset, record.greenOffset,
                                                     record.blueOffset};
    c_.colour.setGainEnabled(c, record.gainEnable != 0);
    for (int colour = 0; colour < kColours; ++colour) {
        c_.colour.setGain(c, colour, gains[static_cast<std::size_t>(colour)]);
    }
    for (int colour = 0; colour < kColours; ++colour) {
        c_.colour.setOffset(c, colour, offsets[static_cast<std::size_t>(colour)]);
    }
    // Every value goes out at least once, whether it changed or not.
    c_.colour.InGainEnableCBClick(c);
    step();
    for (int colour = 0; colour < kColours; ++colour) {
        c_.colour.InOffsetBarChange(c, colour);
        step(2);
    }
}

void SettingsFile::restoreBlend(const EdgeBlendRecord& record, int c) {
    c_.state.setCurrentChannel(c);
    c_.blend.setMarker(c, record.marker != 0);
    const auto widths = Widths(record);
    const auto enables = Enables(record);
    for (int e = 0; e < kEdges; ++e) {
        c_.blend.setWidth(c, e, widths[static_cast<std::size_t>(e)]);
        c_.blend.setEdgeEnabled(c, e, enables[static_cast<std::size_t>(e)] != 0);
    }
    c_.blend.setTransition(c, record.transitionOffset);
    c_.blend.setNonTransition(c, record.nonTransitionOffset);
    c_.blend.setGamma(c, record.gammaX100);
    sendBlend(c);
}

void SettingsFile::sendBlend(int c) {
    // Channel A's marker goes first, Channel B's last.
    if (c == 0) {
        c_.blend.EBMarkerCbClick(c);
    } else {
        pause();
    }
    for (int e = 0; e < kEdges; ++e) {
        pause();
        c_.blend.EdgeCheckBoxClick(e);
        step(2);
    }
    pause();
    c_.blend.TransitionSBarChange(c);
    pause();
    c_.blend.NonTransitionSBarChange(c);
    pause();
    c_.blend.GammaSCBarChange(c);
    pause();
    if (c == 1) {
        c_.blend.EBMarkerCbClick(c);
        pause();
    }
    step(8);
}

void SettingsFile::pause() {
    c_.link.wait(kStepPause);
}

void SettingsFile::step(int count) {
    done_ += count;
    emit progress(std::min(done_, kLoadSteps), kLoadSteps);
}

}  // namespace lumora::settings
