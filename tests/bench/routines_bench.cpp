// Bytes per second of textBetween and heightForWidth on inputs of 1 KiB,
// 1 MiB and 64 MiB, ordinary and adversarial. Every input is built so that
// the routine has to read all of it; the summary at the end sets the sizes
// side by side (median of the repetitions when there are several).
#include <benchmark/benchmark.h>
#include <stdio.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "config/height.h"
#include "config/markers.h"

namespace {

struct Size {
    const char* label;
    size_t bytes;
};
const Size kSizes[] = {{"1KiB", 1024}, {"1MiB", 1024 * 1024}, {"64MiB", 64 * 1024 * 1024}};

// `unit` repeated to `bytes` less `tail`, then `tail`; exactly `bytes` long.
std::string filled(const std::string& unit, const std::string& tail, size_t bytes) {
    std::string s;
    s.reserve(bytes);
    while (s.size() + unit.size() <= bytes - tail.size()) s += unit;
    s.append(unit, 0, bytes - tail.size() - s.size());
    return s + tail;
}

std::string highBytes() {
    std::string s;
    for (int b = 0x80; b <= 0xFF; ++b) s += static_cast<char>(b);
    return s;
}

const std::string kLines =
    "    <item name=\"volume\" kind=\"int\">75</item>\r\n    <chnlist />\r\n";
const std::string kPair = "<sizex>640</sizex>";

struct MarkerCase {
    const char* name;
    std::function<std::string(size_t)> text;
    bool ignoreCase;
};

const MarkerCase kMarkerCases[] = {
    // A config-like text with the value at its very end.
    {"ordinary", [](size_t n) { return filled(kLines, kPair, n); }, false},
    {"ordinary_ignore_case", [](size_t n) { return filled(kLines, kPair, n); }, true},
    // Every byte starts a two-byte unit.
    {"high_bytes", [](size_t n) { return filled(highBytes(), kPair, n); }, false},
    // Six of the seven bytes of the start marker match at every sixth byte.
    {"partial_markers", [](size_t n) { return filled("<sizex", kPair, n); }, false},
    // The start marker is the text's last bytes; no end marker follows.
    {"start_marker_at_end", [](size_t n) { return filled(kLines, "<sizex>", n); }, false},
    // The value is the whole text between a first and a last marker.
    {"whole_text_value", [](size_t n) { return "<sizex>" + filled(kLines, "</sizex>", n - 7); },
     false},
};

struct HeightCase {
    const char* name;
    std::function<std::string(size_t)> text;
};

const HeightCase kHeightCases[] = {
    {"digits", [](size_t n) { return filled("1234567890", "", n); }},
    {"fullwidth_digits",
     [](size_t n) {
         return filled("\xA3\xB1\xA3\xB2\xA3\xB3\xA3\xB4\xA3\xB5\xA3\xB6\xA3\xB7\xA3\xB8\xA3\xB9",
                       "", n);
     }},
    {"leading_blanks", [](size_t n) { return filled(" \t", "640", n); }},
    {"ideographic_spaces", [](size_t n) { return filled("\xA1\xA1", "640", n); }},
};

void runTextBetween(benchmark::State& state, const MarkerCase& c, size_t bytes) {
    Text text(c.text(bytes).c_str());
    if (text.size() != bytes) state.SkipWithError("input has the wrong size");
    for (auto _ : state) {
        Text value = textBetween(text, "<sizex>", "</sizex>", 0, c.ignoreCase);
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void runHeightForWidth(benchmark::State& state, const HeightCase& c, size_t bytes) {
    Text width(c.text(bytes).c_str());
    if (width.size() != bytes) state.SkipWithError("input has the wrong size");
    for (auto _ : state) {
        Text height = heightForWidth(width);
        benchmark::DoNotOptimize(height);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// Shows the aggregates of each benchmark (or its one run), then a table: per
// case and size the best and the median throughput of the repetitions, and
// how the best time per byte at 64 MiB compares with 1 MiB. Other work on
// the machine only ever slows a run down, so the best is the steadier figure.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate || run.repetitions <= 1) shown.push_back(run);
            if (run.error_occurred) continue;
            std::string name = run.run_name.function_name;
            size_t slash = name.rfind('/');
            auto rate = run.counters.find("bytes_per_second");
            if (slash == std::string::npos || rate == run.counters.end()) continue;
            std::string routineCase = name.substr(0, slash);
            if (rates_.find(routineCase) == rates_.end()) order_.push_back(routineCase);
            Rates& r = rates_[routineCase][name.substr(slash + 1)];
            if (!aggregate) {
                r.best = std::max(r.best, rate->second.value);
                if (run.repetitions <= 1) r.median = rate->second.value;
            } else if (run.aggregate_name == "median") {
                r.median = rate->second.value;
            }
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        printf("\nGB/s = 10^9 bytes per second of CPU time, best / median of the repetitions\n\n");
        printf("| routine / input | 1 KiB | 1 MiB | 64 MiB | time per byte, 64 MiB vs 1 MiB |\n");
        printf("|---|---|---|---|---|\n");
        for (const std::string& routineCase : order_) {
            std::map<std::string, Rates>& r = rates_[routineCase];
            printf("| %s |", routineCase.c_str());
            for (const Size& size : kSizes) {
                printf(" %.2f / %.2f |", r[size.label].best / 1e9, r[size.label].median / 1e9);
            }
            double small = r["1MiB"].best;
            double large = r["64MiB"].best;
            if (small > 0 && large > 0) {
                printf(" %+.0f %% |\n", (small / large - 1) * 100);
            } else {
                printf(" ? |\n");
            }
        }
    }

private:
    struct Rates {
        double best = 0;
        double median = 0;
    };
    std::vector<std::string> order_;
    std::map<std::string, std::map<std::string, Rates>> rates_;
};

}  // namespace

int main(int argc, char** argv) {
    for (const MarkerCase& c : kMarkerCases) {
        for (const Size& size : kSizes) {
            std::string name = std::string("textBetween/") + c.name + "/" + size.label;
            benchmark::RegisterBenchmark(name.c_str(), runTextBetween, c, size.bytes);
        }
    }
    for (const HeightCase& c : kHeightCases) {
        for (const Size& size : kSizes) {
            std::string name = std::string("heightForWidth/") + c.name + "/" + size.label;
            benchmark::RegisterBenchmark(name.c_str(), runHeightForWidth, c, size.bytes);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
