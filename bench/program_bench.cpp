// Start-up time, memory and idle CPU of Quillmere, side by side with a bare dialog built
// by the same toolchain, measured in one run on the simulated desktop.
//   program_bench [runs] [idle seconds]      (defaults: 7 runs, 60 s)
// Prints a Markdown table of medians and ratios. Quillmere runs from a folder of its own
// with the real core module; the first start (which writes its settings) is not timed.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "../src/common/resource.h"
#include "harness.h"

namespace {

constexpr char kBareTitle[] = "Bare dialog";
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kSettleMs = 2000;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The subject's dialog, once it is visible.
HWND FindVisibleWindow(DWORD processId, const char* title) {
    return FindProcessWindow(processId, kDialogClass, title, true);
}

// Spins with 1 ms sleeps (no message pumping) so the clock stops close to the event.
bool SpinUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(1);
    }
    return true;
}

// A program under measurement: how to start it and how to tell that it is ready.
struct Subject {
    std::string exe;
    std::string arguments;
    const char* title;
    bool needsTransparentView;
};

struct Sample {
    double startSeconds = 0;
    double privateKiB = 0;
    double workingSetKiB = 0;
};

class Bench {
  public:
    explicit Bench(SimDesktop& desktop) : desktop(desktop) {}

    // Starts the subject, times it to ready, reads its memory, then ends it.
    bool Measure(const Subject& subject, Sample* sample) {
        MakeViewOpaque();
        LARGE_INTEGER begin, ready;
        QueryPerformanceCounter(&begin);
        ChildProcess process(subject.exe, subject.arguments);
        HWND window = nullptr;
        const bool started = SpinUntil(
            [&] {
                window = FindVisibleWindow(process.id, subject.title);
                return window && (!subject.needsTransparentView || desktop.TextIsTransparent());
            },
            kStartTimeoutMs);
        QueryPerformanceCounter(&ready);
        if (!started) return false;
        sample->startSeconds = Seconds(begin, ready);
        Pause(kSettleMs);
        ReadMemory(process.handle, sample);
        End(process, window, subject);
        return true;
    }

    // CPU seconds the subject uses while it sits there for idleSeconds.
    double IdleCpu(const Subject& subject, const std::string& arguments, DWORD idleSeconds) {
        ChildProcess process(subject.exe, arguments);
        Pause(kSettleMs * 2);
        const double before = CpuSeconds(process.handle);
        Sleep(idleSeconds * 1000);
        const double after = CpuSeconds(process.handle);
        process.Kill();
        return after - before;
    }

    // Milliseconds from each style command to the view's pixels showing the new style,
    // switching between shadow and normal; empty when the program did not start.
    std::vector<double> ApplyLatencies(const Subject& subject, int switches) {
        std::vector<double> latencies;
        ChildProcess process(subject.exe, subject.arguments);
        HWND window = nullptr;
        if (!SpinUntil([&] { return (window = FindVisibleWindow(process.id, subject.title)); },
                       kStartTimeoutMs))
            return latencies;
        Pause(kSettleMs);
        for (int i = 0; i < switches; ++i) {
            const int radio = i % 2 == 0 ? IDC_STYLE_SHADOW : IDC_STYLE_NORMAL;
            const DWORD before = ViewChecksum();
            LARGE_INTEGER begin, shown;
            QueryPerformanceCounter(&begin);
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(radio, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, radio)));
            const bool changed = SpinUntil([&] { return ViewChecksum() != before; }, 2000);
            QueryPerformanceCounter(&shown);
            if (changed) latencies.push_back(Seconds(begin, shown) * 1000);
            Pause(100);
        }
        End(process, window, subject);
        return latencies;
    }

  private:
    // A sum over the pixels of the view's top-left corner, where the first labels are,
    // read from the screen.
    DWORD ViewChecksum() const {
        constexpr int kWidth = 240, kHeight = 160;
        // Read from the screen, not the view's own DC: under Wine a window's pixels are
        // only visible to another process there.
        POINT corner = {0, 0};
        ClientToScreen(desktop.View(), &corner);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, kWidth, kHeight, screen, corner.x, corner.y, SRCCOPY);
        GdiFlush();
        DWORD sum = 0;
        const DWORD* pixel = static_cast<const DWORD*>(bits);
        for (int i = 0; i < kWidth * kHeight; ++i) sum = sum * 31 + (pixel[i] & 0xFFFFFF);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return sum;
    }

    void MakeViewOpaque() { SendMessageA(desktop.View(), LVM_SETTEXTBKCOLOR, 0, RGB(0, 128, 128)); }

    static void ReadMemory(HANDLE process, Sample* sample) {
        PROCESS_MEMORY_COUNTERS_EX counters = {};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters)) {
            // Wine leaves PrivateUsage at 0; PagefileUsage is the same figure on Windows.
            const SIZE_T privateBytes =
                counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
            sample->privateKiB = privateBytes / 1024.0;
            sample->workingSetKiB = counters.WorkingSetSize / 1024.0;
        }
    }

    static double CpuSeconds(HANDLE process) {
        FILETIME created, ended, kernel, user;
        if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
        const auto ticks = [](FILETIME time) {
            return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
        };
        return (ticks(kernel) + ticks(user)) / 1e7;
    }

    static void End(ChildProcess& process, HWND window, const Subject& subject) {
        if (subject.needsTransparentView) {
            PostMessageA(window, WM_COMMAND, IDM_EXIT, 0); // the tray menu's exit command
        } else {
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }
        if (!process.WaitForExit(kStartTimeoutMs, nullptr)) process.Kill();
    }

    SimDesktop& desktop;
};

// The samples of one subject over all runs.
struct Series {
    std::vector<double> startMs, privateKiB, workingSetKiB;
    void Add(const Sample& sample) {
        startMs.push_back(sample.startSeconds * 1000);
        privateKiB.push_back(sample.privateKiB);
        workingSetKiB.push_back(sample.workingSetKiB);
    }
};

void PrintRow(const char* what, const std::vector<double>& quill, const std::vector<double>& bare,
              const std::vector<double>& bareWithDlls, const char* unit, const char* target) {
    const double q = Median(quill), b = Median(bare), d = Median(bareWithDlls);
    printf("| %s | %.1f %s | %.1f %s | %.2fx | %.1f %s | %.2fx | %s |\n", what, q, unit, b, unit,
           b > 0 ? q / b : 0.0, d, unit, d > 0 ? q / d : 0.0, target);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const DWORD idleSeconds = argc > 2 ? std::max(1, atoi(argv[2])) : 60;

    SimDesktop desktop;
    if (!desktop.View()) {
        fprintf(stderr, "The simulated desktop did not start.\n");
        return 1;
    }
    AppFolder folder("");
    CopyFileA((BuildBinFolder() + "QuillCore.dll").c_str(), folder.File("QuillCore.dll").c_str(),
              FALSE);
    const Subject quill = {folder.Exe(), "", kMainWindowTitle, true};
    const Subject bare = {BuildBinFolder() + "BareDialog.exe", "", kBareTitle, false};
    const Subject bareWithDlls = {bare.exe, "/dlls", kBareTitle, false};

    Bench bench(desktop);
    Sample firstRun;
    if (!bench.Measure(quill, &firstRun)) {
        fprintf(stderr, "Quillmere did not become ready.\n");
        return 1;
    }
    Series quillSeries, bareSeries, dllSeries;
    for (int run = 0; run < runs; ++run) {
        Sample q, b, d;
        // Taking turns keeps slow drifts of the machine out of the ratios.
        if (!bench.Measure(quill, &q) || !bench.Measure(bare, &b) ||
            !bench.Measure(bareWithDlls, &d)) {
            fprintf(stderr, "Run %d did not become ready.\n", run + 1);
            return 1;
        }
        quillSeries.Add(q);
        bareSeries.Add(b);
        dllSeries.Add(d);
    }
    const std::vector<double> latencies = bench.ApplyLatencies(quill, 2 * runs + 1);
    const double quillIdle = bench.IdleCpu(quill, "/AUTOSET", idleSeconds);
    const double bareIdle = bench.IdleCpu(bare, "", idleSeconds);

    printf("Medians of %d runs; idle over %lu s. \"Bare + DLLs\" is the bare dialog that first\n"
           "loads the system DLLs Quillmere imports beyond the dialog's own.\n\n",
           runs, static_cast<unsigned long>(idleSeconds));
    printf("| Measure | Quillmere | Bare dialog | Ratio | Bare + DLLs | Ratio | Target |\n"
           "|---|---|---|---|---|---|---|\n");
    PrintRow("start-up to ready", quillSeries.startMs, bareSeries.startMs, dllSeries.startMs, "ms",
             "at most 1.3x");
    PrintRow("private bytes", quillSeries.privateKiB, bareSeries.privateKiB, dllSeries.privateKiB,
             "KiB", "at most 1.2x");
    PrintRow("working set", quillSeries.workingSetKiB, bareSeries.workingSetKiB,
             dllSeries.workingSetKiB, "KiB", "at most 1.2x");
    if (latencies.empty()) {
        printf("| apply latency | no repaint seen | | | | | |\n");
    } else {
        printf("| apply latency (%zu style commands) | median %.1f ms, worst %.1f ms | | | | | |\n",
               latencies.size(), Median(latencies),
               *std::max_element(latencies.begin(), latencies.end()));
    }
    printf("| idle CPU | %.3f%% | %.3f%% | | | | at most 0.1%% |\n",
           100.0 * quillIdle / idleSeconds, 100.0 * bareIdle / idleSeconds);
    return 0;
}
