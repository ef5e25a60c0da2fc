#pragma once

// "Save file" and "Load file": every adjustment of both channels kept in a
// settings file and brought back. The save builds the image from the live
// state and, for colour and blend, from the controls as they stand; nothing
// goes to the box. The load restores the live state and the controls
// through the feature areas' own setters and handlers, in a fixed order
// with 30 ms pauses, waits for each channel's map transfer and uploads its
// uniformity grid: the box ends in the state the file describes. It is long
// work of the owner, hosting its transfers and uploads, and runs whole:
// operator input waits until it ends.

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

#include "base/handler_guard.h"
#include "base/long_work.h"
#include "base/operator_messages.h"
#include "base/program_state.h"
#include "link/link.h"
#include "picture/colour_adjust.h"
#include "picture/edge_blend.h"
#include "picture/uniformity.h"
#include "settings/settings_image.h"
#include "warp/corner_shift.h"
#include "warp/grid_editing.h"
#include "warp/grid_model.h"
#include "warp/map_transfer.h"
#include "warp/warp_maps.h"

namespace lumora::settings {

class SettingsFile : public QObject {
    Q_OBJECT
  public:
    static constexpr std::chrono::milliseconds kStepPause{30};
    // A map transfer waits at most its packets' time-outs.
    static constexpr std::chrono::milliseconds kTransferBound{
        warp::MapTransfer::kPacketsPerMap * warp::MapTransfer::kTimeOutIntervalMs + 5000};

    struct Context {
        link::Link& link;
        base::ProgramState& state;
        base::LongWork& work;
        base::HandlerGuard& guard;
        base::OperatorMessages& messages;
        warp::GridModel& model;
        warp::WarpMaps& maps;
        warp::GridEditing& editing;
        warp::CornerShift& corners;
        warp::MapTransfer& transfer;
        picture::Uniformity& uniformity;
        picture::ColourAdjust& colour;
        picture::EdgeBlend& blend;
    };

    // How a load ended, for the command line.
    enum class Outcome { kDone, kNotConnected, kRefusedMap, kNoAnswer, kPortFailed };

    // The operator's choice of a file (the window's dialogs); nullopt when
    // cancelled.
    using FileChoice = std::function<std::optional<QString>()>;

    explicit SettingsFile(const Context& context);

    void setSaveChoice(FileChoice choice) { saveChoice_ = std::move(choice); }
    void setOpenChoice(FileChoice choice) { openChoice_ = std::move(choice); }

    // The image of what the program holds now.
    SettingsImage image() const;

    // "Save file" and "Load file"; both do nothing while the port is closed.
    void Button10Click();
    void Button12Click();

    // Writes image() to `path`, replacing the file whole; the error, or empty.
    QString save(const QString& path) const;
    // Reads `path` as a settings file; the operator's message when it is not one.
    static std::optional<QString> read(const QString& path, SettingsImage& image);
    // Restores `image` and sends everything to the box.
    Outcome load(const SettingsImage& image);

  signals:
    // Steps done of `total`; total 0 at the end.
    void progress(int done, int total);

  private:
    void restoreLiveState(const SettingsImage& image);
    // Steps 5 and 6: one channel's grid, map transfer and uniformity upload.
    void restoreChannel(const SettingsImage& image, int c);
    void restoreColour(const ColourAdjustRecord& record, int c);
    void restoreBlend(const EdgeBlendRecord& record, int c);
    void sendBlend(int c);
    void pause();
    void step(int count = 1);

    Context c_;
    FileChoice saveChoice_;
    FileChoice openChoice_;
    bool loading_ = false;
    int done_ = 0;
    Outcome outcome_ = Outcome::kDone;
};

}  // namespace lumora::settings
