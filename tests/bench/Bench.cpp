// Speed and memory figures, each beside a floor measured in the same run on the same machine.
// Prints medians; asserts nothing.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/Main.h"
#include "puzzles/CollectionFiles.h"
#include "puzzles/Import.h"
#include "res/resource.h"
#include "settings/Configs.h"
#include "tests/native/RecordBuilder.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"
#include "win/Registry.h"

using namespace testing_support;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double MedianOf(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        work();
        times.push_back(Ms(Clock::now() - start));
    }
    return Median(times);
}

void Report(const char* what, double figure, double floor, double goal)
{
    std::printf("%-58s %9.2f ms  floor %9.2f ms  ratio %5.2f  (goal <= %.1f)\n", what, figure, floor,
                floor > 0 ? figure / floor : 0, goal);
}

void FillRepository(const std::string& folder, int count)
{
    win::ForceDirectories(folder);
    for (int i = 0; i < count; ++i) {
        std::string name = folder + "Puzzle " + std::to_string(i) + (i % 2 ? ".JGF" : ".JWF");
        HANDLE h = ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(h);
    }
}

std::size_t BarePass(const std::string& folder)
{
    std::size_t seen = 0;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        ++seen;
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return seen;
}

void BenchRefillAndLatency(const std::string& root)
{
    const std::string big = root + "refill\\";
    FillRepository(big, 10000);
    TConfig config;
    config.JavaPath = StubsFolder();
    config.SetRepository(big);
    config.MainWindowWidth = 600;
    config.MainWindowHeight = 400;
    config.Column1Width = 250;
    config.Column2Width = 150;
    Config = &config;
    {
        TMainWin window;
        MainWin = &window;
        window.Create();
        window.Show();
        double refill = MedianOf(9, [&] { window.RefreshPuzzleList(); });
        double bare = MedianOf(9, [&] { BarePass(big); });
        Report("refill of 10,000 puzzle files", refill, bare, 2.0);
    }
    const std::string small = root + "latency\\";
    win::ForceDirectories(small);
    config.SetRepository(small);
    TMainWin window;
    MainWin = &window;
    window.Create();
    window.Show();
    WaitUntil([] { return false; }, std::chrono::milliseconds(700));
    std::vector<double> latencies;
    for (int i = 0; i < 50; ++i) {
        const std::string name = "Latency " + std::to_string(i);
        auto start = Clock::now();
        WriteFileText(small + name + ".JGF", "x");
        WaitUntil([&] {
            for (const auto& line : window.Lines())
                if (line.Caption == name)
                    return true;
            return false;
        });
        latencies.push_back(Ms(Clock::now() - start));
    }
    std::printf("%-58s %9.2f ms  (goal < 100)\n", "watcher latency, file created to line listed, median of 50",
                Median(latencies));
    MainWin = nullptr;
    Config = nullptr;
}

// Time from the start of a program to its visible window with the given class.
double TimeToWindow(const std::string& program, const char* windowClass, SIZE_T* peakWorkingSet = nullptr)
{
    auto start = Clock::now();
    HANDLE process = StartProgram(program, "");
    DWORD pid = ::GetProcessId(process);
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = ::FindWindowA(windowClass, nullptr);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            return window != nullptr && owner == pid && ::IsWindowVisible(window);
        },
        std::chrono::seconds(60));
    double elapsed = Ms(Clock::now() - start);
    if (peakWorkingSet != nullptr) {
        PROCESS_MEMORY_COUNTERS memory{};
        ::GetProcessMemoryInfo(process, &memory, sizeof(memory));
        *peakWorkingSet = memory.PeakWorkingSetSize;
    }
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process, 30000);
    ::CloseHandle(process);
    return elapsed;
}

void StoreMachineSettings(const std::string& repository)
{
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    machine.OpenKey(ProductKeyPath, true);
    machine.WriteString("Repository", repository);
    machine.WriteString("Java Path", StubsFolder());
}

void BenchStartUp(const std::string& root)
{
    const std::string thousand = root + "startup\\";
    FillRepository(thousand, 1000);
    StoreMachineSettings(thousand);
    const std::string empty = win::ProgramFolder() + "emptywindow.exe";
    const std::string gridlark = DistFolder() + "gridlark.exe";
    std::vector<double> figures, floors;
    for (int i = 0; i < 5; ++i) {
        floors.push_back(TimeToWindow(empty, "EmptyWindow"));
        figures.push_back(TimeToWindow(gridlark, "TMainWin"));
    }
    Report("start-up to a shown main window, 1,000 files", Median(figures), Median(floors), 1.5);

    const std::string tenThousand = root + "refill\\";
    StoreMachineSettings(tenThousand);
    SIZE_T peak = 0, floorPeak = 0;
    TimeToWindow(gridlark, "TMainWin", &peak);
    TimeToWindow(empty, "EmptyWindow", &floorPeak);
    std::printf("%-58s %9.1f MB  floor %9.1f MB  (goal < 30)\n", "gridlark.exe peak working set with 10,000 lines",
                peak / 1048576.0, floorPeak / 1048576.0);
}

std::string WriteBigCollection(const std::string& path, std::size_t recordSize, int records)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    for (int i = 0; i < records; ++i) {
        RecordBuilder r(recordSize);
        r.Head("B" + std::to_string(i % 97), "Bench puzzle " + std::to_string(i));
        if (recordSize == puzzles::layout::kCrosswordRecordSize)
            r.Int16(puzzles::layout::kClueCount, 40);
        else
            r.Int16(puzzles::layout::kWordCount, 40);
        DWORD written = 0;
        ::WriteFile(h, r.Bytes().data(), static_cast<DWORD>(r.Bytes().size()), &written, nullptr);
    }
    ::CloseHandle(h);
    return path;
}

// The floor: read each record and write a file of the puzzle's size with plain calls.
void PlainCopy(const std::string& collection, std::size_t recordSize, int records, const std::string& folder,
               std::size_t outputSize)
{
    std::vector<char> record(recordSize), output(outputSize, 'x');
    for (int i = 0; i < records; ++i) {
        HANDLE in = ::CreateFileA(collection.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(i) * static_cast<LONGLONG>(recordSize);
        ::SetFilePointerEx(in, at, nullptr, FILE_BEGIN);
        DWORD done = 0;
        ::ReadFile(in, record.data(), static_cast<DWORD>(recordSize), &done, nullptr);
        ::CloseHandle(in);
        std::string name = folder + "Plain " + std::to_string(i) + ".out";
        HANDLE out = ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::WriteFile(out, output.data(), static_cast<DWORD>(output.size()), &done, nullptr);
        ::CloseHandle(out);
    }
}

void BenchImport(const std::string& root)
{
    constexpr int kRecords = 2000;
    struct Kind {
        const char* name;
        std::size_t recordSize;
        std::size_t outputSize;
    };
    const Kind kinds[] = {{"cw3", puzzles::layout::kCrosswordRecordSize, 2532 + 25 + 40 * 18},
                          {"ws3", puzzles::layout::kWordSearchRecordSize, 2517 + 25 + 40 * 12}};
    TConfig config;
    Config = &config;
    for (const auto& kind : kinds) {
        const std::string collection = WriteBigCollection(root + "bench." + kind.name, kind.recordSize, kRecords);
        const std::string repository = root + "import-" + kind.name + "\\";
        const std::string plain = root + "plain-" + kind.name + "\\";
        win::ForceDirectories(repository);
        win::ForceDirectories(plain);
        config.SetRepository(repository);
        TfrmImport dialog;
        dialog.CreateModeless(nullptr);
        dialog.LoadCollection(collection);
        ::SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_IMPORT_SELECT, BN_CLICKED), 0);
        auto start = Clock::now();
        dialog.btnOKClick();
        double import = Ms(Clock::now() - start);
        start = Clock::now();
        PlainCopy(collection, kind.recordSize, kRecords, plain, kind.outputSize);
        double floor = Ms(Clock::now() - start);
        std::string what = std::string("import of 2,000 records of a .") + kind.name + " (total)";
        Report(what.c_str(), import, floor, 1.5);
        std::printf("%-58s %9.3f ms\n", "  per record", import / kRecords);
        RemoveTree(repository);
        RemoveTree(plain);
        ::DeleteFileA(collection.c_str());
    }
    Config = nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    const std::string only = argc > 1 ? argv[1] : "";
    TempFolder root;
    ClearProductKeys();
    if (only.empty() || only == "list") {
        BenchRefillAndLatency(root.Path());
        BenchStartUp(root.Path());
    }
    if (only.empty() || only == "import")
        BenchImport(root.Path());
    ClearProductKeys();
    return 0;
}
