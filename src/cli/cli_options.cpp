#include "cli/cli_options.h"

#include <array>
#include <cctype>
#include <set>

namespace lumora::cli {
namespace {

const std::set<std::string> kCommands = {"ports",  "probe",   "read",  "write", "send",
                                         "info",   "map",     "store", "load",  "render",
                                         "export", "corner4", "hid",   "help",  "version"};

std::optional<int> ParseChannel(const std::string& text) {
    if (text == "A" || text == "a")
        return 0;
    if (text == "B" || text == "b")
        return 1;
    const auto n = ParseNumber(text);
    if (!n || *n > 2)
        return std::nullopt;
    return static_cast<int>(*n);
}

std::optional<int> ParseSide(const std::string& text) {
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kMaxPictureSide)
        return std::nullopt;
    return value;
}

// What info, map and store need beyond the options themselves.
std::optional<UsageError> CheckFileCommand(const Options& o) {
    if (o.positional.size() != 1) {
        return UsageError{o.command + " takes one settings file"};
    }
    if (o.command == "load") {
        if (o.port.empty())
            return UsageError{"load needs --port"};
        return std::nullopt;
    }
    if (o.command == "store") {
        if (o.port.empty())
            return UsageError{"store needs --port"};
        if (o.slot == 0)
            return UsageError{"store needs --slot 1 to 10"};
        return std::nullopt;
    }
    if (o.command == "render") {
        if (!o.channel || *o.channel > 1)
            return UsageError{"render needs --channel A or B"};
        if (o.width == 0)
            return UsageError{"render needs --size WxH, the picture size"};
        if (o.out.empty())
            return UsageError{"render needs --out OUT.png"};
        return std::nullopt;
    }
    if (o.command == "export") {
        if (o.width == 0)
            return UsageError{"export needs --size WxH, the picture size"};
        if (o.mpcdi.empty())
            return UsageError{"export needs --mpcdi OUT.mpcdi"};
        return std::nullopt;
    }
    if (o.command != "map") {
        return std::nullopt;
    }
    if (!o.channel || *o.channel > 1)
        return UsageError{"map needs --channel A or B"};
    if (o.width == 0)
        return UsageError{"map needs --size WxH, the picture size of the box"};
    if (o.outX.empty() || o.outY.empty())
        return UsageError{"map needs --out-x and --out-y"};
    if (o.outX == o.outY)
        return UsageError{"--out-x and --out-y must name different files"};
    return std::nullopt;
}

std::optional<UsageError> CheckCorner4(const Options& o) {
    const auto& p = o.positional;
    const std::string usage =
        "corner4 takes: mode 2x2|3x3|5x3, move POINT up|down|left|right [--step 1..50], or "
        "reset --channel A|B";
    if (p.empty()) {
        return UsageError{usage};
    }
    if (p[0] == "mode") {
        if (p.size() != 2 || !Corner4Mode(p[1]))
            return UsageError{"corner4 mode takes 2x2, 3x3 or 5x3"};
        return std::nullopt;
    }
    if (p[0] == "move") {
        if (p.size() != 3)
            return UsageError{usage};
        const auto point = ParseNumber(p[1]);
        if (!point || *point > 14)
            return UsageError{"corner4 move takes a POINT from 0 to 14"};
        if (!Corner4Direction(p[2]))
            return UsageError{"corner4 move takes up, down, left or right"};
        return std::nullopt;
    }
    if (p[0] == "reset") {
        if (p.size() != 1 || !o.channel || *o.channel > 1)
            return UsageError{"corner4 reset needs --channel A or B"};
        return std::nullopt;
    }
    return UsageError{usage};
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<int> Corner4Mode(const std::string& text) {
    static const std::array<const char*, 3> kModes = {"2x2", "3x3", "5x3"};
    for (std::size_t i = 0; i < kModes.size(); ++i) {
        if (text == kModes[i])
            return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<int> Corner4Direction(const std::string& text) {
    static const std::array<const char*, 4> kDirections = {"up", "left", "down", "right"};
    for (std::size_t i = 0; i < kDirections.size(); ++i) {
        if (text == kDirections[i])
            return static_cast<int>(i);
    }
    return std::nullopt;
}

const char* UsageText() {
    return "Usage: lumora-warp-cli COMMAND [OPTIONS]\n"
           "\n"
           "Commands:\n"
           "  ports                                   list the serial ports (and virtual boxes)\n"
           "                                          with their stable names under\n"
           "                                          /dev/serial/by-id (or by-path), the\n"
           "                                          adapter's vendor:product and description\n"
           "  probe --port P                          connect, print the picture size\n"
           "  read  --port P --channel C REG          read one register, print its value\n"
           "  write --port P --channel C REG VALUE [--bits 8|16|32]\n"
           "                                          write a register (0x20, 0x22, 0x23)\n"
           "  send  --port P [--wait MS] HEX...       send bytes framed with length and\n"
           "                                          checksum, print replies for MS ms\n"
           "  info  FILE.lwf [--json]                 summarise a settings file\n"
           "  map   FILE.lwf --channel A|B --size WxH [--no-corners]\n"
           "        --out-x X.bin --out-y Y.bin       write the warp map a move of that\n"
           "                                          channel would send, as two raw\n"
           "                                          19,500-byte tables\n"
           "  store --port P --slot N FILE.lwf        compute both channels' maps as a save\n"
           "                                          does and store them in the box's\n"
           "                                          memory slot N (1 to 10)\n"
           "  render FILE.lwf --channel A|B --size WxH [--input IMAGE] --out OUT.png [--16bit]\n"
           "                                          the channel's output as the box would\n"
           "                                          show it (the built-in test card\n"
           "                                          without --input); no box needed\n"
           "  export FILE.lwf --size WxH --mpcdi OUT.mpcdi\n"
           "                                          both channels' warp and edge blend as\n"
           "                                          an MPCDI 2.0 file (\"2d\" profile) for\n"
           "                                          other tools; no box needed\n"
           "  load  --port P FILE.lwf                 connect as the window does and send\n"
           "                                          everything the file holds, as \"Load\n"
           "                                          file\" does\n"
           "  corner4 --port P mode 2x2|3x3|5x3       the four-corner point set\n"
           "  corner4 --port P move POINT up|down|left|right [--step 1..50]\n"
           "                                          move four-corner point 0..14\n"
           "  corner4 --port P reset --channel A|B    the four-corner reset\n"
           "  hid                                     the USB HID probe: exit 0 written,\n"
           "                                          3 not written in 100 ms, 4 no device\n"
           "\n"
           "  version, --version                      print the program's version\n"
           "\n"
           "P is a port name, a device path or a stable name such as\n"
           "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0.\n"
           "Numbers are decimal or 0x-hex. Channels: 0 or A, 1 or B, 2 = All.\n"
           "Exit codes: 0 done, 2 bad usage, 3 the box did not answer,\n"
           "            4 the port could not be opened or failed,\n"
           "            5 a file could not be read or written,\n"
           "            6 the warp map was refused (the text says why).\n";
}

std::optional<std::uint64_t> ParseNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::size_t start = hex ? 2 : 0;
    const std::uint64_t base = hex ? 16 : 10;
    for (std::size_t i = start; i < text.size(); ++i) {
        const int digit =
            hex ? HexDigit(text[i])
                : (std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : -1);
        if (digit < 0) {
            return std::nullopt;
        }
        if (value > (UINT64_MAX - static_cast<std::uint64_t>(digit)) / base) {
            return std::nullopt;  // would overflow
        }
        value = value * base + static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::optional<std::pair<int, int>> ParseSize(const std::string& text) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return std::nullopt;
    const auto width = ParseSide(text.substr(0, x));
    const auto height = ParseSide(text.substr(x + 1));
    if (!width || !height)
        return std::nullopt;
    return std::make_pair(*width, *height);
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(const std::vector<std::string>& words) {
    std::string digits;
    for (const std::string& word : words) {
        for (char c : word) {
            if (!std::isspace(static_cast<unsigned char>(c))) {
                digits += c;
            }
        }
    }
    if (digits.empty() || digits.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = HexDigit(digits[i]);
        const int low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::variant<Options, UsageError> ParseOptions(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            options.command = "help";
            return options;
        }
        if (arg == "--version") {
            options.command = "version";
            return options;
        }
        if (arg == "--port") {
            auto v = value();
            if (!v || v->empty())
                return UsageError{"--port needs a port name"};
            options.port = *v;
        } else if (arg == "--channel") {
            auto v = value();
            auto n = v ? ParseChannel(*v) : std::nullopt;
            if (!n)
                return UsageError{"--channel takes 0 (A), 1 (B) or 2 (All)"};
            options.channel = *n;
        } else if (arg == "--bits") {
            auto v = value();
            auto n = v ? ParseNumber(*v) : std::nullopt;
            if (!n || (*n != 8 && *n != 16 && *n != 32)) {
                return UsageError{"--bits takes 8, 16 or 32"};
            }
            options.bits = static_cast<int>(*n);
        } else if (arg == "--wait") {
            auto v = value();
            auto n = v ? ParseNumber(*v) : std::nullopt;
            if (!n || *n > 60000)
                return UsageError{"--wait takes milliseconds, at most 60000"};
            options.waitMs = static_cast<int>(*n);
        } else if (arg == "--size") {
            auto v = value();
            auto size = v ? ParseSize(*v) : std::nullopt;
            if (!size) {
                return UsageError{"--size takes WxH, two whole numbers from 1 to " +
                                  std::to_string(kMaxPictureSide) + ", e.g. 1920x1080"};
            }
            options.width = size->first;
            options.height = size->second;
        } else if (arg == "--out-x" || arg == "--out-y") {
            auto v = value();
            if (!v || v->empty())
                return UsageError{arg + " needs a file name"};
            (arg == "--out-x" ? options.outX : options.outY) = *v;
        } else if (arg == "--input" || arg == "--out" || arg == "--mpcdi") {
            auto v = value();
            if (!v || v->empty())
                return UsageError{arg + " needs a file name"};
            (arg == "--input" ? options.input : arg == "--out" ? options.out : options.mpcdi) = *v;
        } else if (arg == "--16bit") {
            options.sixteenBit = true;
        } else if (arg == "--slot") {
            auto v = value();
            auto n = v ? ParseNumber(*v) : std::nullopt;
            if (!n || *n < 1 || *n > kSlots)
                return UsageError{"--slot takes 1 to 10 (the Save to Box buttons)"};
            options.slot = static_cast<int>(*n);
        } else if (arg == "--step") {
            auto v = value();
            auto n = v ? ParseNumber(*v) : std::nullopt;
            if (!n || *n < 1 || *n > 50)
                return UsageError{"--step takes 1 to 50"};
            options.step = static_cast<int>(*n);
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--no-corners") {
            options.noCorners = true;
        } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            return UsageError{"unknown option " + arg};
        } else if (options.command.empty()) {
            if (!kCommands.count(arg))
                return UsageError{"unknown command " + arg};
            options.command = arg;
        } else {
            options.positional.push_back(arg);
        }
    }
    if (options.command.empty()) {
        return UsageError{"no command given"};
    }
    const std::string& c = options.command;
    if (c == "info" || c == "map" || c == "store" || c == "load" || c == "render" ||
        c == "export") {
        if (auto error = CheckFileCommand(options))
            return *error;
        return options;
    }
    if (c == "version") {
        return options;
    }
    if (c != "ports" && c != "help" && c != "hid" && options.port.empty()) {
        return UsageError{c + " needs --port"};
    }
    if ((c == "read" || c == "write") && !options.channel) {
        return UsageError{c + " needs --channel"};
    }
    const std::size_t wanted = c == "read" ? 1 : c == "write" ? 2 : 0;
    if ((c == "read" || c == "write") && options.positional.size() != wanted) {
        return UsageError{c == "read" ? "read takes one register" : "write takes REG VALUE"};
    }
    if (c == "corner4") {
        if (auto error = CheckCorner4(options))
            return *error;
    }
    if ((c == "ports" || c == "probe" || c == "hid") && !options.positional.empty()) {
        return UsageError{c + " takes no arguments"};
    }
    if (c == "send" && options.positional.empty()) {
        return UsageError{"send needs the bytes to send, in hex"};
    }
    return options;
}

}  // namespace lumora::cli
