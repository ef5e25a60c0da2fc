// Runs a fuzz target without libFuzzer: random lengths around every size that
// matters, random and structured contents, a fixed seed so a failure repeats.
// Arguments: runs, the longest random input, the length of the zero input cut
// at every point (0 for none), and a folder of seed inputs (optional): each
// seed runs as it is and in variants with a few bytes changed and cut short.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr int kVariantsPerSeed = 40;

std::vector<std::vector<std::uint8_t>> ReadSeeds(const char* folder) {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            paths.push_back(entry.path());
        }
    }
    std::sort(paths.begin(), paths.end());  // the same order on every machine
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const auto& path : paths) {
        std::ifstream file(path, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return seeds;
}

}  // namespace

int main(int argc, char** argv) {
    const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 300;
    const auto longest =
        static_cast<std::size_t>(argc > 2 ? std::strtol(argv[2], nullptr, 10) : 16384);
    const auto cutLength =
        static_cast<std::size_t>(argc > 3 ? std::strtol(argv[3], nullptr, 10) : 15729);
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, longest);
    std::vector<std::uint8_t> input;
    for (long run = 0; run < runs; ++run) {
        input.resize(length(random));
        for (std::uint8_t& b : input) {
            b = static_cast<std::uint8_t>(byte(random));
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    // Cut points across a whole input of zero bytes: every one of the first
    // bytes, then a stride that is prime to every field size.
    input.assign(cutLength, 0);
    for (std::size_t size = 0; size <= input.size(); size += size < 64 ? 1 : 17) {
        LLVMFuzzerTestOneInput(input.data(), size);
    }
    std::size_t seedCount = 0;
    if (argc > 4) {
        for (const auto& seed : ReadSeeds(argv[4])) {
            ++seedCount;
            LLVMFuzzerTestOneInput(seed.data(), seed.size());
            for (int variant = 0; variant < kVariantsPerSeed && !seed.empty(); ++variant) {
                input = seed;
                std::uniform_int_distribution<std::size_t> at(0, input.size() - 1);
                for (int change = 1 + byte(random) % 4; change > 0; --change) {
                    input[at(random)] = static_cast<std::uint8_t>(byte(random));
                }
                input.resize(std::max<std::size_t>(2, input.size() - at(random) / 2));
                LLVMFuzzerTestOneInput(input.data(), input.size());
            }
        }
    }
    std::printf("%ld random inputs, the cut points and %zu seeds passed\n", runs, seedCount);
    return 0;
}
