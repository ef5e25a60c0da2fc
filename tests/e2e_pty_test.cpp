// The session against lumora-boxsim over a real pseudo-terminal, and the
// command-line tool against it as a technician would run it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>

#include "core/session.h"
#include "link/link_error.h"
#include "link/serial_transport.h"
#include "scripted_peer.h"
#include "settings/settings_image.h"
#include "sim/boxsim_process.h"

using lumora::core::ConnectionState;
using lumora::core::Session;
using lumora::sim::BoxsimProcess;
using lumora::testing::ServeFor;
using lumora::testing::ServeUntil;

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    qint64 elapsedMs = 0;
};

CliRun RunCli(const QStringList& args, int boundMs = 20000) {
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(LUMORA_CLI_PATH), args);
    EXPECT_TRUE(process.waitForFinished(boundMs));
    CliRun run;
    run.elapsedMs = clock.elapsed();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Both channels on the nominal 17x17 lattice of 1920 x 1080, every point
// taken as it stands; `edit` moves some of them.
QString WriteSettings(const QTemporaryDir& dir,
                      const std::function<void(lumora::settings::SettingsImage&)>& edit) {
    auto image = std::make_unique<lumora::settings::SettingsImage>();
    for (int c = 0; c < 2; ++c) {
        image->gridSize[c] = lumora::warp::kGrid17x17;
        image->internalGrid[c] = 1;
        for (int j = 0; j < 17; ++j) {
            for (int i = 0; i < 17; ++i) {
                image->grids[c][lumora::warp::PointIndex(j, i)] = {
                    static_cast<float>(1920 * j / 16), static_cast<float>(1080 * i / 16)};
            }
        }
    }
    edit(*image);
    const auto bytes = lumora::settings::WriteSettingsImage(*image);
    const QString path = dir.filePath("hall.lwf");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

// What every command of the command-line tool sends first: the connect
// request and the four picture-size reads.
const std::vector<std::string> kCliConnect = {"04 30 00 34", "05 21 00 45 6B", "05 21 00 46 6C",
                                              "05 21 00 49 6F", "05 21 00 4A 70"};

struct PtyBox : ::testing::Test {
    void start(std::vector<std::string> args = {}) {
        args.insert(args.end(), {"--log", logDir.filePath("box.log").toStdString()});
        box = std::make_unique<BoxsimProcess>(LUMORA_BOXSIM_PATH, args);
        ASSERT_TRUE(box->started()) << box->error();
    }
    std::vector<std::string> boxLog() const {
        return ReadLines(logDir.filePath("box.log").toStdString());
    }
    QString port() const { return QString::fromStdString(box->portPath()); }

    QTemporaryDir logDir;
    std::unique_ptr<BoxsimProcess> box;
};

}  // namespace

TEST_F(PtyBox, ConnectReadsPictureSizeAndDisconnects) {
    start();
    Session session(std::make_unique<lumora::link::SerialTransport>());
    session.connection().setSelectedPort(port());
    EXPECT_EQ(session.connection().state(), ConnectionState::Disconnected);

    session.connection().CNTBtnClick();
    ASSERT_TRUE(session.messages().lastError().isEmpty())
        << session.messages().lastError().toStdString();
    EXPECT_EQ(session.connection().state(), ConnectionState::PortOpen);
    EXPECT_EQ(session.connection().view().connectCaption, "Disconnect");

    ASSERT_TRUE(
        ServeUntil([&] { return session.connection().state() == ConnectionState::Connected; }));
    ASSERT_TRUE(
        ServeUntil([&] { return session.connection().view().resolution == "1920 x 1080"; }));
    // The whole initialisation crosses the line; it ends with B's warp reset.
    ASSERT_TRUE(ServeUntil([&] { return !boxLog().empty() && boxLog().back() == "04 31 01 36"; }));

    session.connection().CNTBtnClick();
    EXPECT_EQ(session.connection().state(), ConnectionState::Disconnected);
    EXPECT_EQ(session.connection().view().resolution, "- - - -");

    // The box takes a second connection after the first has closed.
    session.connection().CNTBtnClick();
    ASSERT_TRUE(
        ServeUntil([&] { return session.connection().view().resolution == "1920 x 1080"; }));
    EXPECT_TRUE(session.messages().lastError().isEmpty())
        << session.messages().lastError().toStdString();
}

TEST(SerialPort, MissingPortShowsTheSystemErrorCode) {
    Session session(std::make_unique<lumora::link::SerialTransport>());
    session.connection().setSelectedPort("/dev/lumora-no-such-port");
    session.connection().CNTBtnClick();
    EXPECT_EQ(session.messages().lastError(), "Unable to open com port (Error: 2)");
    EXPECT_EQ(session.connection().view().connectCaption, "Connect");
    EXPECT_EQ(session.connection().state(), ConnectionState::Disconnected);
}

// Nobody reads the far end of the line, as when a box stops taking data:
// once the line is full, the block that does not fit gives up within the
// read bound and says what happened.
TEST(SerialPort, ABlockTheLineDoesNotTakeGivesUpWithinTheReadBound) {
    const int far = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(far, 0);
    ASSERT_EQ(::grantpt(far), 0);
    ASSERT_EQ(::unlockpt(far), 0);
    std::string failure;
    qint64 failedAfterMs = -1;
    {
        lumora::link::Link link(std::make_unique<lumora::link::SerialTransport>());
        link.setPortName(QString::fromLatin1(::ptsname(far)));
        link.open();
        const std::vector<std::uint8_t> block(58, 0x3A);
        for (int i = 0; i < 100000 && failure.empty(); ++i) {
            QElapsedTimer clock;
            clock.start();
            try {
                link.send(block);
            } catch (const lumora::link::LinkError& error) {
                failedAfterMs = clock.elapsed();
                failure = error.what();
            }
        }
    }
    ::close(far);
    ASSERT_FALSE(failure.empty());
    EXPECT_GE(failedAfterMs, 900);
    EXPECT_LE(failedAfterMs, lumora::link::Link::kDefaultReadTimeout.count() + 300);
    EXPECT_NE(failure.find("the box stopped taking data"), std::string::npos) << failure;
}

TEST_F(PtyBox, CliProbePrintsPictureSize) {
    start({"--size", "1280x720"});
    const CliRun run = RunCli({"probe", "--port", port()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "1280 x 720\n");
}

// udev's stable names, in a tree built here as udev would: `ports` names them
// and a port command takes one for --port.
TEST_F(PtyBox, CliPortsNamesStableLinksAndProbeTakesOne) {
    start({"--size", "1280x720"});
    QTemporaryDir serial;
    ASSERT_TRUE(QDir(serial.path()).mkpath("by-id") && QDir(serial.path()).mkpath("by-path"));
    const QString byId = serial.filePath("by-id/usb-FTDI_FT232R_USB_UART_A10K3X7Q-if00-port0");
    ASSERT_TRUE(QFile::link(port(), byId));
    // Left out while the port has a by-id name.
    ASSERT_TRUE(QFile::link(port(), serial.filePath("by-path/pci-0000:00:14.0-usb-0:2:1.0-port0")));
    ASSERT_TRUE(QFile::link("/dev/null", serial.filePath("by-id/usb-other-if00-port0")));

    const QByteArray previous[] = {qgetenv("LUMORA_SERIAL_DIR"), qgetenv("LUMORA_BOXSIM_DIR")};
    qputenv("LUMORA_SERIAL_DIR", serial.path().toLocal8Bit());
    qputenv("LUMORA_BOXSIM_DIR", QByteArray::fromStdString(box->directory()));
    const CliRun ports = RunCli({"ports"});
    qputenv("LUMORA_SERIAL_DIR", previous[0]);
    qputenv("LUMORA_BOXSIM_DIR", previous[1]);
    EXPECT_EQ(ports.exitCode, 0) << ports.err;
    const std::string entry = port().toStdString() + "\n  " + byId.toStdString() + "\n";
    EXPECT_NE(ports.out.find(entry), std::string::npos) << ports.out;
    EXPECT_EQ(ports.out.find("by-path"), std::string::npos) << ports.out;
    EXPECT_EQ(ports.out.find("usb-other"), std::string::npos) << ports.out;

    const CliRun probe = RunCli({"probe", "--port", byId});
    EXPECT_EQ(probe.exitCode, 0) << probe.err;
    EXPECT_EQ(probe.out, "1280 x 720\n");
}

TEST_F(PtyBox, RepliesSplitOrLateOnTheLineStillGetThrough) {
    // USB adapters deliver the parts of a reply up to their latency timer apart.
    for (const std::vector<std::string>& faults :
         {std::vector<std::string>{"--split-replies", "--split-gap-ms", "8"},
          std::vector<std::string>{"--split-replies", "--split-gap-ms", "25"},
          std::vector<std::string>{"--split-replies", "--split-gap-ms", "120"},
          std::vector<std::string>{"--reply-delay-ms", "300"}}) {
        start(faults);
        const CliRun run = RunCli({"probe", "--port", port()});
        EXPECT_EQ(run.exitCode, 0) << faults.back() << ": " << run.err;
        EXPECT_EQ(run.out, "1920 x 1080\n") << faults.back();
    }
}

TEST_F(PtyBox, CliProbeOfASilentBoxExitsThreeWithinSeconds) {
    start({"--silent-after", "0"});
    const CliRun run = RunCli({"probe", "--port", port()});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_LT(run.elapsedMs, 5000);
    EXPECT_NE(run.err.find("did not answer"), std::string::npos) << run.err;
}

TEST_F(PtyBox, CliProbeOfABoxThatStopsAfterConnectingExitsThree) {
    start({"--silent-after", "1"});
    const CliRun run = RunCli({"probe", "--port", port()});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_LT(run.elapsedMs, 5000);
    EXPECT_NE(run.err.find("not the picture size"), std::string::npos) << run.err;
}

TEST_F(PtyBox, CliReadWriteAndSend) {
    start();
    CliRun run = RunCli({"read", "--port", port(), "--channel", "0", "0x45"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "128 (0x80)\n");  // 1920 = 0x780

    run = RunCli({"write", "--port", port(), "--channel", "1", "0x55", "0x0123", "--bits", "16"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    run =
        RunCli({"write", "--port", port(), "--channel", "0", "0x5F", "0x04C00000", "--bits", "32"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    run = RunCli({"send", "--port", port(), "--wait", "300", "21 00 52"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("sent: 05 21 00 52 78"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("reply: 21 "), std::string::npos) << run.out;

    ASSERT_TRUE(ServeUntil([&] { return boxLog().size() >= 4; }));
    EXPECT_EQ(boxLog(), (std::vector<std::string>{"05 21 00 45 6B", "07 22 01 55 23 01 A3",
                                                  "09 23 00 5F 00 00 C0 04 4F", "05 21 00 52 78"}));
}

TEST(Cli, ExitCodesForBadUsageAndMissingPort) {
    CliRun run = RunCli({"probe"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("probe needs --port"), std::string::npos);
    run = RunCli({"probe", "--port", "/dev/lumora-no-such-port"});
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_NE(run.err.find("Unable to open com port (Error: 2)"), std::string::npos) << run.err;
    // No 0x0416:0x5020 device on a test machine.
    run = RunCli({"hid"});
    EXPECT_EQ(run.exitCode, 4) << run.out;
    EXPECT_EQ(run.out, "Can't Open HID Device\n");
    run = RunCli({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("probe --port P"), std::string::npos);
}

TEST_F(PtyBox, CliReadOfASilentBoxExitsThree) {
    start({"--silent-after", "0"});
    const CliRun run = RunCli({"read", "--port", port(), "--channel", "0", "0x45"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_LT(run.elapsedMs, 4000);
}

TEST_F(PtyBox, CliCommandsSendOnlyWhatTheySay) {
    start();
    // probe: the connect request and the four picture-size reads, nothing else.
    CliRun run = RunCli({"probe", "--port", port()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // send: what was typed, even when the box answers it with 0x30.
    run = RunCli({"send", "--port", port(), "--wait", "300", "30", "00"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("reply: 30 01 00"), std::string::npos) << run.out;
    ASSERT_TRUE(ServeUntil([&] { return boxLog().size() >= 6; }));
    ServeFor(200);
    std::vector<std::string> expected = kCliConnect;
    expected.push_back("04 30 00 34");
    EXPECT_EQ(boxLog(), expected);
}

TEST_F(PtyBox, CliProbeWithOneLostSizeReplyGivesNoMadeUpSize) {
    // Reply 1 answers the connect request; 2 to 4 the first three size reads.
    // The box is there: it did not answer (3), the port did not fail (4).
    for (const char* lost : {"2", "3", "4"}) {
        start({"--drop-reply", lost});
        const CliRun run = RunCli({"probe", "--port", port()});
        EXPECT_EQ(run.exitCode, 3) << lost << ": " << run.out << run.err;
        EXPECT_EQ(run.out, "") << lost;
        EXPECT_NE(run.err.find("did not report its picture size"), std::string::npos) << run.err;
        // One time-out, not four: the reads after the lost reply get theirs.
        EXPECT_LT(run.elapsedMs, 2500) << lost;
    }
    for (const std::vector<std::string>& faults :
         {std::vector<std::string>{"--silent-after", "2"},
          // Well past the 250 ms a partial reply survives, so its head is
          // dropped whatever the machine's load.
          std::vector<std::string>{"--split-replies", "--split-gap-ms", "400"}}) {
        start(faults);
        const CliRun run = RunCli({"probe", "--port", port()});
        EXPECT_EQ(run.exitCode, 3) << faults.front() << ": " << run.out << run.err;
        EXPECT_EQ(run.out, "") << faults.front();
    }
}

TEST_F(PtyBox, CliMessagesSpeakToACommandLine) {
    // A file or a folder named as the port.
    QFile file(logDir.filePath("box.log"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    for (const auto& [path, what] : {std::pair{logDir.filePath("box.log"), "a regular file"},
                                     std::pair{logDir.path(), "a directory"}}) {
        const CliRun run = RunCli({"probe", "--port", path});
        EXPECT_EQ(run.exitCode, 4) << run.err;
        EXPECT_NE(run.err.find(std::string("is ") + what + ", not a serial port"),
                  std::string::npos)
            << run.err;
    }
    // The box hangs up once pass A is stored (connect, four reads, 751 packets).
    start({"--hangup-after", "756"});
    const QString settings = WriteSettings(logDir, [](auto&) {});
    const CliRun run = RunCli({"store", "--port", port(), "--slot", "2", settings});
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_NE(run.err.find("the line to the box is gone"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("run the command again"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Connect"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("slot 2 holds the new Channel A map and its old Channel B map"),
              std::string::npos)
        << run.err;
}

TEST_F(PtyBox, CliSendExitsFourWhenTheLineDiesDuringItsWait) {
    // The box hangs up once it has the packet, as a pulled cable would.
    start({"--hangup-after", "1"});
    QElapsedTimer clock;
    clock.start();
    const CliRun run =
        RunCli({"send", "--port", port(), "--wait", "10000", "20", "00", "60", "01"});
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_NE(run.err.find("the line to the box is gone"), std::string::npos) << run.err;
    EXPECT_EQ(boxLog(), std::vector<std::string>{"06 20 00 60 01 87"});
}

TEST_F(PtyBox, APortInUseIsNotCalledAPermissionProblem) {
    start();
    Session first(std::make_unique<lumora::link::SerialTransport>());
    first.connection().setSelectedPort(port());
    first.connection().CNTBtnClick();
    ASSERT_TRUE(first.messages().lastError().isEmpty())
        << first.messages().lastError().toStdString();

    Session second(std::make_unique<lumora::link::SerialTransport>());
    second.connection().setSelectedPort(port());
    second.connection().CNTBtnClick();
    const QString error = second.messages().lastError();
    EXPECT_TRUE(error.startsWith("Unable to open com port (Error: 16): the port is in use by "))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("process %1").arg(::getpid())))
        << error.toStdString();
    EXPECT_EQ(second.connection().state(), ConnectionState::Disconnected);
}

TEST_F(PtyBox, AKilledBoxIsNoticedOnceAndTheNextConnectionWorks) {
    auto session = std::make_unique<Session>(std::make_unique<lumora::link::SerialTransport>());
    // A fresh box, connected; then the cable is pulled.
    const auto connectThenKill = [&] {
        start();
        session->connection().setSelectedPort(port());
        session->connection().CNTBtnClick();
        ASSERT_TRUE(
            ServeUntil([&] { return session->connection().view().resolution == "1920 x 1080"; }));
        ::kill(box->pid(), SIGKILL);
        box->stop();
    };

    connectThenKill();
    ASSERT_TRUE(
        ServeUntil([&] { return session->connection().state() == ConnectionState::Disconnected; }));
    ServeFor(300);
    EXPECT_EQ(session->messages().errorsRaised(), 1);
    EXPECT_TRUE(session->messages().lastError().startsWith(
        "ReadFile function failed (Error: 5): the line to the box is gone"))
        << session->messages().lastError().toStdString();
    EXPECT_EQ(session->connection().view().connectCaption, "Connect");

    // Disconnect right after the line died, before it was noticed: no box.
    connectThenKill();
    session->connection().CNTBtnClick();
    ServeFor(300);
    EXPECT_EQ(session->messages().errorsRaised(), 1);

    // The session goes away cleanly while connected to a dead line.
    connectThenKill();
    session.reset();
}

TEST_F(PtyBox, OpeningTheLineAsksForLowLatencyAndLogsTheAnswerOnce) {
    start();
    std::vector<int> asked;
    Session session(std::make_unique<lumora::link::SerialTransport>(nullptr, [&](int fd) {
        asked.push_back(fd);
        return std::string();
    }));
    session.connection().setSelectedPort(port());
    session.connection().CNTBtnClick();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_GE(asked[0], 0);
    EXPECT_EQ(session.messages().log(),
              QStringList{QStringLiteral("Low-latency mode on for %1.").arg(port())});
    session.connection().CNTBtnClick();

    // The real request: a pseudo-terminal refuses it, and the open goes on.
    Session real(std::make_unique<lumora::link::SerialTransport>());
    real.connection().setSelectedPort(port());
    real.connection().CNTBtnClick();
    ASSERT_TRUE(ServeUntil([&] { return real.connection().view().resolution == "1920 x 1080"; }));
    ASSERT_FALSE(real.messages().log().isEmpty());
    EXPECT_TRUE(real.messages().log()[0].startsWith(
        QStringLiteral("Low-latency mode not available on %1").arg(port())));
}

TEST_F(PtyBox, CliStoreSendsTheMapsThatMapComputesWithoutCorners) {
    start();
    const QString settings = WriteSettings(logDir, [](auto& image) {
        image.grids[0][lumora::warp::PointIndex(8, 8)].x += 12.0f;
        // A save leaves the corner shift out.
        image.cornerShift[lumora::settings::CornerShiftIndex(lumora::warp::kTopLeft,
                                                             lumora::settings::Axis::kX, 0)] = 32;
        // B on its own grid size: each pass must compute with its own.
        image.gridSize[1] = lumora::warp::kGrid9x9;
        image.grids[1][lumora::warp::PointIndex(4, 2)].y -= 20.0f;
    });
    const CliRun run = RunCli({"store", "--port", port(), "--slot", "10", settings});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // stderr is no terminal here: the progress shows only its last state.
    EXPECT_EQ(run.err, "store: Channel B 751/751\n");

    const std::vector<std::string> log = boxLog();
    ASSERT_EQ(log.size(), 5u + 2 * 751);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 5), kCliConnect);
    EXPECT_EQ(log[5 + 750], "05 E3 09 00 F1");
    EXPECT_EQ(log[5 + 751 + 750], "05 E3 09 01 F2");
    for (int pass = 0; pass < 2; ++pass) {
        // The blocks of this pass put back into the two tables.
        QByteArray tables[2] = {QByteArray(19500, 0), QByteArray(19500, 0)};
        for (int k = 0; k < 750; ++k) {
            const std::string& line = log[static_cast<std::size_t>(5 + pass * 751 + k)];
            const QByteArray block = QByteArray::fromHex(QByteArray::fromStdString(line));
            ASSERT_EQ(block.size(), 58) << line;
            ASSERT_EQ(line.substr(0, 6), "3A E2 ");
            const int table = static_cast<std::uint8_t>(block[2]);
            ASSERT_LE(table, 1) << line;
            const int entry =
                static_cast<std::uint8_t>(block[3]) * 78 + static_cast<std::uint8_t>(block[4]);
            tables[table].replace(2 * entry, 52, block.mid(5, 52));
        }
        const QString channel = pass == 0 ? "A" : "B";
        const QString x = logDir.filePath("x-" + channel + ".bin");
        const QString y = logDir.filePath("y-" + channel + ".bin");
        const CliRun map = RunCli({"map", settings, "--channel", channel, "--size", "1920x1080",
                                   "--no-corners", "--out-x", x, "--out-y", y});
        ASSERT_EQ(map.exitCode, 0) << map.err;
        EXPECT_TRUE(tables[0] == ReadFile(x)) << "Channel " << channel.toStdString() << " X";
        EXPECT_TRUE(tables[1] == ReadFile(y)) << "Channel " << channel.toStdString() << " Y";
    }
    // Each pass sent its own channel's map.
    EXPECT_NE(ReadFile(logDir.filePath("x-A.bin")), ReadFile(logDir.filePath("x-B.bin")));
    EXPECT_NE(ReadFile(logDir.filePath("y-A.bin")), ReadFile(logDir.filePath("y-B.bin")));
}

TEST_F(PtyBox, CliStoreOfARefusedChannelASendsNoBlock) {
    start();
    const QString settings = WriteSettings(
        logDir, [](auto& image) { image.grids[0][lumora::warp::PointIndex(8, 8)].x = 840.0f; });
    const CliRun run = RunCli({"store", "--port", port(), "--slot", "1", settings});
    EXPECT_EQ(run.exitCode, 6) << run.err;
    EXPECT_NE(run.err.find("points (7, 8) and (8, 8) of Channel A have the same x (840)"),
              std::string::npos)
        << run.err;
    ServeFor(200);
    EXPECT_EQ(boxLog(), kCliConnect);
}

TEST_F(PtyBox, AMoveAndACornerShiftArriveAsComputed) {
    QTemporaryDir maps;
    start({"--maps-dir", maps.path().toStdString()});
    Session session(std::make_unique<lumora::link::SerialTransport>());
    session.connection().setSelectedPort(port());
    session.connection().CNTBtnClick();
    ASSERT_TRUE(ServeUntil([&] { return !boxLog().empty() && boxLog().back() == "04 31 01 36"; }));
    ServeFor(50);
    const auto idle = [&] { return !session.work().busy(); };
    // The box's files of a channel's live map, as the tool holds its tables.
    const auto arrived = [&](char channel) {
        const auto table = [&](const char* axis) {
            QFile file(maps.filePath(QStringLiteral("live-%1-%2.bin").arg(channel).arg(axis)));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const lumora::warp::WarpMap& map = session.maps().map();
        const QByteArray x(reinterpret_cast<const char*>(map.x.data()), 19500);
        const QByteArray y(reinterpret_cast<const char*>(map.y.data()), 19500);
        return table("x") == x && table("y") == y;
    };

    session.setCurrentChannel(0);
    session.gridEditing().GridDownClick();
    ASSERT_TRUE(ServeUntil(idle, 10000));
    EXPECT_TRUE(arrived('A'));
    session.cornerShift().ShiftClick(1, lumora::warp::kBottomRight, lumora::warp::Axis::kX, -1);
    ASSERT_TRUE(ServeUntil(idle, 10000));
    EXPECT_TRUE(arrived('B'));
    EXPECT_TRUE(session.messages().lastError().isEmpty())
        << session.messages().lastError().toStdString();
}

// Long work against the virtual box as a technician meets it: a second
// change while the first waits, Disconnect during a paced transfer, an arrow
// during RESET, and a stray acknowledgement during a store.
namespace {

struct PtySession : PtyBox {
    void connect(std::vector<std::string> args = {}) {
        start(std::move(args));
        session = std::make_unique<Session>(std::make_unique<lumora::link::SerialTransport>());
        session->connection().setSelectedPort(port());
        // A machine busy with other tests may hold a reply back past a second.
        session->link().setReadTimeout(std::chrono::milliseconds(3000));
        session->connection().CNTBtnClick();
        // Paced, on a machine that is busy with other tests, this takes a while.
        ASSERT_TRUE(ServeUntil([&] { return setUpDone(); }, 30000));
    }
    bool setUpDone() const {
        const auto log = boxLog();
        return !log.empty() && log.back() == "04 31 01 36" && !session->work().busy();
    }
    bool idle() const { return !session->work().busy(); }
    // The live map of a channel as the box wrote it, against the tool's tables.
    bool arrived(const QTemporaryDir& maps, char channel) const {
        const auto table = [&](const char* axis) {
            return ReadFile(maps.filePath(QStringLiteral("live-%1-%2.bin").arg(channel).arg(axis)));
        };
        const lumora::warp::WarpMap& map = session->maps().map();
        return table("x") == QByteArray(reinterpret_cast<const char*>(map.x.data()), 19500) &&
               table("y") == QByteArray(reinterpret_cast<const char*>(map.y.data()), 19500);
    }
    std::string errors() const { return session->messages().lastError().toStdString(); }

    std::unique_ptr<Session> session;
};

}  // namespace

TEST_F(PtySession, TwoQuickWidthChangesLeaveTheLastWidthAndItsWindows) {
    const QString state = logDir.filePath("state.json");
    connect({"--state-json", state.toStdString()});
    auto& blend = session->edgeBlend();
    auto& guard = session->guard();
    session->setCurrentChannel(0);
    guard.runWhole([&] { blend.setEdgeEnabled(0, 0, true); });
    const auto changeWidth = [&](int width) {
        guard.runWhole([&blend, width] { blend.setWidth(0, 0, width); });
    };
    // The second change comes while the first waits between its packets.
    QTimer::singleShot(50, [&] { changeWidth(300); });
    changeWidth(200);
    const auto blendOfA = [&] {
        const QJsonDocument json = QJsonDocument::fromJson(ReadFile(state));
        return json["channels"][0]["blend"].toObject();
    };
    ASSERT_TRUE(ServeUntil([&] { return blendOfA()["edges"][0]["width"].toInt() == 300; }, 3000));
    ServeFor(400);
    const QJsonObject windows = blendOfA()["windows"].toObject();
    EXPECT_EQ(blendOfA()["edges"][0]["width"].toInt(), 300);
    EXPECT_EQ(windows["transition"]["x"].toInt(), 0);
    EXPECT_EQ(windows["transition"]["width"].toInt(), 300);
    EXPECT_EQ(windows["nonTransition"]["x"].toInt(), 300);
    EXPECT_EQ(windows["nonTransition"]["width"].toInt(), 1920 - 300 - 50);
    EXPECT_EQ(session->messages().errorsRaised(), 0) << errors();
}

TEST_F(PtySession, DisconnectDuringAPacedTransferIsQuietAndTheNextMoveCommits) {
    QTemporaryDir maps;
    connect({"--line-rate", "115200", "--maps-dir", maps.path().toStdString()});
    session->setCurrentChannel(0);
    session->gridEditing().GridRightClick();
    ServeFor(500);
    ASSERT_FALSE(idle());
    session->connection().CNTBtnClick();
    EXPECT_TRUE(idle());
    ServeFor(1500);
    EXPECT_EQ(session->messages().errorsRaised(), 0) << errors();

    session->connection().CNTBtnClick();
    ASSERT_TRUE(ServeUntil(
        [&] {
            return session->connection().state() == lumora::core::ConnectionState::Connected &&
                   idle() && boxLog().back() == "04 31 01 36";
        },
        30000));
    session->setCurrentChannel(0);
    session->gridEditing().GridRightClick();
    ASSERT_TRUE(ServeUntil([&] { return idle(); }, 30000));
    EXPECT_TRUE(arrived(maps, 'A'));
    EXPECT_EQ(session->messages().errorsRaised(), 0) << errors();
}

TEST_F(PtySession, AnArrowPressedDuringResetMakesACompleteTransfer) {
    QTemporaryDir maps;
    connect({"--maps-dir", maps.path().toStdString()});
    auto& guard = session->guard();
    session->setCurrentChannel(0);
    QTimer::singleShot(20,
                       [&] { guard.runWhole([&] { session->gridEditing().GridRightClick(); }); });
    guard.runWhole([&] { session->gridEditing().Button7Click(); });
    ASSERT_TRUE(ServeUntil([&] { return idle(); }, 10000));
    EXPECT_EQ(session->grid().channel(0).points[0].x, 16.0f);
    EXPECT_TRUE(arrived(maps, 'A'));
    EXPECT_EQ(session->messages().errorsRaised(), 0) << errors();
}

TEST_F(PtyBox, CliStoreWithAStrayAcknowledgementStoresBothPasses) {
    start({"--stray-bytes", "E2 00 00", "--stray-before", "100"});
    const QString settings = WriteSettings(
        logDir, [](auto& image) { image.grids[1][lumora::warp::PointIndex(8, 8)].x += 24.0f; });
    const CliRun run = RunCli({"store", "--port", port(), "--slot", "4", settings});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("in slot 4"), std::string::npos) << run.out;
    ServeFor(200);
    const std::vector<std::string> log = boxLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "05 E3 03 00 EB"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "05 E3 03 01 EC"), 1);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.rfind("3A E2", 0) == 0; }),
              1500);
}

// A settings file with something of every kind in both channels.
namespace {

QString WriteFullSettings(const QTemporaryDir& dir) {
    return WriteSettings(dir, [](lumora::settings::SettingsImage& image) {
        using lumora::warp::PointIndex;
        // Few grid points: the overlay draws each one.
        image.gridSize = {lumora::warp::kGrid5x5, lumora::warp::kGrid2x2};
        image.internalGrid = {1, 0};
        image.grids[0][PointIndex(8, 8)].x += 12.0f;
        image.grids[1][PointIndex(16, 16)].y -= 20.0f;
        image.cornerShift[0] = 7;    // top-left X of A
        image.cornerShift[15] = -5;  // bottom-right Y of B
        for (int c = 0; c < 2; ++c) {
            image.uniformityGain[c] = lumora::settings::ConnectionGainTable();
            image.uniformityOffset[c] = lumora::settings::ConnectionOffsetTable();
        }
        image.uniformityGain[1][2 * 32 + 5] = 4096;
        image.uniformityOffset[0][0] = -1;
        image.uniformityEnable = {1, 0};
        image.colourAdjust[0] = {1, 600, 512, 400, 0, 0, -1};
        image.colourAdjust[1] = {0, 512, 512, 512, 10, 0, 0};
        image.edgeBlend[0] = {1, 1, 200, 0, 300, 0, 50, 0, 50, 4, 0, 120};
        image.edgeBlend[1] = {0, 0, 50, 1, 250, 1, 80, 0, 50, 0, 8, 220};
    });
}

}  // namespace

// The command line restores a box exactly as "Load file" in the window does,
// from the connect request on, packet for packet.
TEST_F(PtySession, CliLoadSendsWhatTheWindowsLoadSends) {
    const QString settings = WriteFullSettings(logDir);
    // The overlay engine never reads busy, so that both runs poll it alike.
    const std::vector<std::string> idleEngine = {"--fill-busy-ms", "0"};
    connect(idleEngine);
    session->settingsFile().setOpenChoice([settings] { return settings; });
    session->guard().runWhole([&] { session->settingsFile().Button12Click(); });
    ServeFor(300);
    ASSERT_EQ(session->messages().errorsRaised(), 0) << errors();
    EXPECT_EQ(session->currentChannel(), 1);
    EXPECT_EQ(session->edgeBlend().page(1).width[1], 250);
    EXPECT_EQ(session->colourAdjust().page(0).gain[2], 400);
    const std::vector<std::string> window = boxLog();
    session.reset();
    box.reset();

    QTemporaryDir maps;
    std::vector<std::string> boxArgs = idleEngine;
    boxArgs.insert(boxArgs.end(), {"--maps-dir", maps.path().toStdString()});
    start(boxArgs);
    const CliRun run = RunCli({"load", "--port", port(), settings}, 60000);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Loaded"), std::string::npos) << run.out;
    ServeFor(300);
    const std::vector<std::string> cli = boxLog();
    ASSERT_EQ(cli.size(), window.size());
    EXPECT_TRUE(cli == window);
    // The maps of a move of each channel, with its grid size and corners.
    EXPECT_EQ(std::count(cli.begin(), cli.end(), "04 E1 00 E5"), 1);
    EXPECT_EQ(std::count(cli.begin(), cli.end(), "04 E1 01 E6"), 1);
    for (const QString channel : {"A", "B"}) {
        const QString x = logDir.filePath("x-" + channel + ".bin");
        const QString y = logDir.filePath("y-" + channel + ".bin");
        const CliRun map = RunCli({"map", settings, "--channel", channel, "--size", "1920x1080",
                                   "--out-x", x, "--out-y", y});
        ASSERT_EQ(map.exitCode, 0) << map.err;
        EXPECT_TRUE(ReadFile(maps.filePath("live-" + channel + "-x.bin")) == ReadFile(x))
            << channel.toStdString();
        EXPECT_TRUE(ReadFile(maps.filePath("live-" + channel + "-y.bin")) == ReadFile(y))
            << channel.toStdString();
    }

    const CliRun foreign = RunCli({"load", "--port", port(), logDir.filePath("box.log")});
    EXPECT_EQ(foreign.exitCode, 5) << foreign.err;
    EXPECT_NE(foreign.err.find("not a Lumora warp settings file"), std::string::npos);
}

TEST_F(PtyBox, CliCorner4SendsWhatTheFourCornerPageSendsAndRefusesBadInput) {
    start();
    {
        // The window's handlers, as its controls run them.
        Session session(std::make_unique<lumora::link::SerialTransport>());
        session.link().setPortName(port());
        session.link().open();
        lumora::warp::FourCornerWarp& corners = session.fourCorner();
        corners.setModeItem(1);
        corners.CBWarpModeChange();
        corners.RB4CClick(7);
        corners.setStepPosition(49);
        corners.Warp4CBtnClick(lumora::warp::FourCornerWarp::kDown);
        corners.setStepPosition(0);
        corners.Warp4CBtnClick(lumora::warp::FourCornerWarp::kLeft);
        session.setCurrentChannel(1);
        corners.Button2Click();
        ASSERT_EQ(session.messages().errorsRaised(), 0)
            << session.messages().lastError().toStdString();
    }
    ASSERT_TRUE(ServeUntil([&] { return boxLog().size() >= 4; }));
    const std::vector<std::string> window = boxLog();
    EXPECT_EQ(window, (std::vector<std::string>{"05 70 00 01 76", "08 80 00 07 00 32 00 C1",
                                                "08 80 00 07 01 FF FF 8E", "04 10 01 15"}));
    box.reset();

    start();
    for (const QStringList& args :
         {QStringList{"mode", "3x3"}, QStringList{"move", "7", "down", "--step", "50"},
          QStringList{"move", "7", "left"}, QStringList{"reset", "--channel", "B"}}) {
        const CliRun run = RunCli(QStringList{"corner4", "--port", port()} + args);
        EXPECT_EQ(run.exitCode, 0) << args.join(' ').toStdString() << ": " << run.err;
    }
    for (const QStringList& args :
         {QStringList{"move", "15", "up"}, QStringList{"move", "3", "up", "--step", "51"},
          QStringList{"move", "3", "up", "--step", "0"}, QStringList{"mode", "4x4"},
          QStringList{"reset"}}) {
        const CliRun run = RunCli(QStringList{"corner4", "--port", port()} + args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
    }
    ServeFor(200);
    EXPECT_EQ(boxLog(), window);
}

// The virtual box's picture and the command line's render are one renderer
// fed the same state: the box's from the tables it was sent, the render's
// from a settings file saved at the same moment.
TEST_F(PtySession, TheBoxsPictureAfterAMoveEqualsTheRenderOfTheSavedSettings) {
    QTemporaryDir pictures;
    // A small picture: the box draws its pictures before it announces its port.
    connect({"--size", "640x360", "--output-png", pictures.path().toStdString()});
    session->setCurrentChannel(0);
    session->gridEditing().ShowGridAClick(false);  // no markers over the picture
    ASSERT_TRUE(ServeUntil([&] { return idle(); }, 10000));
    const auto renderNow = [&](const QString& name) {
        const QString file = logDir.filePath(name + ".lwf");
        const QString png = logDir.filePath(name + ".png");
        EXPECT_EQ(session->settingsFile().save(file).toStdString(), "");
        const CliRun run =
            RunCli({"render", file, "--channel", "A", "--size", "640x360", "--out", png});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    };
    const QImage before = renderNow("before");
    for (int i = 0; i < 3; ++i) {
        session->gridEditing().GridRightClick();
        ASSERT_TRUE(ServeUntil([&] { return idle(); }, 10000));
    }
    const QImage after = renderNow("after");
    ASSERT_FALSE(after.isNull());
    EXPECT_NE(after, before);

    const QString output = pictures.filePath(QStringLiteral("output-A.png"));
    QImage shown;
    const bool same = ServeUntil(
        [&] {
            shown = QImage(output).convertToFormat(QImage::Format_RGB32);
            return shown == after;
        },
        15000);
    ASSERT_FALSE(shown.isNull()) << "no " << output.toStdString();
    ASSERT_EQ(shown.size(), after.size());
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            differing += shown.pixel(x, y) != after.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_TRUE(same) << differing << " pixels differ";
    EXPECT_EQ(session->messages().errorsRaised(), 0) << errors();
    session.reset();
    box.reset();  // before its picture folder goes
}
