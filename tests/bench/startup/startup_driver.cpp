// Start-up benchmark driver, run under Wine:
//
//   startup_driver.exe ROUNDS KORVALEN_EXE MINIMAL_EXE
//
// Starts the two programs in turn, ROUNDS times each after one warm-up round,
// swapping which goes first every round so neither always follows the other.
// Each start is timed from CreateProcessW until a visible top-level window of
// the new process exists, and on until the process first waits for input
// with an empty queue (its first paint done). Then its peak memory is read,
// the window gets WM_CLOSE and the exit is awaited (bounded).
//
// Places Korvalen's bigvideoconfig.xml (640 x 480) first, so Korvalen reads
// and shows a real file, and checks its two boxes each run.
// Prints markdown: a row per run, then the medians and the ratios.
#include <windows.h>

#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kShowTimeoutMs = 60000;  // a start under qemu takes seconds, not minutes
constexpr DWORD kIdleTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 60000;
constexpr DWORD kPauseBetweenStartsMs = 250;  // lets the last process's teardown finish

// Korvalen's window class and the ids of its width and height boxes.
constexpr wchar_t kKorvalenClass[] = L"KorvalenMainWindow";
constexpr int kWidthBoxId = 101;
constexpr int kHeightBoxId = 103;

class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double elapsedMs() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
               static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_;
    LARGE_INTEGER start_;
};

struct Program {
    const char* name;
    std::wstring path;
    const wchar_t* windowClass;  // nullptr: any visible window of the process
    bool isKorvalen;
};

struct Run {
    bool measured = false;  // reached a visible window
    double visibleMs = 0;
    double idleMs = -1;  // -1: never went idle within the bound
    double exitMs = -1;
    SIZE_T peakWorkingSet = 0;
    SIZE_T peakPagefile = 0;
    DWORD exitCode = 0;
    bool killed = false;
    std::string boxes = "-";
    std::string note;
};

struct WindowSearch {
    DWORD processId;
    const wchar_t* windowClass;
    HWND found;
};

}  // namespace

static BOOL CALLBACK matchVisibleWindow(HWND window, LPARAM context) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    if (search->windowClass) {
        wchar_t name[64];
        if (!GetClassNameW(window, name, 64) || wcscmp(name, search->windowClass) != 0) {
            return TRUE;
        }
    }
    search->found = window;
    return FALSE;
}

namespace {

std::string narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::wstring controlText(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    if (!control) return L"(none)";
    wchar_t text[64] = {};
    DWORD_PTR copied = 0;
    // No SMTO_ABORTIFHUNG: Wine calls a thread hung when its first GetMessage
    // came more than 5 s after its queue was made, as a first start under qemu does.
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                             30000, &copied)) {
        return L"(no answer)";
    }
    return text;
}

bool placeKorvalenConfig(std::wstring* placedAt) {
    wchar_t appData[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData))) return false;
    std::wstring path = appData;
    for (const wchar_t* part :
         {L"duowan", L"yy", L"business", L"yymusicconfig", L"4_5", L"101", L"65"}) {
        path += L'\\';
        path += part;
        if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    path += L"\\bigvideoconfig.xml";
    // As Korvalen writes it: CRLF line ends, none after the last line.
    static const char kDocument[] =
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<config>\r\n    <enable>0</enable>\r\n"
        "    <chnlist />\r\n    <forcevideosize>\r\n        <enable>1</enable>\r\n"
        "        <sizex>640</sizex>\r\n        <sizey>480</sizey>\r\n    </forcevideosize>\r\n"
        "</config>";
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    DWORD size = sizeof(kDocument) - 1;
    if (!WriteFile(file.get(), kDocument, size, &written, nullptr) || written != size) return false;
    *placedAt = path;
    return true;
}

Run startOnce(const Program& program) {
    Run run;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program.path + L"\"";
    std::wstring folder = program.path.substr(0, program.path.find_last_of(L'\\'));

    Stopwatch clock;
    if (!CreateProcessW(program.path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        run.note = "CreateProcessW failed, error " + std::to_string(GetLastError());
        return run;
    }
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);

    // The 1 ms wait on the process paces the polling and sees an early exit.
    WindowSearch search{info.dwProcessId, program.windowClass, nullptr};
    for (;;) {
        EnumWindows(matchVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) break;
        if (WaitForSingleObject(process.get(), 1) != WAIT_TIMEOUT) {
            GetExitCodeProcess(process.get(), &run.exitCode);
            run.note = "ended before its window showed";
            return run;
        }
        if (clock.elapsedMs() > kShowTimeoutMs) {
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), kExitTimeoutMs);
            GetExitCodeProcess(process.get(), &run.exitCode);
            run.note = "no window within the bound, terminated";
            return run;
        }
    }
    run.visibleMs = clock.elapsedMs();
    run.measured = true;
    if (WaitForInputIdle(process.get(), kIdleTimeoutMs) == 0) run.idleMs = clock.elapsedMs();

    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process.get(), &counters, sizeof(counters))) {
        run.peakWorkingSet = counters.PeakWorkingSetSize;
        run.peakPagefile = counters.PeakPagefileUsage;
    } else {
        run.note = "GetProcessMemoryInfo failed, error " + std::to_string(GetLastError());
    }
    if (program.isKorvalen) {
        run.boxes = narrow(controlText(search.found, kWidthBoxId)) + " x " +
                    narrow(controlText(search.found, kHeightBoxId));
    }

    Stopwatch closing;
    PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), kExitTimeoutMs);
        run.killed = true;
    } else {
        run.exitMs = closing.elapsedMs();
    }
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Medians over the runs that reached a window; the idle time, missing where a
// process never went idle within the bound, is the median of those that did.
struct Summary {
    size_t runs = 0;
    double visibleMs = 0, visibleMin = 0, visibleMax = 0;
    double idleMs = -1;
    double peakWorkingSetKiB = 0, peakPagefileKiB = 0;
};

double medianOrMissing(const std::vector<double>& values) {
    return values.empty() ? -1 : median(values);
}

Summary summarise(const std::vector<Run>& runs) {
    std::vector<double> visible, idle, workingSet, pagefile;
    for (const Run& run : runs) {
        if (!run.measured) continue;
        visible.push_back(run.visibleMs);
        if (run.idleMs >= 0) idle.push_back(run.idleMs);
        workingSet.push_back(static_cast<double>(run.peakWorkingSet) / 1024);
        pagefile.push_back(static_cast<double>(run.peakPagefile) / 1024);
    }
    Summary summary;
    summary.runs = visible.size();
    if (visible.empty()) return summary;
    summary.visibleMs = median(visible);
    summary.visibleMin = *std::min_element(visible.begin(), visible.end());
    summary.visibleMax = *std::max_element(visible.begin(), visible.end());
    summary.idleMs = medianOrMissing(idle);
    summary.peakWorkingSetKiB = median(workingSet);
    summary.peakPagefileKiB = median(pagefile);
    return summary;
}

// A table cell: the figure, or "-" where it is missing (negative).
void printCell(double value, const char* format = "%.1f") {
    if (value < 0) {
        std::printf(" - |");
        return;
    }
    std::printf(" ");
    std::printf(format, value);
    std::printf(" |");
}

void printRun(const char* round, const Program& program, const Run& run) {
    std::printf("| %s | %s |", round, program.name);
    if (run.measured) {
        printCell(run.visibleMs);
        printCell(run.idleMs);
        printCell(static_cast<double>(run.peakWorkingSet / 1024), "%.0f");
        printCell(static_cast<double>(run.peakPagefile / 1024), "%.0f");
    } else {
        std::printf(" - | - | - | - |");
    }
    if (run.killed) {
        std::printf(" killed |");
    } else {
        printCell(run.exitMs);
    }
    std::printf(" 0x%lx | %s | %s |\n", static_cast<unsigned long>(run.exitCode), run.boxes.c_str(),
                run.note.c_str());
    std::fflush(stdout);
}

// Both programs of a round ran under nearly the same load of the machine, so
// the median of the rounds' own ratios shakes off more of that load than the
// ratio of the medians. Rounds where either start failed are left out.
struct PairedRatios {
    size_t rounds = 0;
    double visible = -1;
    double idle = -1;
};

PairedRatios pairRounds(const std::vector<Run>& korvalen, const std::vector<Run>& minimal) {
    std::vector<double> visible, idle;
    for (size_t i = 0; i < korvalen.size() && i < minimal.size(); ++i) {
        const Run& a = korvalen[i];
        const Run& b = minimal[i];
        if (!a.measured || !b.measured || b.visibleMs <= 0) continue;
        visible.push_back(a.visibleMs / b.visibleMs);
        if (a.idleMs >= 0 && b.idleMs > 0) idle.push_back(a.idleMs / b.idleMs);
    }
    PairedRatios paired;
    paired.rounds = visible.size();
    paired.visible = medianOrMissing(visible);
    paired.idle = medianOrMissing(idle);
    return paired;
}

// -1 where either figure is missing.
double ratio(double a, double b) { return a >= 0 && b > 0 ? a / b : -1; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: startup_driver ROUNDS KORVALEN_EXE MINIMAL_EXE\n");
        return 2;
    }
    int rounds = _wtoi(argv[1]);
    if (rounds < 1) {
        std::fprintf(stderr, "startup_driver: ROUNDS must be at least 1\n");
        return 2;
    }
    Program programs[2] = {{"Korvalen", argv[2], kKorvalenClass, true},
                           {"minimal", argv[3], nullptr, false}};
    for (const Program& program : programs) {
        if (GetFileAttributesW(program.path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::fprintf(stderr, "startup_driver: %s is missing\n", narrow(program.path).c_str());
            return 2;
        }
    }
    std::wstring configPath;
    if (!placeKorvalenConfig(&configPath)) {
        std::fprintf(stderr, "startup_driver: could not place bigvideoconfig.xml\n");
        return 1;
    }
    std::printf("Korvalen's file: `%s` (640 x 480)\n\n", narrow(configPath).c_str());

    std::printf(
        "| round | program | visible ms | idle ms | peak working set KiB | "
        "peak pagefile KiB | close-to-exit ms | exit code | boxes | note |\n"
        "|---|---|---|---|---|---|---|---|---|---|\n");
    std::vector<Run> results[2];
    for (int round = 0; round <= rounds; ++round) {
        char label[16];
        if (round == 0) {
            std::snprintf(label, sizeof(label), "warm-up");
        } else {
            std::snprintf(label, sizeof(label), "%d", round);
        }
        int first = round % 2 == 0 ? 0 : 1;
        for (int i = 0; i < 2; ++i) {
            int which = i == 0 ? first : 1 - first;
            Run run = startOnce(programs[which]);
            printRun(label, programs[which], run);
            if (round > 0) results[which].push_back(run);
            Sleep(kPauseBetweenStartsMs);
        }
    }

    Summary korvalen = summarise(results[0]);
    Summary minimal = summarise(results[1]);
    std::printf(
        "\n| program | runs | visible ms | visible ms min-max | idle ms | "
        "peak working set KiB | peak pagefile KiB |\n"
        "|---|---|---|---|---|---|---|\n");
    for (int i = 0; i < 2; ++i) {
        const Summary& s = i == 0 ? korvalen : minimal;
        std::printf("| %s (median) | %lu |", programs[i].name, static_cast<unsigned long>(s.runs));
        printCell(s.visibleMs);
        std::printf(" %.1f-%.1f |", s.visibleMin, s.visibleMax);
        printCell(s.idleMs);
        printCell(s.peakWorkingSetKiB, "%.0f");
        printCell(s.peakPagefileKiB, "%.0f");
        std::printf("\n");
    }
    std::printf("| Korvalen / minimal | |");
    printCell(ratio(korvalen.visibleMs, minimal.visibleMs), "%.3f");
    std::printf(" |");
    printCell(ratio(korvalen.idleMs, minimal.idleMs), "%.3f");
    printCell(ratio(korvalen.peakWorkingSetKiB, minimal.peakWorkingSetKiB), "%.3f");
    printCell(ratio(korvalen.peakPagefileKiB, minimal.peakPagefileKiB), "%.3f");
    std::printf("\n");
    PairedRatios paired = pairRounds(results[0], results[1]);
    std::printf("| median of the rounds' ratios | %lu |",
                static_cast<unsigned long>(paired.rounds));
    printCell(paired.visible, "%.3f");
    std::printf(" |");
    printCell(paired.idle, "%.3f");
    std::printf(" | |\n");
    return korvalen.runs > 0 && minimal.runs > 0 ? 0 : 1;
}
