#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "link/packets.h"
#include "sim/boxsim_process.h"

namespace lumora::sim {
namespace {

using link::Bytes;

// The host's side of the line: the pty slave opened like a serial port.
class Line {
  public:
    explicit Line(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (fd_ >= 0 && tcgetattr(fd_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~Line() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    bool isOpen() const { return fd_ >= 0; }
    // The box's end has gone: poll reported a hang-up or read gave EIO or 0.
    bool hungUp() const { return hungUp_; }

    void Write(const Bytes& bytes) {
        ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Reads until `count` bytes have come, the line hangs up or `timeoutMs`
    // has passed.
    Bytes Read(std::size_t count, int timeoutMs = 2000) {
        Bytes out;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.size() < count && !hungUp_ && std::chrono::steady_clock::now() < deadline) {
            pollfd pfd{fd_, POLLIN, 0};
            if (poll(&pfd, 1, 10) <= 0) {
                continue;
            }
            std::uint8_t buffer[64];
            const ssize_t n = read(fd_, buffer, std::min(sizeof buffer, count - out.size()));
            if (n > 0) {
                out.insert(out.end(), buffer, buffer + n);
            }
            hungUp_ = (pfd.revents & POLLHUP) != 0 || n == 0 || (n < 0 && errno == EIO);
        }
        return out;
    }

  private:
    int fd_ = -1;
    bool hungUp_ = false;
};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "boxsim-" + std::to_string(getpid()) + "-" + name;
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(BoxsimPty, AnswersConnectAndSizeReadAndLogsPackets) {
    const std::string log = TempPath("log");
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--log", log});
    ASSERT_TRUE(box.started()) << box.error();
    Line line(box.portPath());
    ASSERT_TRUE(line.isOpen());

    line.Write({0x04, 0x30, 0x00, 0x34});
    const Bytes connectReply = line.Read(3);
    ASSERT_EQ(connectReply.size(), 3u);
    EXPECT_EQ(connectReply[0], 0x30);

    line.Write(link::ReadRegisterPacket(0, 0x45));
    EXPECT_EQ(line.Read(3), (Bytes{0x21, 0x80, 0x00}));

    line.Write({0x04, 0x30, 0x00, 0x35});  // bad checksum
    line.Write(link::WarpResetPacket(1));
    EXPECT_EQ(line.Read(3), (Bytes{0x31, 0x00, 0x00}));

    const std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "04 30 00 34");
    EXPECT_EQ(lines[1], "05 21 00 45 6B");
    EXPECT_EQ(lines[2], "BAD 04 30 00 35");
    EXPECT_EQ(lines[3], "04 31 01 36");
    std::remove(log.c_str());
}

TEST(BoxsimPty, HostCanCloseAndReopenThePort) {
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {});
    ASSERT_TRUE(box.started()) << box.error();
    for (int round = 0; round < 3; ++round) {
        Line line(box.portPath());
        ASSERT_TRUE(line.isOpen()) << round;
        line.Write({0x04, 0x30, 0x00, 0x34});
        EXPECT_EQ(line.Read(3).size(), 3u) << round;
        line.Write({0x07, 0x22});  // half a packet left behind by this host
    }
}

TEST(BoxsimPty, FaultOptionsApplyOnTheLine) {
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--size", "1280x720", "--drop-reply", "1",
                                           "--stray-bytes", "EE", "--stray-before", "2"});
    ASSERT_TRUE(box.started()) << box.error();
    Line line(box.portPath());
    line.Write(link::ReadRegisterPacket(0, 0x46));  // dropped
    EXPECT_TRUE(line.Read(1, 100).empty());
    line.Write(link::ReadRegisterPacket(0, 0x46));
    EXPECT_EQ(line.Read(4), (Bytes{0xEE, 0x21, 0x05, 0x00}));
}

TEST(BoxsimPty, LineRatePacesTheReply) {
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--line-rate", "1200"});  // 8.3 ms a byte
    ASSERT_TRUE(box.started()) << box.error();
    Line line(box.portPath());
    const auto start = std::chrono::steady_clock::now();
    line.Write({0x04, 0x30, 0x00, 0x34});
    EXPECT_EQ(line.Read(3).size(), 3u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(25000));
}

// Seconds from the first of 960 writes of "06 20 00 26 00 4C" (5,760 bytes,
// as a uniformity upload sends them) to the reply to a read behind them.
double SecondsToTakeIn960Writes(const std::vector<std::string>& args) {
    BoxsimProcess box(LUMORA_BOXSIM_PATH, args);
    EXPECT_TRUE(box.started()) << box.error();
    Line line(box.portPath());
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 960; ++i) {
        line.Write({0x06, 0x20, 0x00, 0x26, 0x00, 0x4C});
    }
    line.Write(link::ReadRegisterPacket(0, 0x45));
    EXPECT_EQ(line.Read(3, 5000), (Bytes{0x21, 0x80, 0x00}));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(BoxsimPty, LineRatePacesTheHostsBytesToo) {
    // 5,765 bytes in and 3 out at 11,520 bytes a second.
    const double expected = (5760 + 5 + 3) / 11520.0;
    const double paced = SecondsToTakeIn960Writes({"--line-rate", "115200"});
    EXPECT_NEAR(paced, expected, expected * 0.05);
    EXPECT_LT(SecondsToTakeIn960Writes({}), expected / 2);
}

TEST(BoxsimPty, APacketStillComingInSurvivesTheBoxBeingHeldUp) {
    // At 1200 baud a 58-byte map block is on the line for half a second. The
    // box is stopped in the middle of it for far longer than its partial
    // time-out, as a busy machine may hold it up; the line was never quiet.
    const std::string log = TempPath("held-up-log");
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--line-rate", "1200", "--log", log});
    ASSERT_TRUE(box.started()) << box.error();
    Line line(box.portPath());
    link::MapBlock block{};
    link::BuildMapBlockPacket(block, 0xE0, 0, 0, 0, std::array<std::int16_t, 26>{});
    line.Write(Bytes(block.begin(), block.end()));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_EQ(kill(box.pid(), SIGSTOP), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_EQ(kill(box.pid(), SIGCONT), 0);

    EXPECT_EQ(line.Read(3, 3000), (Bytes{0xE0, 0x00, 0x00}));
    const std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 2), "3A");
    std::remove(log.c_str());
}

TEST(BoxsimPty, SurvivesGarbage) {
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {});
    ASSERT_TRUE(box.started()) << box.error();
    Line line(box.portPath());
    Bytes garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    }
    line.Write(garbage);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let any partial expire
    line.Read(4096, 50);  // whatever the garbage happened to earn
    line.Write({0x04, 0x30, 0x00, 0x34});
    EXPECT_EQ(line.Read(3).at(0), 0x30);
}

TEST(BoxsimPty, AnnouncesInItsDirectoryAndCleansUpOnTerm) {
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {});
    ASSERT_TRUE(box.started()) << box.error();
    const std::string announce = box.directory() + "/" + std::to_string(box.pid()) + ".port";
    EXPECT_EQ(Lines(announce), std::vector<std::string>{box.portPath()});
    EXPECT_EQ(Lines(box.directory() + "/stdout"),
              std::vector<std::string>{"lumora-boxsim: port " + box.portPath()});

    const int status = box.stop();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(access(announce.c_str(), F_OK), 0);
    EXPECT_NE(access((box.directory() + "/port").c_str(), F_OK), 0);
}

TEST(BoxsimPty, HangupAfterClosesTheLineOnceTheLastReplyIsOutAndExits) {
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--hangup-after", "2"});
    ASSERT_TRUE(box.started()) << box.error();
    const std::string announce = box.directory() + "/" + std::to_string(box.pid()) + ".port";
    Line line(box.portPath());
    line.Write({0x04, 0x30, 0x00, 0x34});
    EXPECT_EQ(line.Read(3).size(), 3u);
    EXPECT_FALSE(line.hungUp());

    // The connect request riding behind the second packet is never answered.
    Bytes last = link::ReadRegisterPacket(0, 0x45);
    last.insert(last.end(), {0x04, 0x30, 0x00, 0x34});
    line.Write(last);
    EXPECT_EQ(line.Read(6), (Bytes{0x21, 0x80, 0x00}));
    EXPECT_TRUE(line.hungUp());

    const std::optional<int> status = box.waitForExit(std::chrono::seconds(2));
    ASSERT_TRUE(status) << "still running after the hang-up";
    ASSERT_TRUE(WIFEXITED(*status)) << *status;
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    EXPECT_NE(access(announce.c_str(), F_OK), 0);
    EXPECT_NE(access((box.directory() + "/port").c_str(), F_OK), 0);
}

// A warp table with both signs and every byte position busy: entry [a][b] of
// table `table` in map `seed`.
std::int16_t MapEntry(int seed, int table, int a, int b) {
    const int value = table == 0 ? a * 523 + b * 97 - 30000 + seed : b * 811 - a * 37 + seed * 3;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

// The table as the tool dumps it: column after column, 16-bit little-endian.
Bytes RawTable(int seed, int table) {
    Bytes bytes;
    for (int a = 0; a < 125; ++a) {
        for (int b = 0; b < 78; ++b) {
            const auto bits = static_cast<std::uint16_t>(MapEntry(seed, table, a, b));
            bytes.push_back(static_cast<std::uint8_t>(bits & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
        }
    }
    return bytes;
}

// One table's 375 blocks, stop and wait, as the tool sends them.
void SendTable(Line& line, std::uint8_t command, int seed, int table) {
    link::MapBlock packet{};
    for (int a = 0; a < 125; ++a) {
        for (int offset = 0; offset < 78; offset += 26) {
            std::array<std::int16_t, link::kMapBlockEntries> entries{};
            for (int i = 0; i < 26; ++i) {
                entries[static_cast<std::size_t>(i)] = MapEntry(seed, table, a, offset + i);
            }
            link::BuildMapBlockPacket(packet, command, static_cast<std::uint8_t>(table),
                                      static_cast<std::uint8_t>(a),
                                      static_cast<std::uint8_t>(offset), entries);
            line.Write(Bytes(packet.begin(), packet.end()));
            ASSERT_EQ(line.Read(3).at(0), command) << "column " << a << " offset " << offset;
        }
    }
}

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> FileNames(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(BoxsimPty, MapsDirHoldsExactlyTheTablesThatClosingPacketsCommitted) {
    const std::string dir = TempPath("maps");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    std::ofstream(dir + "/slot-1-A-x.bin") << "left by an earlier run";
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--maps-dir", dir});
    ASSERT_TRUE(box.started()) << box.error();
    EXPECT_TRUE(FileNames(dir).empty());
    Line line(box.portPath());

    // Live to Channel B. Blocks alone commit nothing.
    ASSERT_NO_FATAL_FAILURE(SendTable(line, 0xE0, 1, 0));
    ASSERT_NO_FATAL_FAILURE(SendTable(line, 0xE0, 1, 1));
    EXPECT_TRUE(FileNames(dir).empty());
    line.Write({0x04, 0xE1, 0x01, 0xE6});
    ASSERT_EQ(line.Read(3).at(0), 0xE1);
    // In place as soon as the reply is: no waiting.
    EXPECT_EQ(FileBytes(dir + "/live-B-x.bin"), RawTable(1, 0));
    EXPECT_EQ(FileBytes(dir + "/live-B-y.bin"), RawTable(1, 1));

    // Save to the operator's slot 10 (slot byte 9): Channel A's map, then B's.
    for (const int pass : {0, 1}) {
        ASSERT_NO_FATAL_FAILURE(SendTable(line, 0xE2, 100 + pass, 0));
        ASSERT_NO_FATAL_FAILURE(SendTable(line, 0xE2, 100 + pass, 1));
        line.Write(pass == 0 ? Bytes{0x05, 0xE3, 0x09, 0x00, 0xF1}
                             : Bytes{0x05, 0xE3, 0x09, 0x01, 0xF2});
        ASSERT_EQ(line.Read(3).at(0), 0xE3);
    }
    EXPECT_EQ(FileBytes(dir + "/slot-10-A-x.bin"), RawTable(100, 0));
    EXPECT_EQ(FileBytes(dir + "/slot-10-A-y.bin"), RawTable(100, 1));
    EXPECT_EQ(FileBytes(dir + "/slot-10-B-x.bin"), RawTable(101, 0));
    EXPECT_EQ(FileBytes(dir + "/slot-10-B-y.bin"), RawTable(101, 1));
    EXPECT_EQ(FileNames(dir),
              (std::set<std::string>{"live-B-x.bin", "live-B-y.bin", "slot-10-A-x.bin",
                                     "slot-10-A-y.bin", "slot-10-B-x.bin", "slot-10-B-y.bin"}));
    std::filesystem::remove_all(dir);
}

// The state file as a JSON object; empty while missing or not valid JSON.
QJsonObject ReadState(const std::string& path) {
    const Bytes bytes = FileBytes(path);
    return QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size())))
        .object();
}

QJsonObject Channel(const QJsonObject& state, int channel) {
    return state["channels"].toArray()[channel].toObject();
}

TEST(BoxsimPty, StateJsonShowsThePictureSettingsSoonAfterAChangeAndAtExit) {
    const std::string dir = TempPath("state");
    std::filesystem::remove_all(dir);
    const std::string path = dir + "/now/state.json";  // the folder is the box's to create
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--state-json", path});
    ASSERT_TRUE(box.started()) << box.error();

    // Power-on: zeros, and no uniformity point away from neutral.
    QJsonObject state = ReadState(path);
    ASSERT_EQ(state["channels"].toArray().size(), 2);
    EXPECT_EQ(Channel(state, 1)["blend"].toObject()["gamma"].toInt(-1), 0);
    EXPECT_TRUE(Channel(state, 0)["uniformity"].toObject()["points"].toArray().isEmpty());
    EXPECT_EQ(state["slots"].toArray().size(), 10);

    Line line(box.portPath());
    line.Write({0x08, 0x91, 0x02, 0x01, 0x00, 0xC8, 0x00, 0x64});  // left edge 200 wide, "All"
    Bytes point = Concat(
        {link::WriteRegister8Packet(0, 0x00, 1), link::WriteRegister8Packet(0, 0x24, 2),
         link::WriteRegister8Packet(0, 0x25, 2 * 32 + 5), link::WriteRegister8Packet(0, 0x25, 0)});
    for (std::uint8_t byte : {0xFF, 0xFF, 0xFF, 0x3F, 0x00, 0x04, 0x00, 0x01, 0x40}) {
        point = Concat({point, link::WriteRegister8Packet(0, 0x26, byte)});
    }
    line.Write(Concat(
        {point, link::WriteRegister8Packet(0, 0x24, 1), link::WriteRegister8Packet(0, 0x00, 0)}));
    line.Write({0x04, 0xE1, 0x01, 0xE6});
    ASSERT_EQ(line.Read(3).at(0), 0xE1);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        state = ReadState(path);
    } while (Channel(state, 1)["liveMap"].toObject()["commits"].toInt() != 1 &&
             std::chrono::steady_clock::now() < deadline);
    for (int channel : {0, 1}) {
        const QJsonObject edge =
            Channel(state, channel)["blend"].toObject()["edges"].toArray()[0].toObject();
        EXPECT_EQ(edge["edge"].toString(), "left");
        EXPECT_EQ(edge["width"].toInt(), 200) << channel;
    }
    const QJsonObject uniformity = Channel(state, 0)["uniformity"].toObject();
    EXPECT_EQ(uniformity["mode"].toInt(), 1);
    EXPECT_TRUE(uniformity["enabled"].toBool());
    ASSERT_EQ(uniformity["points"].toArray().size(), 1);
    EXPECT_EQ(uniformity["points"].toArray()[0].toObject(),
              (QJsonObject{{"x", 5}, {"y", 2}, {"gain", 4096}, {"offset", -1}}));
    EXPECT_EQ(Channel(state, 1)["liveMap"].toObject()["commits"].toInt(), 1);

    // A change just before the stop is in the file the box leaves behind.
    line.Write({0x06, 0xA0, 0x01, 0x07, 0x01, 0xAF});  // pattern on, white, Channel B
    line.Write({0x04, 0x30, 0x00, 0x34});
    ASSERT_EQ(line.Read(3).at(0), 0x30);
    box.stop();
    const QJsonObject pattern = Channel(ReadState(path), 1)["pattern"].toObject();
    EXPECT_TRUE(pattern["on"].toBool());
    EXPECT_EQ(pattern["colour"].toInt(), 7);
    std::filesystem::remove_all(dir);
}

TEST(BoxsimPty, BadUsageExitsWithTwo) {
    BoxsimProcess box(LUMORA_BOXSIM_PATH, {"--size", "huge"});
    EXPECT_FALSE(box.started());
    const int status = box.stop();
    ASSERT_TRUE(WIFEXITED(status)) << box.error();
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
}  // namespace lumora::sim
