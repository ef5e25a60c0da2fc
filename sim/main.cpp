// lumora-boxsim: the virtual box on a pseudo-terminal.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "base/version_line.h"
#include "sim/announce.h"
#include "sim/options.h"
#include "sim/pty_host.h"

namespace {

// Set by SIGINT/SIGTERM/SIGHUP; the serve loop checks it between waits.
volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// Blocks the stop signals outside the loop's waits (so none slips in between
// the check and the wait) and returns the mask to wait with.
sigset_t installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(sig, &action, nullptr);
        sigaddset(&stopSignals, sig);
    }
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t waitMask;
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigdelset(&waitMask, sig);
    }
    return waitMask;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "lumora-boxsim: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lumora::sim;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "lumora-boxsim: %s\n\n%s", parsed.error.c_str(), UsageText().c_str());
        return 2;
    }
    const Options& options = *parsed.options;
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(lumora::base::VersionLine("lumora-boxsim").c_str(), stdout);
        return 0;
    }

    const sigset_t waitMask = installStopHandlers();
    PtyHost host(options.box, options.hangUpAfter);
    if (std::string error = host.open(options.logFile); !error.empty()) {
        return fail(error);
    }
    if (!options.overlayPngDir.empty()) {
        if (std::string error = host.exportOverlays(options.overlayPngDir); !error.empty()) {
            return fail(error);
        }
    }
    if (!options.outputPngDir.empty()) {
        if (std::string error = host.exportOutputs(options.outputPngDir, options.inputImage);
            !error.empty()) {
            return fail(error);
        }
    }
    if (!options.mapsDir.empty()) {
        if (std::string error = host.exportMaps(options.mapsDir); !error.empty()) {
            return fail(error);
        }
    }
    if (!options.stateJson.empty()) {
        if (std::string error = host.exportState(options.stateJson); !error.empty()) {
            return fail(error);
        }
    }
    const std::string line = host.portPath() + "\n";

    const std::string dir = AnnounceDirectoryFromEnvironment();
    const std::string announceFile = dir + "/" + std::to_string(getpid()) + ".port";
    if (std::string error = MakeAnnounceDirectory(dir); !error.empty()) {
        return fail(error);
    }
    if (std::string error = lumora::base::WriteWholeFile(announceFile, line, kBoxFiles);
        !error.empty()) {
        return fail(error);
    }
    std::printf("lumora-boxsim: port %s\n", host.portPath().c_str());
    std::fflush(stdout);
    // The port file comes last: a script that sees it finds everything else in place.
    std::string error;
    if (!options.portFile.empty()) {
        error = lumora::base::WriteWholeFile(options.portFile, line, kBoxFiles);
    }
    if (error.empty()) {
        error = host.run(stopRequested, waitMask);
    }

    unlink(announceFile.c_str());
    if (!options.portFile.empty()) {
        unlink(options.portFile.c_str());
    }
    return error.empty() ? 0 : fail(error);
}
