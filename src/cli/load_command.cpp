#include "cli/load_command.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "cli/cli_commands.h"
#include "core/session.h"
#include "link/serial_transport.h"

namespace lumora::cli {
namespace {

using Outcome = settings::SettingsFile::Outcome;

// The box answers the connect request at once; the set-up after it reads
// the picture size, resets both channels and waits for the box's answers.
constexpr std::chrono::milliseconds kAnswerBound{3000};
constexpr std::chrono::milliseconds kSetUpBound{15000};

// The load's progress on stderr: rewritten in place on a terminal, once at
// the end elsewhere.
class Progress {
  public:
    Progress(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

    void show(int done, int total) {
        if (total <= 0) {
            return;
        }
        const int percent = static_cast<int>(100LL * done / total);
        if (terminal_ && percent != shown_) {
            char text[32];
            std::snprintf(text, sizeof text, "\rload: %3d%%", percent);
            err_ << text << std::flush;
            onLine_ = true;
        }
        shown_ = percent;
    }
    void breakLine() {
        if (onLine_) {
            err_ << "\n";
            onLine_ = false;
        }
    }

  private:
    std::ostream& err_;
    bool terminal_;
    bool onLine_ = false;
    int shown_ = -1;
};

}  // namespace

int RunLoadCommand(const Options& options, std::ostream& out, std::ostream& err) {
    const QString path = QString::fromStdString(options.positional.front());
    // Read before the port opens: nothing goes to the box for a bad file.
    auto image = std::make_unique<settings::SettingsImage>();
    if (const auto error = settings::SettingsFile::read(path, *image)) {
        err << "load: " << error->toStdString() << "\n";
        return kExitFileFailed;
    }

    core::Session session(std::make_unique<link::SerialTransport>());
    Progress progress(err, ::isatty(STDERR_FILENO) == 1);
    QObject::connect(&session.messages(), &base::OperatorMessages::errorRaised, &session,
                     [&](const QString& message) {
                         progress.breakLine();
                         err << "load: " << message.toStdString() << "\n";
                     });
    QObject::connect(&session.settingsFile(), &settings::SettingsFile::progress, &session,
                     [&](int done, int total) { progress.show(done, total); });
    bool lineBroke = false;
    QObject::connect(&session.link(), &link::Link::lineBroke, &session,
                     [&lineBroke] { lineBroke = true; });
    core::Connection& connection = session.connection();
    bool setUp = false;
    bool sizeRead = false;
    QObject::connect(&connection, &core::Connection::setUpEnded, &session, [&](bool read) {
        setUp = true;
        sizeRead = read;
    });

    connection.setSelectedPort(QString::fromStdString(options.port));
    connection.CNTBtnClick();
    if (!session.state().connected) {
        return kExitPortFailed;  // the message is out
    }
    session.link().serveUntil(
        [&] { return connection.state() == core::ConnectionState::Connected; }, kAnswerBound,
        false);
    if (lineBroke) {
        return kExitPortFailed;
    }
    if (connection.state() != core::ConnectionState::Connected) {
        err << "load: the box did not answer the connect request on " << options.port << "\n";
        return kExitNoAnswer;
    }
    session.link().serveUntil([&] { return setUp; }, kSetUpBound, false);
    if (lineBroke) {
        return kExitPortFailed;
    }
    if (!setUp || !sizeRead) {
        return kExitNoAnswer;  // the message is out
    }

    const Outcome outcome = session.settingsFile().load(*image);
    progress.breakLine();
    if (lineBroke || outcome == Outcome::kPortFailed) {
        return kExitPortFailed;
    }
    if (outcome == Outcome::kRefusedMap) {
        return kExitRefused;
    }
    if (outcome == Outcome::kNoAnswer || session.link().boxSilent()) {
        err << "load: the box stopped answering; it holds part of " << options.positional.front()
            << "\n";
        return kExitNoAnswer;
    }
    out << "Loaded " << options.positional.front() << " into the box ("
        << session.connection().view().resolution.toStdString() << ")\n";
    return kExitDone;
}

}  // namespace lumora::cli
