// Runs a fuzz target over deterministic inputs (and any files named on the command line), so that
// the sanitizer build checks it in every test run without a fuzzing engine.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "core/Collections.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    std::mt19937 random(12345);
    const std::size_t sizes[] = {0,
                                 1,
                                 66,
                                 67,
                                 5000,
                                 puzzles::layout::kCrosswordRecordSize,
                                 puzzles::layout::kWordSearchRecordSize,
                                 puzzles::layout::kWordSearchRecordSize + 7};
    int runs = 0;
    for (std::size_t size : sizes) {
        for (int fill : {0x00, 0xFF, -1}) {
            std::vector<std::uint8_t> input(size);
            for (auto& b : input)
                b = static_cast<std::uint8_t>(fill >= 0 ? fill : random());
            LLVMFuzzerTestOneInput(input.data(), input.size());
            ++runs;
        }
    }
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++runs;
    }
    std::printf("%d inputs replayed\n", runs);
    return 0;
}
