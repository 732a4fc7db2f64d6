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
#include <thread>
#include <vector>

#include "app/MainWindow.h"
#include "jre/DriveScanDialog.h"
#include "win/LazyApi.h"
#include "puzzles/CollectionFiles.h"
#include "puzzles/ImportDialog.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "tests/native/RecordBuilder.h"
#include "tests/win/TestSupport.h"
#include "core/Text.h"
#include "win/Paths.h"
#include "win/SortKeys.h"
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

// The big repository: made by scripts/bench with plain Linux calls (made here file by file, every
// new name would cost a scan of the growing folder), else 10,000 files made here.
std::string BigRepository(const std::string& root, std::string& label)
{
    const std::string given = win::EnvironmentVariable("GRIDLARK_BENCH_BIG");
    if (!given.empty() && win::DirectoryExists(given)) {
        label = std::to_string(BarePass(text::IncludeTrailingBackslash(given)) - 2);
        return text::IncludeTrailingBackslash(given);
    }
    const std::string big = root + "refill\\";
    FillRepository(big, 10000);
    label = "10000";
    return big;
}

bool Listed(const MainWindow& window, const std::string& caption)
{
    for (std::size_t row = 0; row < window.Model().Shown(); ++row)
        if (window.Model().At(row).Caption == caption)
            return true;
    return false;
}

// The value that the given share of the values does not exceed (0.95: the 95th percentile).
double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// Time from the last file of a burst created to the list showing it, one figure a round.
std::vector<double> ListingLatencies(const MainWindow& window, const std::string& folder, int rounds, int burst)
{
    std::vector<double> latencies;
    for (int round = 0; round < rounds; ++round) {
        std::string last;
        for (int i = 0; i < burst; ++i) {
            last = "Latency " + std::to_string(round) + "-" + std::to_string(i);
            WriteFileText(folder + last + ".JGF", "x");
        }
        auto start = Clock::now();
        WaitUntil([&] { return Listed(window, last); });
        latencies.push_back(Ms(Clock::now() - start));
    }
    return latencies;
}

// Time from a file renamed to the list showing its new name, one figure a round; each file gets
// its old name back before the next round.
std::vector<double> RenameLatencies(const MainWindow& window, const std::string& folder, int rounds)
{
    std::vector<double> latencies;
    for (int round = 0; round < rounds; ++round) {
        char old[32];
        std::snprintf(old, sizeof(old), "Puzzle %05d", 100 + round);
        const std::string renamed = "Renamed " + std::to_string(round);
        auto start = Clock::now();
        ::MoveFileA((folder + old + ".JGF").c_str(), (folder + renamed + ".JGF").c_str());
        WaitUntil([&] { return Listed(window, renamed); });
        latencies.push_back(Ms(Clock::now() - start));
        ::MoveFileA((folder + renamed + ".JGF").c_str(), (folder + old + ".JGF").c_str());
        WaitUntil([&] { return Listed(window, old); });
    }
    return latencies;
}

// Typing in the search field, clicking headers and refilling with both set, as the user meets
// them: each until the list has been drawn anew, with the main window open on the big folder.
void BenchFindAndSort(MainWindow& window, const std::string& count)
{
    HWND list = window.ListView();
    const auto redrawn = [&] { ::UpdateWindow(list); };
    const double plain = MedianOf(9, [&] {
        window.RefreshPuzzleList();
        redrawn();
    });
    std::vector<double> typing;
    for (int round = 0; round < 3; ++round) {
        for (const char* text : {"p", "pu", "puz", "puzz", "puzzl", "puzzle", "puzzle ", "puzzle 1", "puzzle 12"}) {
            const auto start = Clock::now();
            ::SetWindowTextA(window.SearchField(), text);
            redrawn();
            typing.push_back(Ms(Clock::now() - start));
        }
        ::SetWindowTextA(window.SearchField(), "");
    }
    std::printf("%-58s %9.2f ms  (goal <= 30)\n",
                ("keystroke in the search field to the list redrawn, " + count).c_str(), Median(typing));
    for (const auto& [column, name] : {std::pair<int, const char*>{0, "name"}, {2, "Modified"}}) {
        const double sort = MedianOf(5, [&] {
            ClickColumn(window.Handle(), window.ListView(), column);
            redrawn();
        });
        std::printf("%-58s %9.2f ms  (goal <= 150)\n", ("sort by " + std::string(name) + ", " + count).c_str(), sort);
    }
    ::SetWindowTextA(window.SearchField(), "1");
    ClickColumn(window.Handle(), window.ListView(), 0);
    const double both = MedianOf(9, [&] {
        window.RefreshPuzzleList();
        redrawn();
    });
    Report(("refill with a filter and a sort, " + count + " (plain refill floor)").c_str(), both, plain, 1.3);
    ::SetWindowTextA(window.SearchField(), "");
}

// Sorting the folder's lines by name as Explorer orders names (system sort keys, made on the
// first sort and kept) against the natural order of the folded names, each on fresh lines.
void BenchNameOrder(const std::string& folder, const std::string& count)
{
    const std::vector<PuzzleLine> lines = puzzles::ListPuzzleFiles(folder).lines;
    const auto sortOnce = [&](bool systemOrder) {
        PuzzleListModel model;
        if (systemOrder)
            model.SetNameKeyMaker([](const std::string& caption) { return win::NaturalOrderKey(caption); });
        model.SetLines(lines);
        const auto start = Clock::now();
        model.SetSort({SortColumn::Name, false});
        return Ms(Clock::now() - start);
    };
    std::vector<double> system, natural;
    for (int round = 0; round < 5; ++round) {
        system.push_back(sortOnce(true));
        natural.push_back(sortOnce(false));
    }
    Report(("sort " + count + " names in the system's order (natural order floor)").c_str(), Median(system),
           Median(natural), 2.0);
    std::printf("%-58s %9.2f ms  (goal <= 150)\n", "  the same in all", Median(system));
}

// Writes the files of a burst into the folder, then deletes them; answers the time of the writes,
// and of the wait for done when given, which is asked until it holds.
double WriteBurst(const std::string& folder, int files, const std::function<bool()>& done = nullptr)
{
    const auto start = Clock::now();
    for (int i = 0; i < files; ++i)
        WriteFileText(folder + "Burst " + std::to_string(i) + ".JGF", "x");
    if (done)
        WaitUntil(done, std::chrono::seconds(60));
    const double took = Ms(Clock::now() - start);
    for (int i = 0; i < files; ++i)
        ::DeleteFileA((folder + "Burst " + std::to_string(i) + ".JGF").c_str());
    return took;
}

void BenchRefillAndLatency(const std::string& root)
{
    std::string count;
    const std::string big = BigRepository(root, count);
    Settings config;
    config.JavaPath = StubsFolder();
    config.SetRepository(big);
    config.MainWindowWidth = 600;
    config.MainWindowHeight = 400;
    config.Column1Width = 250;
    config.Column2Width = 150;
    constexpr int kBurstFiles = 2000;
    std::vector<double> alone;
    for (int round = 0; round < 3; ++round)
        alone.push_back(WriteBurst(big, kBurstFiles));
    {
        MainWindow window(config);
        window.Create();
        window.Show();
        WaitUntil([&] { return !window.Listing(); }, std::chrono::seconds(60));
        const std::size_t before = window.Model().Total();
        std::vector<double> withWindow;
        for (int round = 0; round < 3; ++round) {
            withWindow.push_back(
                WriteBurst(big, kBurstFiles, [&] { return window.Model().Total() == before + kBurstFiles; }));
            WaitUntil([&] { return window.Model().Total() == before; }, std::chrono::seconds(60));
        }
        Report(("2,000 files written into " + count + ", window open until listed (no window)").c_str(),
               Median(withWindow), Median(alone), 1.1);
        double refill = MedianOf(9, [&] { window.RefreshPuzzleList(); });
        double bare = MedianOf(9, [&] { BarePass(big); });
        Report(("refill of " + count + " puzzle files (bare listing floor)").c_str(), refill, bare, 2.0);
        BenchFindAndSort(window, count + " files");
        BenchNameOrder(big, count);
        WaitUntil([] { return false; }, std::chrono::milliseconds(700));
        const auto added = ListingLatencies(window, big, 15, 1);
        std::printf("%-58s %9.2f ms  (goal <= 100)\n",
                    ("one file added to " + count + ", to its line shown, median of 15").c_str(), Median(added));
        std::printf("%-58s %9.2f ms  (goal <= 200)\n", "  its 95th percentile", Percentile(added, 0.95));
        std::printf("%-58s %9.2f ms  (goal <= 100)\n",
                    ("one file renamed in " + count + ", to its line shown, median of 15").c_str(),
                    Median(RenameLatencies(window, big, 15)));
        for (int round = 0; round < 15; ++round)
            ::DeleteFileA((big + "Latency " + std::to_string(round) + "-0.JGF").c_str());
    }
    const std::string small = root + "latency\\";
    win::ForceDirectories(small);
    config.SetRepository(small);
    MainWindow window(config);
    window.Create();
    window.Show();
    WaitUntil([&] { return !window.Listing(); }, std::chrono::seconds(60));
    WaitUntil([] { return false; }, std::chrono::milliseconds(700));
    std::printf("%-58s %9.2f ms  (goal < 100)\n", "watcher latency after a burst of 20 files, median of 20",
                Median(ListingLatencies(window, small, 20, 20)));
}

// Time from the start of a program to the moment ready finds the window it waits for; that window
// is then closed, and the program's main window too when it is another.
double TimeUntilReady(const std::string& program, const std::string& arguments,
                      const std::function<HWND(DWORD pid)>& ready, SIZE_T* peakWorkingSet = nullptr)
{
    auto start = Clock::now();
    HANDLE process = StartProgram(program, arguments);
    const DWORD pid = ::GetProcessId(process);
    HWND window = nullptr;
    WaitUntil([&] { return (window = ready(pid)) != nullptr; }, std::chrono::seconds(60));
    double elapsed = Ms(Clock::now() - start);
    if (peakWorkingSet != nullptr) {
        PROCESS_MEMORY_COUNTERS memory{};
        ::GetProcessMemoryInfo(process, &memory, sizeof(memory));
        *peakWorkingSet = memory.PeakWorkingSetSize;
    }
    HWND owner = ::GetWindow(window, GW_OWNER);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (owner != nullptr) {
        WaitUntil([&] { return !::IsWindow(window); });
        ::PostMessageA(owner, WM_CLOSE, 0, 0);
    }
    ::WaitForSingleObject(process, 30000);
    ::CloseHandle(process);
    return elapsed;
}

// The visible window of the process with that class and, when given, caption.
HWND VisibleWindowOf(DWORD pid, const char* windowClass, const char* caption = nullptr)
{
    HWND window = ::FindWindowA(windowClass, caption);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    return window != nullptr && owner == pid && ::IsWindowVisible(window) ? window : nullptr;
}

// Time from the start of a program to its visible window with the given class, and, when lines
// are expected, to its list holding them.
double TimeToWindow(const std::string& program, const char* windowClass, SIZE_T* peakWorkingSet = nullptr,
                    int expectedLines = 0)
{
    return TimeUntilReady(
        program, "",
        [&](DWORD pid) -> HWND {
            HWND window = VisibleWindowOf(pid, windowClass);
            if (window == nullptr)
                return nullptr;
            return expectedLines == 0 || ListView_GetItemCount(FindListView(window)) == expectedLines ? window
                                                                                                      : nullptr;
        },
        peakWorkingSet);
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
    Report("start-up to a shown main window, 1,000 files", Median(figures), Median(floors), 1.3);

    std::string count;
    const std::string big = BigRepository(root, count);
    StoreMachineSettings(big);
    {
        // The big list starts sorted by name, with its Modified column.
        win::RegistryAccessor user(HKEY_CURRENT_USER);
        user.OpenKey(ProductKeyPath, true);
        user.WriteInteger(config_names::kListSort, SortOrder{SortColumn::Name, false}.Stored());
    }
    const int lines = std::stoi(count);
    figures.clear();
    for (int i = 0; i < 3; ++i)
        figures.push_back(TimeToWindow(gridlark, "TMainWin"));
    Report(("start-up to a shown main window, " + count + " files").c_str(), Median(figures), Median(floors), 1.3);
    figures.clear();
    std::vector<SIZE_T> peaks;
    for (int i = 0; i < 3; ++i) {
        SIZE_T peak = 0;
        figures.push_back(TimeToWindow(gridlark, "TMainWin", &peak, lines));
        peaks.push_back(peak);
    }
    std::sort(peaks.begin(), peaks.end());
    std::printf("%-58s %9.2f ms  floor %9.2f ms  beyond %7.2f ms  (goal <= 500 beyond)\n",
                ("start-up to a shown list of " + count + " files").c_str(), Median(figures), Median(floors),
                Median(figures) - Median(floors));
    SIZE_T floorPeak = 0;
    TimeToWindow(empty, "EmptyWindow", &floorPeak);
    std::printf("%-58s %9.1f MB  floor %9.1f MB  (goal < 45)\n",
                ("gridlark.exe peak working set, " + count + " lines sorted by name").c_str(), peaks[1] / 1048576.0,
                floorPeak / 1048576.0);
}

// variant changes every record's content but not its name: a second collection of the same names.
std::string WriteBigCollection(const std::string& path, std::size_t recordSize, int records, int variant = 0)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    for (int i = 0; i < records; ++i) {
        RecordBuilder r(recordSize);
        r.Head("B" + std::to_string(i % 97), "Bench puzzle " + std::to_string(i));
        if (recordSize == puzzles::layout::kCrosswordRecordSize)
            r.Int16(puzzles::layout::kClueCount, static_cast<std::int16_t>(40 + variant));
        else
            r.Int16(puzzles::layout::kWordCount, static_cast<std::int16_t>(40 + variant));
        DWORD written = 0;
        ::WriteFile(h, r.Bytes().data(), static_cast<DWORD>(r.Bytes().size()), &written, nullptr);
    }
    ::CloseHandle(h);
    return path;
}

// Reads record i of the collection with plain calls, as the import does: open, seek, read, close.
void PlainReadRecord(const std::string& collection, std::size_t recordSize, int i, std::vector<char>& record)
{
    HANDLE in = ::CreateFileA(collection.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(i) * static_cast<LONGLONG>(recordSize);
    ::SetFilePointerEx(in, at, nullptr, FILE_BEGIN);
    DWORD done = 0;
    ::ReadFile(in, record.data(), static_cast<DWORD>(recordSize), &done, nullptr);
    ::CloseHandle(in);
}

// Floor one: each record read, then the same safe sequence as the import with bare calls: a new
// temporary file in a staging folder inside the target folder, written, flushed, closed and
// moved to its new name.
void BareSafeCopy(const std::string& collection, std::size_t recordSize, int records, const std::string& folder,
                  std::size_t outputSize)
{
    std::vector<char> record(recordSize), output(outputSize, 'x');
    const std::string staging = folder + "~staging\\";
    ::CreateDirectoryA(staging.c_str(), nullptr);
    for (int i = 0; i < records; ++i) {
        PlainReadRecord(collection, recordSize, i, record);
        const std::string temporary = staging + "t" + std::to_string(i) + ".tmp";
        HANDLE out = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        DWORD done = 0;
        ::WriteFile(out, output.data(), static_cast<DWORD>(output.size()), &done, nullptr);
        ::FlushFileBuffers(out);
        ::CloseHandle(out);
        const std::string name = folder + "Safe " + std::to_string(i) + ".out";
        ::MoveFileExA(temporary.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    ::RemoveDirectoryA(staging.c_str());
}

// Floor two: each record read, then a plain write of a file of the puzzle's size.
void PlainCopy(const std::string& collection, std::size_t recordSize, int records, const std::string& folder,
               std::size_t outputSize)
{
    std::vector<char> record(recordSize), output(outputSize, 'x');
    for (int i = 0; i < records; ++i) {
        PlainReadRecord(collection, recordSize, i, record);
        std::string name = folder + "Plain " + std::to_string(i) + ".out";
        HANDLE out = ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done = 0;
        ::WriteFile(out, output.data(), static_cast<DWORD>(output.size()), &done, nullptr);
        ::CloseHandle(out);
    }
}

// One sequential read of the whole file in 1 MiB blocks.
void SequentialRead(const std::string& path)
{
    std::vector<char> block(1 << 20);
    HANDLE in = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD done = 0;
    while (::ReadFile(in, block.data(), static_cast<DWORD>(block.size()), &done, nullptr) && done != 0) {
    }
    ::CloseHandle(in);
}

// The import as the user starts it: the dialog lists the collection, Select All, then OK.
double ImportThroughTheDialog(HWND owner, const std::string& collection, const std::string& repository)
{
    ImportDialog dialog(repository);
    dialog.CreateModeless(owner);
    dialog.LoadCollection(collection);
    ::SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_IMPORT_SELECT, BN_CLICKED), 0);
    auto start = Clock::now();
    ::SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_IMPORT_OK, BN_CLICKED), 0);
    return Ms(Clock::now() - start);
}

struct CollectionKind {
    const char* name;
    std::size_t recordSize;
    std::size_t outputSize;
};
constexpr int kRecords = 2000;
const CollectionKind kKinds[] = {{"cw3", puzzles::layout::kCrosswordRecordSize, 2532 + 25 + 40 * 18},
                                 {"ws3", puzzles::layout::kWordSearchRecordSize, 2517 + 25 + 40 * 12}};

void BenchListing(const std::string& root)
{
    for (const auto& kind : kKinds) {
        const std::string collection = WriteBigCollection(root + "list." + kind.name, kind.recordSize, kRecords);
        SequentialRead(collection);
        ImportDialog dialog(root);
        dialog.CreateModeless(nullptr);
        const double listing = MedianOf(5, [&] { dialog.LoadCollection(collection); });
        const double heads = MedianOf(5, [&] { puzzles::ListCollection(collection, kind.recordSize); });
        const double read = MedianOf(5, [&] { SequentialRead(collection); });
        const std::string what = std::string("listing 2,000 records of a .") + kind.name + " (sequential read floor)";
        std::printf("%-58s %9.2f ms  floor %9.2f ms  ratio %5.2f  (goal <= 0.25)\n", what.c_str(), listing, read,
                    listing / read);
        std::printf("%-58s %9.2f ms\n", "  of which reading the records' heads", heads);
        ::DeleteFileA(collection.c_str());
    }
}

// gridlark.exe --import on a hundred-megabyte collection, to its import dialog listing every
// record, beside the start-up to the main window alone and the dialog's own listing.
void BenchStartUpWithImport(const std::string& root)
{
    const std::string repository = root + "startup-import\\";
    FillRepository(repository, 1000);
    StoreMachineSettings(repository);
    const std::string collection =
        WriteBigCollection(root + "startup.cw3", puzzles::layout::kCrosswordRecordSize, kRecords);
    const std::string gridlark = DistFolder() + "gridlark.exe";
    const auto dialogListed = [](DWORD pid) -> HWND {
        HWND dialog = VisibleWindowOf(pid, "#32770", "Import Puzzle(s)");
        return dialog != nullptr && ::SendDlgItemMessageA(dialog, IDC_IMPORT_LIST, LB_GETCOUNT, 0, 0) == kRecords
                   ? dialog
                   : nullptr;
    };
    ImportDialog dialog(root);
    dialog.CreateModeless(nullptr);
    std::vector<double> withImport, mainOnly, listing;
    for (int i = 0; i < 5; ++i) {
        mainOnly.push_back(TimeToWindow(gridlark, "TMainWin"));
        withImport.push_back(TimeUntilReady(gridlark, "--import \"" + collection + "\"", dialogListed));
        listing.push_back(MedianOf(1, [&] { dialog.LoadCollection(collection); }));
    }
    const double figure = Median(withImport), main = Median(mainOnly), list = Median(listing);
    std::printf("%-58s %9.2f ms\n", "start-up with --import to the listed import dialog", figure);
    std::printf("%-58s %9.2f ms\n", "  start-up to the main window alone", main);
    std::printf("%-58s %9.2f ms\n", "  the dialog's listing of the 2,000 records (139 MB)", list);
    std::printf("%-58s %9.2f ms  ratio %5.2f  (goal <= 1.3)\n", "  beyond the listing, against the main window alone",
                figure - list, main > 0 ? (figure - list) / main : 0);
    ::DeleteFileA(collection.c_str());
}

void BenchImport(const std::string& root)
{
    Settings config;
    config.JavaPath = StubsFolder();
    config.MainWindowWidth = 600;
    config.MainWindowHeight = 400;
    config.Column1Width = 250;
    config.Column2Width = 150;
    for (const auto& kind : kKinds) {
        const std::string collection = WriteBigCollection(root + "bench." + kind.name, kind.recordSize, kRecords);
        const std::string alone = root + "alone-" + kind.name + "\\";
        const std::string withWindow = root + "window-" + kind.name + "\\";
        const std::string safe = root + "safe-" + kind.name + "\\";
        const std::string plain = root + "plain-" + kind.name + "\\";
        for (const auto& folder : {alone, withWindow, safe, plain})
            win::ForceDirectories(folder);

        config.SetRepository(alone);
        const double importAlone = ImportThroughTheDialog(nullptr, collection, alone);

        config.SetRepository(withWindow);
        double endToEnd = 0;
        {
            MainWindow window(config);
            window.Create();
            window.Show();
            WaitUntil([&] { return !window.Listing(); }, std::chrono::seconds(60));
            WaitUntil([] { return false; }, std::chrono::milliseconds(700));
            auto start = Clock::now();
            ImportThroughTheDialog(window.Handle(), collection, withWindow);
            WaitUntil([&] { return window.Model().Shown() == static_cast<std::size_t>(kRecords); },
                      std::chrono::seconds(120));
            endToEnd = Ms(Clock::now() - start);
        }

        auto start = Clock::now();
        BareSafeCopy(collection, kind.recordSize, kRecords, safe, kind.outputSize);
        const double bareSafe = Ms(Clock::now() - start);
        start = Clock::now();
        PlainCopy(collection, kind.recordSize, kRecords, plain, kind.outputSize);
        const double plainWrite = Ms(Clock::now() - start);

        const std::string kindName = std::string(".") + kind.name;
        Report(("import of 2,000 " + kindName + " records, main window open until listed (no-window floor)").c_str(),
               endToEnd, importAlone, 1.2);
        Report(("import of 2,000 " + kindName + " records (bare safe-write floor)").c_str(), importAlone, bareSafe,
               1.2);
        std::printf("%-58s %9.2f ms  floor %9.2f ms  ratio %5.2f\n",
                    ("import of 2,000 " + kindName + " records (plain unsafe write floor)").c_str(), importAlone,
                    plainWrite, importAlone / plainWrite);
        std::printf("%-58s %9.3f ms\n", "  per record, no main window", importAlone / kRecords);
        for (const auto& folder : {alone, withWindow, safe, plain})
            RemoveTree(folder);
        ::DeleteFileA(collection.c_str());
    }
}

// A second import into the same repository: of the same records, which finds every file identical
// and writes none; and of other records of the same names, which replaces every file and sends the
// earlier ones to the Recycle Bin in one operation. Each against the first import of the cycle.
void BenchReimport(const std::string& root)
{
    Settings config;
    const std::string same = WriteBigCollection(root + "same.cw3", puzzles::layout::kCrosswordRecordSize, kRecords);
    const std::string other =
        WriteBigCollection(root + "other.cw3", puzzles::layout::kCrosswordRecordSize, kRecords, 1);
    // The machines are shared: each cycle's second imports are set against its own first import,
    // and the ratios' median is given beside the figures' medians.
    std::vector<double> first, identical, replaced, identicalRatio, replacedRatio;
    for (int run = 0; run < 5; ++run) {
        const std::string repository = root + "reimport-" + std::to_string(run) + "\\";
        win::ForceDirectories(repository);
        config.SetRepository(repository);
        first.push_back(ImportThroughTheDialog(nullptr, same, repository));
        identical.push_back(ImportThroughTheDialog(nullptr, same, repository));
        replaced.push_back(ImportThroughTheDialog(nullptr, other, repository));
        identicalRatio.push_back(identical.back() / first.back());
        replacedRatio.push_back(replaced.back() / first.back());
        RemoveTree(repository);
        RunUnixShell("rm -rf \"$XDG_DATA_HOME/Trash/files\"/* \"$XDG_DATA_HOME/Trash/info\"/*");
    }
    std::printf("%-58s %9.2f ms  floor %9.2f ms  ratio %5.2f  (goal <= 0.5)\n",
                "second import of the same 2,000 .cw3 records (first import)", Median(identical), Median(first),
                Median(identicalRatio));
    std::printf("%-58s %9.2f ms  floor %9.2f ms  ratio %5.2f  (goal <= 1.3)\n",
                "second import of 2,000 other records, same names (first)", Median(replaced), Median(first),
                Median(replacedRatio));
    ::DeleteFileA(same.c_str());
    ::DeleteFileA(other.c_str());
}

// The floor of one examined folder: its two 1 ms sleeps, with the timer resolution raised as the
// scan raises it.
double TwoSleeps()
{
    win::SetTimerResolution(1, true);
    const double perFolder = MedianOf(7,
                                      [] {
                                          for (int i = 0; i < 100; ++i) {
                                              ::Sleep(1);
                                              ::Sleep(1);
                                          }
                                      }) /
                             100;
    win::SetTimerResolution(1, false);
    return perFolder;
}

SIZE_T PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS memory{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    return memory.PeakWorkingSetSize;
}

// Runs the Select JRE dialog's scan over the given roots until it ends, or until stopWhen (asked
// with the number of folders examined so far) says to stop; answers the number examined.
int RunScan(const std::vector<std::string>& roots, const std::function<bool(int)>& stopWhen = nullptr)
{
    int examined = 0;
    bool finished = false;
    DriveScanDialog* running = nullptr;
    DriveScanDialog::Seams seams;
    seams.scan.roots = [roots] { return roots; };
    seams.onNotice = [&](DriveScan::Notice notice, const DriveScan& scanner) {
        examined = static_cast<int>(scanner.FoldersExamined);
        if (notice == DriveScan::ReportProgress && stopWhen && stopWhen(examined))
            running->StopScan();
        finished = finished || notice == DriveScan::ScanFinished;
    };
    DriveScanDialog dialog(std::move(seams));
    running = &dialog;
    dialog.CreateModeless(nullptr);
    WaitUntil([&] { return finished; }, std::chrono::minutes(10));
    return examined;
}

// Runs this program on the folder (a path without blanks) in a process of its own for one part of
// the memory figure; the part answers the growth of its peak working set in kilobytes.
SIZE_T GrowthInAProcessOfItsOwn(const char* part, const std::string& folder)
{
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    win::UniqueHandle process(StartProgram(self, std::string(part) + " " + folder));
    ::WaitForSingleObject(process.get(), 600000);
    DWORD kilobytes = 0;
    ::GetExitCodeProcess(process.get(), &kilobytes);
    return static_cast<SIZE_T>(kilobytes) * 1024;
}

// What the system itself holds while it lists the folder.
int ListingAlone(const std::string& folder)
{
    const SIZE_T before = PeakWorkingSet();
    WIN32_FIND_DATAA entry;
    win::UniqueFindHandle find(::FindFirstFileA((folder + "*").c_str(), &entry));
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileA(find.get(), &entry)) {
    }
    return static_cast<int>((PeakWorkingSet() - before) / 1024);
}

// The scan of the folder, stopped at the second folder examined: then every other subfolder of the
// first waits in the queue.
int ScanWithItsQueue(const std::string& folder)
{
    const SIZE_T before = PeakWorkingSet();
    SIZE_T peak = before;
    RunScan({folder}, [&](int examined) {
        if (examined < 2)
            return false;
        peak = PeakWorkingSet();
        return true;
    });
    return static_cast<int>((peak - before) / 1024);
}

std::size_t SubfoldersOf(const std::string& folder)
{
    std::size_t count = 0;
    WIN32_FIND_DATAA entry;
    win::UniqueFindHandle find(::FindFirstFileA((folder + "*").c_str(), &entry));
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileA(find.get(), &entry))
        count += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && entry.cFileName[0] != '.';
    return count;
}

void BenchScan()
{
    const std::string tree = win::EnvironmentVariable("GRIDLARK_BENCH_SCAN_TREE");
    const std::string wide = win::EnvironmentVariable("GRIDLARK_BENCH_SCAN_WIDE");
    if (tree.empty() || wide.empty()) {
        std::printf("drive scan: no fixture drives given\n");
        return;
    }
    const double floor = TwoSleeps();
    int folders = 0;
    std::vector<double> perFolder;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        folders = RunScan({tree});
        perFolder.push_back(Ms(Clock::now() - start) / std::max(folders, 1));
    }
    std::printf("%-58s %9.3f ms  floor %9.3f ms  ratio %5.2f  (goal <= 1.2)\n",
                ("drive scan, per folder of " + std::to_string(folders) + " (two 1 ms sleeps floor)").c_str(),
                Median(perFolder), floor, Median(perFolder) / floor);

    // Each in a fresh process, so that neither reuses memory the other part left behind.
    const std::size_t queued = SubfoldersOf(wide);
    std::vector<double> growths, listings;
    for (int run = 0; run < 3; ++run) {
        growths.push_back(static_cast<double>(GrowthInAProcessOfItsOwn("scan-queue", wide)));
        listings.push_back(static_cast<double>(GrowthInAProcessOfItsOwn("listing-alone", wide)));
    }
    const double growth = Median(growths), listing = Median(listings);
    const auto bytesAFolder = [&](double bytes) { return queued != 0 ? bytes / static_cast<double>(queued) : 0; };
    std::printf("%-58s %9.1f MB  %6.0f bytes a folder  (goal < 12 MB)\n",
                ("peak working set growth with " + std::to_string(queued) + " folders queued").c_str(),
                growth / 1048576.0, bytesAFolder(growth));
    std::printf("%-58s %9.1f MB  %6.0f bytes a folder\n", "  of it, the system's own listing of that folder",
                listing / 1048576.0, bytesAFolder(listing));
    std::printf("%-58s %9.1f MB  %6.0f bytes a folder  (goal < 12 MB)\n", "  the rest: the scan's queue and its work",
                (growth - listing) / 1048576.0, bytesAFolder(growth - listing));
}

}  // namespace

// The about box as the user opens it over the main window: from the command to a shown box, with
// the stored logo and with logos that would decode slowly.
void BenchAboutBox(const std::string& root)
{
    StoreMachineSettings(root + "about-repository\\");
    Settings config;
    config.Load();
    MainWindow window(config);
    window.Create();
    window.Show();
    PumpMessages();
    const std::string custom = win::ProgramFolder() + "custLogo.jpg";
    const auto openAndClose = [&] {
        std::thread closer([] {
            for (int i = 0; i < 1000; ++i) {
                HWND box = ::FindWindowA("#32770", nullptr);
                if (box != nullptr && ::IsWindowVisible(box)) {
                    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                    return;
                }
                ::Sleep(1);
            }
        });
        ::SendMessageA(window.Handle(), WM_COMMAND, IDM_ABOUT, 0);
        closer.join();
    };
    ::DeleteFileA(custom.c_str());
    const double stored = MedianOf(7, openAndClose);
    const std::pair<const char*, std::string> logos[] = {
        {"about box, custLogo.jpg of 190 progressive scans", SolidJpeg(1024, 1024, 200, 40, 40, 190)},
        {"about box, custLogo.jpg of 4096 x 4096 pixels", SolidJpeg(4096, 4096, 200, 40, 40)},
    };
    for (const auto& [what, bytes] : logos) {
        WriteFileText(custom, bytes);
        const double figure = MedianOf(7, openAndClose);
        std::printf("%-58s %9.2f ms  floor %9.2f ms  beyond %7.2f ms  (goal <= 250 beyond)\n", what, figure, stored,
                    figure - stored);
    }
    ::DeleteFileA(custom.c_str());
    ::DestroyWindow(window.Handle());
    PumpMessages();
}

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    const std::string only = argc > 1 ? argv[1] : "";
    if (only == "listing-alone" && argc > 2)
        return ListingAlone(argv[2]);
    if (only == "scan-queue" && argc > 2)
        return ScanWithItsQueue(argv[2]);
    TempFolder root;
    ClearProductKeys();
    if (only.empty() || only == "list")
        BenchRefillAndLatency(root.Path());
    if (only.empty() || only == "list" || only == "startup")
        BenchStartUp(root.Path());
    if (only.empty() || only == "scan")
        BenchScan();
    if (only.empty() || only == "about")
        BenchAboutBox(root.Path());
    if (only.empty() || only == "import") {
        BenchListing(root.Path());
        BenchImport(root.Path());
        BenchReimport(root.Path());
        BenchStartUpWithImport(root.Path());
    }
    ClearProductKeys();
    return 0;
}
