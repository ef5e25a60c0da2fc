#pragma once

// Serves a VirtualBox on the master side of a pseudo-terminal. Single
// threaded: one ppoll loop reads the host's bytes, lets the box answer and
// writes the replies when they fall due. The slave side is never held open
// here, so the host can open it exclusively and reopen it after a close;
// while no host has it open the master reports a hang-up, and nothing is
// written then (it would wait in the line for the next host).

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "sim/box_config.h"
#include "sim/map_files.h"
#include "sim/outbox.h"
#include "sim/output_png.h"
#include "sim/overlay_png.h"
#include "sim/overlay_refresh.h"
#include "sim/state_json.h"
#include "sim/virtual_box.h"

namespace lumora::sim {

class PtyHost {
  public:
    // With `hangUpAfter` set, the box answers that many good packets, then
    // closes the master (see run()); later packets get no reply.
    explicit PtyHost(const BoxConfig& config, std::optional<int> hangUpAfter = std::nullopt);
    ~PtyHost();
    PtyHost(const PtyHost&) = delete;
    PtyHost& operator=(const PtyHost&) = delete;

    // Creates the pty (slave in raw mode) and opens the log if `logPath` is
    // not empty. Returns an error text, empty on success.
    std::string open(const std::string& logPath);
    const std::string& portPath() const { return portPath_; }
    // Keeps `dir`/overlay-A.png and overlay-B.png showing each channel's
    // overlay memory; creates `dir` if missing and writes both (blank) before
    // returning. Returns an error text, empty on success.
    std::string exportOverlays(const std::string& dir);
    // Keeps `dir`/output-A.png and output-B.png showing what each channel
    // would put out, from `inputImage` (empty: the built-in test card).
    std::string exportOutputs(const std::string& dir, const std::string& inputImage);
    // Writes each warp map the box commits (live by 0xE1, a slot pass by
    // 0xE3) to `dir` as raw tables (see MapFiles), before the packet's reply
    // goes out. Creates `dir` if missing. Returns an error text, empty on success.
    std::string exportMaps(const std::string& dir);
    // Keeps `path` showing the box's picture settings and map commits as JSON
    // (see StateJson): written before returning, then again shortly after
    // each change, and at the end of run(). Creates the file's folder if
    // missing. Returns an error text, empty on success.
    std::string exportState(const std::string& path);

    // Serves until `stop` becomes non-zero, or until the box has hung up: the
    // replies to the last packet it answers are out and the master is closed.
    // Waits with `waitMask` as the signal mask, so a signal blocked outside
    // the wait ends it promptly. Returns an error text if the pty fails,
    // empty after a stop or a hang-up.
    std::string run(const volatile std::sig_atomic_t& stop, const sigset_t& waitMask);

    const VirtualBox& box() const { return box_; }

  private:
    using Micros = std::chrono::microseconds;

    Micros now() const;
    bool hungUp() const;
    bool pendingInput() const;
    void attach();
    void detach();
    // Takes in what the host wrote: at most what the line could have carried
    // by now if `paced`, else everything waiting. Returns false when the host
    // has gone.
    bool readInput(bool paced);
    // How many more bytes the line has delivered by now; 0 while the next
    // one is still on its way.
    std::size_t inputAllowance() const;
    // When the next bytes held back in the pty will have come down the line.
    std::optional<Micros> inputDue() const;
    // When byte number `k` after the anchor has fully arrived.
    Micros arrival(std::int64_t k) const;
    void receive(std::span<const std::uint8_t> bytes, Micros at, Intake intake);
    // Gives up a half-received packet once the line has been seen quiet for
    // the partial time-out.
    void expireQuietPartial();
    void queueDue();
    bool flushOutput();
    bool hangUpDue();
    std::optional<Micros> nextDeadline() const;
    void logPacket(const ReceivedPacket& packet);
    OverlayState overlayState(int channel) const;
    // Hands the pictures that are due (all that changed, if `all`) to the writer.
    void refreshOverlays(bool all);
    // Hands the state to the writer if anything in it changed.
    void refreshState();
    // What a channel's output picture depends on: its overlay and the state.
    OverlayState outputState(int channel) const;
    void refreshOutputs(bool all);

    VirtualBox box_;
    int master_ = -1;
    std::string portPath_;
    std::FILE* log_ = nullptr;
    bool attached_ = false;
    Outbox outbox_;       // planned, not yet due
    link::Bytes output_;  // due, not yet taken by the pty
    std::chrono::steady_clock::time_point start_;
    OverlayRefresh overlayRefresh_;
    std::unique_ptr<OverlayPngWriter> overlayWriter_;  // null: no export
    OverlayRefresh outputRefresh_;
    std::unique_ptr<OutputPngWriter> outputWriter_;  // null: no export
    std::optional<MapFiles> mapFiles_;               // unset: no export
    std::unique_ptr<StateJsonWriter> stateWriter_;   // null: no export
    std::uint64_t stateSubmitted_ = 0;               // the model's revision last handed over
    std::optional<int> hangUpAfter_;
    std::optional<Micros> hangUpAt_;  // set once the last replies are out
    // Host-to-box pacing (--line-rate): bytes are taken from the pty no faster
    // than the line carries them, so the host's writes block as on a real line.
    // Byte k after the anchor has fully arrived at anchor + k x 10 bit times;
    // counted from the anchor so that rounding does not add up.
    std::optional<std::int64_t> lineRate_;  // unset: unpaced
    Micros inputAnchor_{0};
    std::int64_t inputBytes_ = 0;  // taken in since the anchor
    bool inputHeld_ = false;       // bytes wait in the pty that have not arrived yet
};

}  // namespace lumora::sim
