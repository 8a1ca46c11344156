// Runs a fuzz target without libFuzzer: every file of the given corpus folders (or files)
// once, then a bounded number of inputs mutated from them with a fixed seed, so a CI
// smoke run is repeatable and ends by itself.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readFile(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void run(const Bytes &b)
{
    // A copy of exactly size bytes so out-of-bounds reads are caught by the sanitizers.
    std::unique_ptr<uint8_t[]> copy(new uint8_t[b.size() ? b.size() : 1]);
    if (!b.empty())
        std::memcpy(copy.get(), b.data(), b.size());
    LLVMFuzzerTestOneInput(copy.get(), b.size());
}

Bytes mutate(Bytes b, std::mt19937_64 &rng)
{
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        switch (rng() % 6) {
        case 0:  // flip a byte
            if (!b.empty())
                b[rng() % b.size()] = uint8_t(rng());
            break;
        case 1:  // truncate
            if (!b.empty())
                b.resize(rng() % b.size());
            break;
        case 2:  // insert bytes
            b.insert(b.begin() + (b.empty() ? 0 : rng() % b.size()), 1 + rng() % 16,
                     uint8_t(rng()));
            break;
        case 3:  // an interesting 32-bit value
            if (b.size() >= 4) {
                static const uint32_t values[]
                        = {0, 1, 0x7fffffff, 0x80000000, 0xffffffff, 0x10000};
                const uint32_t v = values[rng() % std::size(values)];
                std::memcpy(&b[rng() % (b.size() - 3)], &v, 4);
            }
            break;
        case 4:  // an ASCII digit or separator
            if (!b.empty())
                b[rng() % b.size()] = "0123456789-+.eE \n\t,#"[rng() % 20];
            break;
        default:  // duplicate a slice
            if (b.size() > 2 && b.size() < (1u << 20)) {
                const size_t from = rng() % b.size();
                const size_t len = 1 + rng() % (b.size() - from);
                Bytes slice(b.begin() + from, b.begin() + from + len);
                b.insert(b.begin() + rng() % b.size(), slice.begin(), slice.end());
            }
            break;
        }
    }
    return b;
}

}  // namespace

int main(int argc, char **argv)
{
    long iterations = 0;
    double seconds = 30;
    std::vector<Bytes> corpus;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--iterations") && i + 1 < argc) {
            iterations = std::atol(argv[++i]);
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else {
            const std::filesystem::path p(argv[i]);
            std::error_code ec;
            if (std::filesystem::is_directory(p, ec)) {
                for (const auto &entry : std::filesystem::directory_iterator(p))
                    if (entry.is_regular_file())
                        corpus.push_back(readFile(entry.path()));
            } else if (std::filesystem::is_regular_file(p, ec)) {
                corpus.push_back(readFile(p));
            }
        }
    }
    if (corpus.empty())
        corpus.push_back({});
    for (const Bytes &b : corpus)
        run(b);
    std::mt19937_64 rng(12345);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long done = 0;
    for (; done < iterations && std::chrono::steady_clock::now() < deadline; ++done)
        run(mutate(corpus[rng() % corpus.size()], rng));
    std::printf("replayed %zu corpus inputs and %ld mutations\n", corpus.size(), done);
    return 0;
}
