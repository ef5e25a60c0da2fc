#include "cli/service_commands.h"

#include "base/handler_guard.h"
#include "base/operator_messages.h"
#include "base/program_state.h"
#include "cli/box_connection.h"
#include "cli/cli_commands.h"
#include "link/hid_probe.h"
#include "warp/four_corner_warp.h"

namespace lumora::cli {

int RunCorner4Command(const Options& options, std::ostream& err) {
    OpenLink port(options);
    base::ProgramState state;
    base::OperatorMessages messages;
    base::HandlerGuard guard(port.link, messages);
    warp::FourCornerWarp fourCorner(port.link, state, guard, messages);

    const auto& p = options.positional;
    if (p[0] == "mode") {
        fourCorner.setModeItem(*Corner4Mode(p[1]));
        fourCorner.CBWarpModeChange();
    } else if (p[0] == "move") {
        // The point's radio button, the step bar, then the arrow.
        fourCorner.RB4CClick(static_cast<int>(*ParseNumber(p[1])));
        fourCorner.setStepPosition(options.step - 1);
        fourCorner.Warp4CBtnClick(*Corner4Direction(p[2]));
    } else {
        state.setCurrentChannel(*options.channel);
        fourCorner.Button2Click();
    }
    if (messages.errorsRaised() > 0) {
        err << "lumora-warp-cli: " << messages.lastError().toStdString() << "\n";
        return kExitPortFailed;
    }
    port.link.transport().drain();
    return kExitDone;
}

int RunHidCommand(std::ostream& out) {
    const auto system = link::MakeHidapiSystem();
    const link::HidProbeResult result = link::RunHidProbe(*system);
    for (const QString& line : result.lines) {
        out << line.toStdString() << "\n";
    }
    switch (result.outcome) {
        case link::HidOutcome::kWritten:
            return kExitDone;
        case link::HidOutcome::kWriteFailed:
            return kExitNoAnswer;
        case link::HidOutcome::kNoDevice:
            break;
    }
    return kExitPortFailed;
}

}  // namespace lumora::cli
