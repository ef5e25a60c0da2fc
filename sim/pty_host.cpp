#include "sim/pty_host.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "sim/announce.h"
#include "sim/hex.h"

namespace lumora::sim {
namespace {

using std::chrono::duration_cast;
using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr milliseconds kDetachedPoll{10};
// Bound on one wait, so the loop never depends on a wake-up that may not come.
constexpr milliseconds kLongestWait{500};
// A host that stops reading cannot make the box hoard its replies.
constexpr std::size_t kMaxOutput = 64 * 1024;
// Closing the master throws away what the host has not read yet, so the last
// replies are given this long to be taken before the box hangs up.
constexpr milliseconds kHangUpGrace{200};
// Paced input is taken in pieces of about this much line time: small next to
// the partial-packet timeout, large enough not to wake for every byte.
constexpr microseconds kInputPiece{4000};
// Ten bit times at 1 baud, in microseconds.
constexpr std::int64_t kTenBitsUs = 10'000'000;

timespec toTimespec(microseconds wait) {
    if (wait < microseconds::zero()) {
        wait = microseconds::zero();
    }
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(wait.count() / 1'000'000);
    ts.tv_nsec = static_cast<long>(wait.count() % 1'000'000 * 1000);
    return ts;
}

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

}  // namespace

PtyHost::PtyHost(const BoxConfig& config, std::optional<int> hangUpAfter)
    : box_([&] {
          BoxConfig c = config;
          c.model.recordPackets = false;  // the log keeps the history, not memory
          // At a slow rate one byte alone outlasts the partial-packet
          // timeout; a packet still coming in must not be given up.
          if (c.faults.lineRate) {
              const auto byte = milliseconds(10'000 / *c.faults.lineRate + 1);
              c.model.partialTimeout = std::max(c.model.partialTimeout, 3 * byte);
          }
          // Packets after the last one answered, even in the same read, go
          // unanswered while the box waits to hang up.
          if (hangUpAfter) {
              c.faults.silentAfter =
                  std::min(c.faults.silentAfter.value_or(*hangUpAfter), *hangUpAfter);
          }
          return c;
      }()),
      start_(std::chrono::steady_clock::now()),
      hangUpAfter_(hangUpAfter) {
    if (config.faults.lineRate) {
        lineRate_ = *config.faults.lineRate;
    }
}

PtyHost::~PtyHost() {
    if (master_ >= 0) {
        close(master_);
    }
    if (log_ != nullptr) {
        std::fclose(log_);
    }
}

std::string PtyHost::open(const std::string& logPath) {
    if (!logPath.empty()) {
        log_ = std::fopen(logPath.c_str(), "w");
        if (log_ == nullptr) {
            return systemError("cannot open log " + logPath);
        }
    }
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) {
        return systemError("posix_openpt");
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        return systemError("grantpt/unlockpt");
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        return systemError("ptsname");
    }
    portPath_ = name;
    // Raw mode once, then let go: the settings stay with the pty pair.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        return systemError("open " + portPath_);
    }
    termios tio{};
    const bool raw = tcgetattr(slave, &tio) == 0 && (cfmakeraw(&tio), true) &&
                     tcsetattr(slave, TCSANOW, &tio) == 0;
    const std::string error = raw ? std::string() : systemError("raw mode on " + portPath_);
    close(slave);
    return error;
}

std::string PtyHost::exportOverlays(const std::string& dir) {
    if (std::string error = MakeDirectories(dir); !error.empty()) {
        return error;
    }
    overlayWriter_ = std::make_unique<OverlayPngWriter>(dir);
    // Blank pictures from the start, in place before the port is announced,
    // so a viewer or script finds both files once it sees the port.
    for (int channel = 0; channel < BoxModel::kChannels; ++channel) {
        const OverlayState state = overlayState(channel);
        overlayWriter_->submit(channel, box_.model().overlay(channel), state.shown);
        overlayRefresh_.markWritten(channel, state);
    }
    overlayWriter_->drain();
    if (overlayWriter_->failed() > 0) {
        return "cannot write the overlay pictures in " + dir;
    }
    return {};
}

std::string PtyHost::exportOutputs(const std::string& dir, const std::string& inputImage) {
    if (std::string error = MakeDirectories(dir); !error.empty()) {
        return error;
    }
    std::string error;
    auto source =
        OutputSource(inputImage, box_.model().config().width, box_.model().config().height, error);
    if (!source) {
        return error;
    }
    outputWriter_ = std::make_unique<OutputPngWriter>(dir, std::move(source));
    // The power-on pictures, in place before the port is announced.
    for (int channel = 0; channel < BoxModel::kChannels; ++channel) {
        const OverlayState state = outputState(channel);
        outputWriter_->submit(channel, TakeOutputSnapshot(box_.model(), channel));
        outputRefresh_.markWritten(channel, state);
    }
    outputWriter_->drain();
    if (outputWriter_->failed() > 0) {
        return "cannot write the output pictures in " + dir;
    }
    return {};
}

OverlayState PtyHost::outputState(int channel) const {
    OverlayState state = overlayState(channel);
    // Both only grow: their sum changes whenever either does.
    state.revision += box_.model().stateRevision();
    return state;
}

void PtyHost::refreshOutputs(bool all) {
    if (!outputWriter_) {
        return;
    }
    for (int channel = 0; channel < BoxModel::kChannels; ++channel) {
        if (outputRefresh_.take(channel, outputState(channel), now(), all)) {
            outputWriter_->submit(channel, TakeOutputSnapshot(box_.model(), channel));
        }
    }
}

std::string PtyHost::exportMaps(const std::string& dir) {
    MapFiles files(dir);
    if (std::string error = files.prepare(); !error.empty()) {
        return error;
    }
    mapFiles_ = std::move(files);
    return {};
}

std::string PtyHost::exportState(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        if (std::string error = MakeDirectories(path.substr(0, slash)); !error.empty()) {
            return error;
        }
    }
    stateWriter_ = std::make_unique<StateJsonWriter>(path);
    // The power-on state, in place before the port is announced.
    stateWriter_->submit(CaptureState(box_.model()));
    stateWriter_->flush();
    stateSubmitted_ = box_.model().stateRevision();
    if (stateWriter_->failed() > 0) {
        return "cannot write the state to " + path;
    }
    return {};
}

void PtyHost::refreshState() {
    const BoxModel& model = box_.model();
    if (stateWriter_ && model.stateRevision() != stateSubmitted_) {
        stateSubmitted_ = model.stateRevision();
        // A copy of a few kilobytes; the text and the file are the writer's.
        stateWriter_->submit(CaptureState(model));
    }
}

OverlayState PtyHost::overlayState(int channel) const {
    const BoxModel& model = box_.model();
    return {model.overlay(channel).revision(), model.overlayPassesEnded(channel),
            model.overlayShown(channel)};
}

void PtyHost::refreshOverlays(bool all) {
    if (!overlayWriter_) {
        return;
    }
    for (int channel = 0; channel < BoxModel::kChannels; ++channel) {
        const OverlayState state = overlayState(channel);
        if (overlayRefresh_.take(channel, state, now(), all)) {
            // Only a copy of the drawn lines is made here; the picture and
            // the file are the writer thread's, so replies are not held up.
            overlayWriter_->submit(channel, box_.model().overlay(channel), state.shown);
        }
    }
}

PtyHost::Micros PtyHost::now() const {
    return duration_cast<microseconds>(std::chrono::steady_clock::now() - start_);
}

bool PtyHost::hungUp() const {
    pollfd pfd{master_, POLLIN, 0};
    return poll(&pfd, 1, 0) > 0 && (pfd.revents & POLLHUP) != 0;
}

bool PtyHost::pendingInput() const {
    int waiting = 0;
    return ioctl(master_, FIONREAD, &waiting) == 0 && waiting > 0;
}

void PtyHost::attach() {
    attached_ = true;
    box_.model().resetLine();
}

void PtyHost::detach() {
    attached_ = false;
    outbox_.clear();
    output_.clear();
    inputHeld_ = false;
}

void PtyHost::logPacket(const ReceivedPacket& packet) {
    if (log_ == nullptr) {
        return;
    }
    std::fprintf(log_, "%s%s\n", packet.good ? "" : "BAD ", FormatHex(packet.bytes).c_str());
    std::fflush(log_);
}

void PtyHost::receive(std::span<const std::uint8_t> bytes, Micros at, Intake intake) {
    VirtualBox::Result result = box_.receive(bytes, at, intake);
    for (const Exchange& exchange : result.exchanges) {
        logPacket(exchange.packet);
    }
    // Inline, ahead of the replies: once the host has the reply to a closing
    // packet, the tables it closed are in place. Writing them takes about a
    // millisecond (3 in a sanitized build; more while the disk is busy),
    // less than one block's 5 ms on the line at 115200 baud.
    if (mapFiles_) {
        for (const std::string& error : mapFiles_->update(box_.model())) {
            std::fprintf(stderr, "lumora-boxsim: %s\n", error.c_str());
        }
    }
    outbox_.push(std::move(result.writes));
}

bool PtyHost::readInput(bool paced) {
    paced = paced && lineRate_.has_value();
    if (paced && !inputHeld_) {
        // The line was idle until the host wrote what woke us: its first
        // byte arrives one byte time from now, not from when the last one did.
        if (const Micros t = now(); t > arrival(inputBytes_)) {
            inputAnchor_ = t;
            inputBytes_ = 0;
        }
        inputHeld_ = true;
    }
    std::uint8_t buffer[512];
    for (;;) {
        std::size_t room = sizeof buffer;
        if (paced) {
            room = std::min(room, inputAllowance());
            if (room == 0) {
                return true;  // the rest is still on the line
            }
        }
        const ssize_t n = read(master_, buffer, room);
        if (n > 0) {
            if (paced) {
                inputBytes_ += n;
            }
            // Taken in a piece, perhaps late: how long ago they came is
            // unknown, so the gap before them is not judged here.
            receive(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)), now(),
                    Intake::kWaited);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        inputHeld_ = false;
        // EAGAIN: drained. EIO (or end of file): the host closed the slave.
        return n < 0 && errno == EAGAIN;
    }
}

// 10 bit times a byte (start, 8 data, stop), split into whole and part so
// that no product can overflow on a long run.
PtyHost::Micros PtyHost::arrival(std::int64_t k) const {
    const std::int64_t rate = *lineRate_;
    return inputAnchor_ + microseconds(k / rate * kTenBitsUs + k % rate * kTenBitsUs / rate);
}

std::size_t PtyHost::inputAllowance() const {
    const std::int64_t elapsed = (now() - inputAnchor_).count();
    const std::int64_t rate = *lineRate_;
    const std::int64_t arrived =
        elapsed / kTenBitsUs * rate + elapsed % kTenBitsUs * rate / kTenBitsUs;
    return static_cast<std::size_t>(std::max<std::int64_t>(0, arrived - inputBytes_));
}

std::optional<PtyHost::Micros> PtyHost::inputDue() const {
    if (!inputHeld_) {
        return std::nullopt;
    }
    int waiting = 0;
    if (ioctl(master_, FIONREAD, &waiting) != 0 || waiting < 1) {
        waiting = 1;
    }
    const std::int64_t piece =
        std::max<std::int64_t>(1, kInputPiece.count() * *lineRate_ / kTenBitsUs);
    // Rounded up, so the wake-up never comes a microsecond before the byte.
    return arrival(inputBytes_ + std::min<std::int64_t>(waiting, piece)) + microseconds(1);
}

void PtyHost::expireQuietPartial() {
    const auto partial = box_.model().partialDeadline();
    // Read before the look at the pty: if nothing waits there now, nothing
    // did then, so the line was quiet at `at` however late this round runs.
    const Micros at = now();
    if (partial && duration_cast<microseconds>(*partial) <= at && !pendingInput()) {
        receive({}, at, Intake::kAsTheyCame);
    }
}

void PtyHost::queueDue() {
    for (const link::Bytes& bytes : outbox_.takeDue(now())) {
        if (output_.size() + bytes.size() <= kMaxOutput) {
            output_.insert(output_.end(), bytes.begin(), bytes.end());
        }
    }
}

bool PtyHost::flushOutput() {
    while (!output_.empty()) {
        const ssize_t n = write(master_, output_.data(), output_.size());
        if (n > 0) {
            output_.erase(output_.begin(), output_.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n < 0 && errno == EAGAIN;  // full: wait for POLLOUT; anything else: host gone
    }
    return true;
}

bool PtyHost::hangUpDue() {
    if (!hangUpAfter_ || box_.model().goodPackets() < *hangUpAfter_ || !outbox_.empty() ||
        !output_.empty()) {
        return false;
    }
    if (!hangUpAt_) {
        hangUpAt_ = now() + duration_cast<microseconds>(kHangUpGrace);
    }
    return now() >= *hangUpAt_;
}

std::optional<PtyHost::Micros> PtyHost::nextDeadline() const {
    std::optional<Micros> deadline = outbox_.nextDue();
    // While bytes wait in the pty the line is not quiet; their own time comes first.
    if (const auto partial = box_.model().partialDeadline(); partial && !inputHeld_) {
        const Micros at = duration_cast<microseconds>(*partial);
        deadline = deadline ? std::min(*deadline, at) : at;
    }
    if (const auto overlay = overlayRefresh_.nextDeadline(); overlay && overlayWriter_) {
        deadline = deadline ? std::min(*deadline, *overlay) : *overlay;
    }
    if (const auto output = outputRefresh_.nextDeadline(); output && outputWriter_) {
        deadline = deadline ? std::min(*deadline, *output) : *output;
    }
    if (hangUpAt_) {
        deadline = deadline ? std::min(*deadline, *hangUpAt_) : *hangUpAt_;
    }
    if (const auto input = inputDue()) {
        deadline = deadline ? std::min(*deadline, *input) : *input;
    }
    return deadline;
}

std::string PtyHost::run(const volatile std::sig_atomic_t& stop, const sigset_t& waitMask) {
    while (stop == 0) {
        // Right after the previous round's packets and replies.
        refreshOverlays(false);
        refreshOutputs(false);
        refreshState();
        if (hangUpDue()) {
            // What the host sees when a box is switched off: the line hangs up.
            close(master_);
            master_ = -1;
            break;
        }
        if (!attached_) {
            if (hungUp()) {
                // A host may have opened, written and closed between two
                // looks: its packets still reach the box, but their replies
                // would only wait for the next host, so they are dropped.
                if (pendingInput()) {
                    box_.model().resetLine();
                    readInput(false);
                    detach();
                }
                const timespec pause = toTimespec(kDetachedPoll);
                ppoll(nullptr, 0, &pause, &waitMask);
                continue;
            }
            attach();
        }
        Micros wait = kLongestWait;
        if (const auto deadline = nextDeadline()) {
            wait = std::min(wait, *deadline - now());
        }
        const timespec timeout = toTimespec(wait);
        // While bytes are held back on the line, their time is the deadline,
        // not the pty's readiness.
        const short events =
            static_cast<short>((inputHeld_ ? 0 : POLLIN) | (output_.empty() ? 0 : POLLOUT));
        pollfd pfd{master_, events, 0};
        const int ready = ppoll(&pfd, 1, &timeout, &waitMask);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return systemError("ppoll");
        }
        const bool hangUpSeen = (pfd.revents & (POLLHUP | POLLERR)) != 0;
        // A host that has closed gets the rest of its bytes taken at once, as
        // it would unpaced; their replies go nowhere.
        const bool readable =
            (pfd.revents & POLLIN) != 0 || (inputHeld_ && (hangUpSeen || *inputDue() <= now()));
        if (hangUpSeen && !readable) {
            detach();  // the next round re-attaches, with a clean line, if a host is back
            continue;
        }
        bool hostHere = !readable || readInput(!hangUpSeen);
        // The hang-up was sampled before the read. If a new host has opened
        // the port since, the bytes just read may be its own: keep serving.
        if (hostHere && hangUpSeen) {
            hostHere = !hungUp();
        }
        if (!hostHere) {
            detach();
            continue;
        }
        expireQuietPartial();
        queueDue();
        if (!flushOutput()) {
            detach();
        }
    }
    refreshOverlays(true);
    if (overlayWriter_) {
        overlayWriter_->drain();
    }
    refreshOutputs(true);
    if (outputWriter_) {
        outputWriter_->drain();
    }
    refreshState();
    if (stateWriter_) {
        stateWriter_->flush();
    }
    return {};
}

}  // namespace lumora::sim
