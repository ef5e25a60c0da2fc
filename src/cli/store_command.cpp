#include "cli/store_command.h"

#include <unistd.h>

#include <QStringList>
#include <chrono>
#include <cstdio>
#include <memory>

#include "base/handler_guard.h"
#include "base/long_work.h"
#include "base/operator_messages.h"
#include "base/program_state.h"
#include "cli/box_connection.h"
#include "cli/cli_commands.h"
#include "cli/map_from_settings.h"
#include "warp/grid_model.h"
#include "warp/map_transfer.h"
#include "warp/warp_maps.h"

namespace lumora::cli {
namespace {

using warp::MapTransfer;

// Each packet times out after a second on its own; this only bounds a save
// that would otherwise never end.
constexpr std::chrono::milliseconds kSaveBound{
    2 * MapTransfer::kPacketsPerMap * MapTransfer::kTimeOutIntervalMs + 10000};

// The packet count on stderr: rewritten in place on a terminal, where it is
// watched; elsewhere (a log, a script) only its last state, once.
class ProgressLine {
  public:
    ProgressLine(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

    void show(int sent) {
        const int pass = sent > MapTransfer::kPacketsPerMap ? 1 : 0;
        char text[64];
        // Fixed width, so that a shorter count leaves nothing behind.
        std::snprintf(text, sizeof text, "store: Channel %c %3d/%d", pass == 0 ? 'A' : 'B',
                      sent - pass * MapTransfer::kPacketsPerMap, MapTransfer::kPacketsPerMap);
        text_ = text;
        if (terminal_) {
            err_ << '\r' << text_ << std::flush;
            onLine_ = true;
        }
    }
    // Whatever follows starts on a line of its own.
    void breakLine() {
        if (onLine_) {
            err_ << "\n";
            onLine_ = false;
        }
    }
    void finish() {
        if (!terminal_ && !text_.empty()) {
            err_ << text_ << "\n";
        }
        breakLine();
    }

  private:
    std::ostream& err_;
    bool terminal_;
    bool onLine_ = false;
    std::string text_;
};

}  // namespace

int RunStoreCommand(const Options& options, std::ostream& out, std::ostream& err) {
    // Read before the port opens: nothing goes to the box for a missing file.
    auto image = std::make_unique<settings::SettingsImage>();
    if (!ReadSettingsFile(options.positional.front(), "store", *image, err)) {
        return kExitFileFailed;
    }
    OpenLink port(options);
    const auto connected = ConnectToBox(port, options.port, err);
    if (const int* code = std::get_if<int>(&connected)) {
        return *code;
    }
    const link::PictureSize size = std::get<link::PictureSize>(connected);

    // The save's own code, wired as the session wires it, with a grid model
    // that holds the file instead of the window's edits.
    base::ProgramState state;
    state.connected = true;
    base::OperatorMessages messages;
    base::HandlerGuard guard(port.link, messages);
    base::LongWork work;
    auto model = std::make_unique<warp::GridModel>();
    model->setPictureSize(size.width, size.height);
    warp::WarpMaps maps;
    maps.setIdentity();
    // What the transfer's handlers report into; declared first, so that it
    // outlives the transfer.
    std::string refusal;
    int sent = 0;
    ProgressLine progress(err, ::isatty(STDERR_FILENO) == 1);
    MapTransfer transfer(port.link, state, work, messages, guard, maps.map());
    guard.onLinkFailure([&work] { work.endAll(base::WorkEnd::kWriteFailed); });

    transfer.setSaveMapSource([&](int c) {
        LoadChannelFromSettings(*image, c, *model);
        auto fault = maps.compute(*model, c);
        if (fault) {
            refusal = fault->message;
        }
        return fault;
    });

    QObject::connect(&transfer, &MapTransfer::progress, &transfer, [&](int count, int total) {
        if (total != 0) {
            sent = count;
            progress.show(count);
        }
    });
    // The end of the save, by its last reply or a time-out, is what the wait
    // below looks for.
    QObject::connect(&transfer, &MapTransfer::progress, &port.link, &link::Link::wake);
    QObject::connect(&port.link, &link::Link::notice, &transfer, [&](const QString& line) {
        progress.breakLine();
        err << "store: " << line.toStdString() << "\n";
    });

    transfer.SavetoBoxClick(options.slot - 1);
    bool ended = true;
    try {
        ended = port.link.serveUntil([&work] { return !work.busy(); }, kSaveBound);
    } catch (const link::WaitAborted&) {
        // The line broke; the port is closed.
    }
    progress.finish();

    if (messages.log().contains(QStringLiteral("OK-----"))) {
        out << "Stored Channel A and Channel B (" << size.width << " x " << size.height
            << ") in slot " << options.slot << "\n";
        return kExitDone;
    }
    // A pass that was closed is stored; blocks without their closing packet
    // leave the slot as it was.
    const auto passAStored = [&] {
        err << "store: slot " << options.slot
            << " holds the new Channel A map and its old Channel B map\n";
    };
    if (!port.broken.empty()) {
        const int code = LineBroke(port, err);
        if (transfer.savePass() == 1) {
            passAStored();
        }
        return code;
    }
    if (!refusal.empty()) {
        err << "store: " << refusal << "\n";
        if (sent == 0) {
            err << "store: nothing was sent; slot " << options.slot << " is as it was\n";
        } else {
            err << "store: slot " << options.slot
                << " holds the new Channel A map and its old Channel B map\n";
        }
        return kExitRefused;
    }
    if (!ended) {
        work.endAll(base::WorkEnd::kTimedOut);
    }
    const QString error = messages.lastError();
    if (!ended || error == QStringLiteral("TIME OUT!!!!")) {
        err << "store: TIME OUT!!!!: the box did not answer packet " << sent << " of "
            << 2 * MapTransfer::kPacketsPerMap << " within a second; slot " << options.slot
            << " may hold a partial map\n";
        return kExitNoAnswer;
    }
    err << "store: " << error.toStdString() << "\n";
    return kExitPortFailed;
}

}  // namespace lumora::cli
