// Apply latency through QuillHost64.exe on a 64-bit simulated desktop, beside the direct
// apply of QuillCore.dll on a desktop of this benchmark's own bitness, taking turns in one
// run. Each apply switches between shadow and normal; it is timed from the call to its
// return, by which the desktop has repainted its view in the new style.
// The helper is started by the module's own launching code, linked in here: one loaded
// module serving both desktops would detach the other one at every apply. Built 32-bit,
// the direct apply is on a 32-bit desktop; built 64-bit (machines that run no 32-bit
// code), on a second 64-bit desktop.
#include <windows.h>
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "../core/host64_launch.h"
#include "../tools/simdesk/simdesk_client.h"
#include "harness.h"

namespace {

constexpr int kApplies = 21;
constexpr double kTargetExtraMs = 150;
constexpr COLORREF kLabel = RGB(255, 255, 255);
constexpr bool kBuilt32 = sizeof(void*) == 4;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

template <typename Apply> void Time(Apply apply, int style, std::vector<double>* times) {
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    apply(style);
    QueryPerformanceCounter(&end);
    times->push_back(Milliseconds(begin, end));
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PrintRow(const char* path, const char* desktop, const std::vector<double>& times) {
    printf("| %s | %s | %.1f ms | %.1f ms |\n", path, desktop, Median(times),
           *std::max_element(times.begin(), times.end()));
}

} // namespace

int main() {
    SimDesktop own;
    SimDesktop wide("", kBuilt32 ? "x64\\SimDesktop.exe" : "SimDesktop.exe");
    CoreExports core = {};
    if (!own.View() || !wide.View() || !LoadCore(&core)) {
        printf("the simulated desktops or QuillCore.dll are missing\n");
        return 1;
    }
    SetTransparentLabels(own.View(), kLabel);
    SetTransparentLabels(wide.View(), kLabel);
    bool helperApplied = true;
    const auto direct = [&](int style) { core.apply(own.View(), kLabel, style); };
    const auto helper = [&](int style) {
        helperApplied &= ApplyThroughHost64(core.module, wide.View(), kLabel, style);
    };
    // The helper's own start and end, without the module: a command line it refuses.
    const auto startOnly = [&](int) {
        ChildProcess refused(BuildBinFolder() + "QuillHost64.exe", "");
        WaitForSingleObject(refused.handle, kDefaultWaitMs);
    };
    std::vector<double> directTimes, helperTimes, startTimes;
    for (int i = 0; i < kApplies; ++i) {
        const int style = i % 2 == 0 ? 1 : 0;
        Time(direct, style, &directTimes);
        Time(helper, style, &helperTimes);
        Time(startOnly, style, &startTimes);
    }
    core.undo();
    FreeLibrary(core.module);

    const double extra = Median(helperTimes) - Median(directTimes);
    printf("Apply latency, %d applies each, taking turns (%s build):\n\n", kApplies,
           kBuilt32 ? "32-bit" : "x86_64");
    printf("| path | desktop | median | worst |\n|---|---|---|---|\n");
    PrintRow("direct: QuillCore.dll in this process", kBuilt32 ? "32-bit" : "64-bit", directTimes);
    PrintRow("QuillHost64.exe, started by the module's launching code", "64-bit", helperTimes);
    PrintRow("QuillHost64.exe refusing its command line: start and end only", "-", startTimes);
    printf("\nThe helper adds %.1f ms (median); target: at most %.0f ms.%s\n", extra,
           kTargetExtraMs, extra > kTargetExtraMs ? "  OVER" : "");
    if (!helperApplied) printf("The helper did not apply every time.\n");
    return !helperApplied ? 1 : extra > kTargetExtraMs ? 2 : 0;
}
