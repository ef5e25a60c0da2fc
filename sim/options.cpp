#include "sim/options.h"

#include <charconv>
#include <functional>
#include <limits>
#include <map>

#include "sim/hex.h"

namespace lumora::sim {
namespace {

std::optional<long long> parseInteger(std::string_view text, long long min, long long max) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

// "1920x1080": both sides 1..65535.
bool parseSize(std::string_view text, ModelConfig& model) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) {
        return false;
    }
    const auto width = parseInteger(text.substr(0, x), 1, 0xFFFF);
    const auto height = parseInteger(text.substr(x + 1), 1, 0xFFFF);
    if (!width || !height) {
        return false;
    }
    model.width = static_cast<std::uint16_t>(*width);
    model.height = static_cast<std::uint16_t>(*height);
    return true;
}

constexpr long long kIntMax = std::numeric_limits<int>::max();
constexpr long long kMaxMs = 24LL * 3600 * 1000;

}  // namespace

ParsedOptions ParseOptions(std::span<const std::string> args) {
    Options options;
    BoxConfig& box = options.box;
    using Setter = std::function<bool(std::string_view)>;
    const auto count = [](std::optional<int>& field, long long min) {
        return [&field, min](std::string_view v) {
            const auto n = parseInteger(v, min, kIntMax);
            field = n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
            return n.has_value();
        };
    };
    const auto millis = [](std::chrono::milliseconds& field) {
        return [&field](std::string_view v) {
            const auto n = parseInteger(v, 0, kMaxMs);
            field = std::chrono::milliseconds(n.value_or(0));
            return n.has_value();
        };
    };
    const std::map<std::string, Setter, std::less<>> valued = {
        {"--size", [&](std::string_view v) { return parseSize(v, box.model); }},
        {"--log",
         [&](std::string_view v) {
             options.logFile = v;
             return !v.empty();
         }},
        {"--port-file",
         [&](std::string_view v) {
             options.portFile = v;
             return !v.empty();
         }},
        {"--overlay-png",
         [&](std::string_view v) {
             options.overlayPngDir = v;
             return !v.empty();
         }},
        {"--output-png",
         [&](std::string_view v) {
             options.outputPngDir = v;
             return !v.empty();
         }},
        {"--input",
         [&](std::string_view v) {
             options.inputImage = v;
             return !v.empty();
         }},
        {"--maps-dir",
         [&](std::string_view v) {
             options.mapsDir = v;
             return !v.empty();
         }},
        {"--state-json",
         [&](std::string_view v) {
             options.stateJson = v;
             return !v.empty();
         }},
        {"--line-rate", count(box.faults.lineRate, 1)},
        {"--drop-reply", count(box.faults.dropReply, 1)},
        {"--silent-after", count(box.faults.silentAfter, 0)},
        {"--hangup-after", count(options.hangUpAfter, 1)},
        {"--reply-delay-ms", millis(box.faults.replyDelay)},
        {"--split-gap-ms", millis(box.faults.splitGap)},
        {"--fill-busy-ms", millis(box.model.fillBusy)},
        {"--stray-before", count(box.faults.strayBefore, 1)},
        {"--stray-bytes",
         [&](std::string_view v) {
             auto bytes = ParseHex(v);
             box.faults.strayBytes = bytes.value_or(link::Bytes{});
             return bytes.has_value();
         }},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg == "--split-replies") {
            box.faults.splitReplies = true;
            continue;
        }
        // Both "--name value" and "--name=value".
        std::optional<std::string_view> value;
        if (const std::size_t eq = arg.find('='); eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        const auto option = valued.find(arg);
        if (option == valued.end()) {
            return {std::nullopt, "unknown option '" + std::string(arg) + "'"};
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return {std::nullopt, "option '" + std::string(arg) + "' needs a value"};
            }
            value = args[++i];
        }
        if (!option->second(*value)) {
            return {std::nullopt,
                    "bad value '" + std::string(*value) + "' for '" + std::string(arg) + "'"};
        }
    }
    if (box.faults.strayBefore && box.faults.strayBytes.empty()) {
        return {std::nullopt, "'--stray-before' needs '--stray-bytes'"};
    }
    return {options, {}};
}

std::string UsageText() {
    return R"(Usage: lumora-boxsim [OPTIONS]
A virtual two-channel geometry box on a pseudo-terminal. Prints
"lumora-boxsim: port /dev/pts/N" and writes the path to <dir>/<pid>.port, where
dir is $LUMORA_BOXSIM_DIR, else $XDG_RUNTIME_DIR/lumora-boxsim, else
/tmp/lumora-boxsim-<uid>. Runs until SIGINT or SIGTERM, or until it hangs up.

Box:
  --size WxH            picture size reported to the host (default 1920x1080)
  --fill-busy-ms MS     status busy time after a fill starts (default 2)
Output:
  --port-file FILE      also write the pty path to FILE (replaced atomically)
  --log FILE            one line per received packet in hex; bad ones start "BAD "
  --overlay-png DIR     keep DIR/overlay-A.png and DIR/overlay-B.png showing what
                        each channel's overlay engine drew (DIR is created)
  --maps-dir DIR        write each warp map the box takes as two raw tables
                        (19,500 bytes, column after column, 16-bit little-
                        endian, like "lumora-warp-cli map --out-x/--out-y"):
                        DIR/live-A-x.bin, live-A-y.bin, live-B-... when a live
                        transfer ends (E1), DIR/slot-N-A-x.bin ... (N = 1..10,
                        A for pass 0, B for pass 1) when a slot pass is stored
                        (E3); both files of a pair are replaced together before
                        the reply goes out. DIR is created; tables an earlier
                        run left there are removed at start
  --state-json FILE     keep FILE showing the box's settings as JSON, per
                        channel: blend (edge widths, the transition and non-
                        transition windows, marker, offsets, gamma x 100),
                        test pattern, uniformity (mode, enabled and the points
                        that differ from neutral gain 8191 / offset 0), colour
                        adjust (gain enable, gains, offsets) and how often its
                        live map was committed; and per slot how often each
                        pass was stored (the tables go to --maps-dir):
                        {"channels":[{"channel":"A","blend":{...},
                        "pattern":{...},"uniformity":{...},"colour":{...},
                        "liveMap":{"commits":N}},{"channel":"B",...}],
                        "slots":[{"slot":1,"commits":{"A":N,"B":N}},...]}.
                        Settings never sent read 0 (uniformity points:
                        neutral), as after power-on. Written at start, 150 ms
                        after the last change (at most 1 s late while changes
                        keep coming) and at exit; replaced whole, never half
                        written. FILE's folder is created
  --output-png DIR      keep DIR/output-A.png and output-B.png showing what each
                        channel would put out now: its live map, uniformity,
                        colour, edge blend and test pattern applied to the
                        source, the overlay's markers on top; rewritten as the
                        overlay pictures are, never half written
  --input IMAGE         the source picture of --output-png (scaled to the
                        picture size); default: a built-in test card
Faults:
  --line-rate BAUD      pace both directions at BAUD, 10 bit times per byte:
                        the host's bytes are taken in no faster (its writes
                        block once the pty is full) and replies go out no faster
  --drop-reply N        never send reply number N (1-based)
  --silent-after N      answer only the first N good packets, then nothing
  --reply-delay-ms D    send every reply D ms late
  --split-replies       send each reply's first byte, the rest after a gap
  --split-gap-ms MS     that gap (default 5)
  --stray-bytes HEX     send these bytes (e.g. "FF 00") just ahead of replies
  --stray-before N      only ahead of reply number N (default: every reply)
  --hangup-after N      after answering the N-th good packet, hang up the line
                        (close the pty, as a box switched off would) and exit 0
  --help                this text
  --version             print the version and exit
)";
}

}  // namespace lumora::sim
