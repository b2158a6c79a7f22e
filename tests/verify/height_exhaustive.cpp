// For every 32-bit width w: the height rule's steps (w / 4.0 * 3.0 in double,
// rounding with the 1e-12 nudge, "%.13g"), the closed form
// sign(w) * floor((3|w| + 2) / 4), and heightForWidth of the decimal text of
// w give the same text.
//
// "%.13g" depends on the rounded double alone, so a width whose rounded
// height and closed form both equal its predecessor's is not formatted again.
//
//   height_exhaustive [--stride N] [--threads N]
// --stride N checks every N-th width only (a quick trial); the default is all.
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "config/height.h"

namespace {

const uint64_t kWidths = uint64_t{1} << 32;
const uint64_t kChunk = uint64_t{1} << 20;
const size_t kShownMismatches = 20;

// The steps after reading, as the rule states them.
double heightBySteps(int32_t w) {
    double scaled = static_cast<double>(w) / 4.0 * 3.0;
    if (scaled == 0.0) return 0.0;
    double a = fabs(scaled);
    double s = a + 1e-12;
    double i = trunc(s);
    double f = s - i;
    double magnitude = f >= 0.5 ? i + 1.0 : i;
    return scaled < 0 ? -magnitude : magnitude;
}

int64_t heightByFormula(int32_t w) {
    int64_t magnitude = w < 0 ? -static_cast<int64_t>(w) : w;
    int64_t height = (3 * magnitude + 2) / 4;
    return w < 0 ? -height : height;
}

// Decimal text of v into `out`; returns its length. The "%d" text of a width
// and the expected height text alike, without printf's cost.
size_t decimal(int64_t v, char* out) {
    char digits[24];
    size_t n = 0;
    uint64_t m = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    do {
        digits[n++] = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m != 0);
    size_t length = 0;
    if (v < 0) out[length++] = '-';
    while (n > 0) out[length++] = digits[--n];
    out[length] = '\0';
    return length;
}

struct Shared {
    uint64_t stride = 1;
    std::atomic<uint64_t> nextChunk{0};
    std::atomic<uint64_t> widthsChecked{0};
    std::atomic<uint64_t> formatted{0};
    std::atomic<uint64_t> mismatches{0};
    std::mutex lock;
    std::vector<std::string> shown;
};

void report(Shared& shared, int32_t w, const char* what, const char* got, const char* want) {
    shared.mismatches.fetch_add(1);
    std::lock_guard<std::mutex> guard(shared.lock);
    if (shared.shown.size() >= kShownMismatches) return;
    char line[160];
    snprintf(line, sizeof(line), "w %d: %s gives \"%s\", closed form \"%s\"", w, what, got, want);
    shared.shown.push_back(line);
}

void work(Shared& shared) {
    const uint64_t chunks = kWidths / kChunk;
    char want[24], widthText[24], steps[64];
    uint64_t checked = 0, formatted = 0;
    for (uint64_t chunk; (chunk = shared.nextChunk.fetch_add(1)) < chunks;) {
        uint64_t begin = chunk * kChunk;
        uint64_t first = (begin + shared.stride - 1) / shared.stride * shared.stride;
        bool havePrevious = false;
        double previousSteps = 0;
        int64_t previousFormula = 0;
        for (uint64_t u = first; u < begin + kChunk; u += shared.stride) {
            int32_t w = static_cast<int32_t>(static_cast<uint32_t>(u));
            int64_t formula = heightByFormula(w);
            decimal(formula, want);

            double bySteps = heightBySteps(w);
            if (!havePrevious || memcmp(&bySteps, &previousSteps, sizeof(double)) != 0 ||
                formula != previousFormula) {
                snprintf(steps, sizeof(steps), "%.13g", bySteps);
                if (strcmp(steps, want) != 0) report(shared, w, "the steps", steps, want);
                ++formatted;
                havePrevious = true;
                previousSteps = bySteps;
                previousFormula = formula;
            }

            size_t length = decimal(w, widthText);
            Text height = heightForWidth(Text(widthText, length));
            if (strcmp(height.c_str(), want) != 0) {
                report(shared, w, "heightForWidth", height.c_str(), want);
            }
            ++checked;
        }
        uint64_t done = chunk + 1;
        if (done % (chunks / 16) == 0) {
            printf("verify: %3llu%% of the widths handed out\n",
                   static_cast<unsigned long long>(done * 100 / chunks));
            fflush(stdout);
        }
    }
    shared.widthsChecked.fetch_add(checked);
    shared.formatted.fetch_add(formatted);
}

// The fast decimal text must be what "%d" writes; checked on the edges and
// a spread of widths, since the product call gets it in place of printf's.
bool decimalMatchesPrintf() {
    char fast[24], slow[24];
    for (uint64_t u = 0; u < kWidths; u += 65521) {
        for (uint32_t v : {static_cast<uint32_t>(u), static_cast<uint32_t>(u) ^ 0x80000000u}) {
            int32_t w = static_cast<int32_t>(v);
            decimal(w, fast);
            snprintf(slow, sizeof(slow), "%d", w);
            if (strcmp(fast, slow) != 0) {
                fprintf(stderr, "verify: decimal(%s) gives %s\n", slow, fast);
                return false;
            }
        }
    }
    for (int32_t w : {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX}) {
        decimal(w, fast);
        snprintf(slow, sizeof(slow), "%d", w);
        if (strcmp(fast, slow) != 0) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Shared shared;
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    for (int i = 1; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--stride") == 0) {
            shared.stride = std::max(1ull, strtoull(argv[i + 1], nullptr, 10));
        } else if (strcmp(argv[i], "--threads") == 0) {
            threads = std::max(1ul, strtoul(argv[i + 1], nullptr, 10));
        } else {
            fprintf(stderr, "usage: %s [--stride N] [--threads N]\n", argv[0]);
            return 2;
        }
    }
    if (!decimalMatchesPrintf()) return 1;

    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) pool.emplace_back(work, std::ref(shared));
    for (std::thread& t : pool) t.join();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    for (const std::string& line : shared.shown) printf("%s\n", line.c_str());
    unsigned long long checked = shared.widthsChecked.load();
    unsigned long long mismatches = shared.mismatches.load();
    printf(
        "verify: %llu widths (stride %llu), %llu heights formatted with %%.13g, %u threads, "
        "%.1f s\n",
        checked, static_cast<unsigned long long>(shared.stride),
        static_cast<unsigned long long>(shared.formatted.load()), threads, seconds);
    if (mismatches != 0) {
        printf("verify: FAILED, %llu mismatches\n", mismatches);
        return 1;
    }
    printf(
        "verify: ok, the steps, the closed form and heightForWidth agree on every width "
        "checked\n");
    return 0;
}
