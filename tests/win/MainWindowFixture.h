// The main window in-process over a temporary repository, shared by the window's test files.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "puzzles/FolderListing.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "tests/native/RecordBuilder.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"

namespace testing_support {

// A main window over a temporary repository, with settings that need no Java notice.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductKeys();
        config_.JavaPath = StubsFolder();
        config_.SetRepository(repository_.Path());
        config_.MainWindowLeft = 40;
        config_.MainWindowTop = 30;
        config_.MainWindowWidth = 600;
        config_.MainWindowHeight = 420;
        config_.Column1Width = 250;
        config_.Column2Width = 150;
        config_.Column3Width = 130;
    }
    void TearDown() override
    {
        window_.reset();
        refillProbe_ = nullptr;
        ClearProductKeys();
    }
    MainWindow& Open()
    {
        window_ = std::make_unique<MainWindow>(*settings_, [this](const std::string& repository) {
            if (refillProbe_)
                refillProbe_();
            return puzzles::ListPuzzleFiles(repository);
        });
        EXPECT_TRUE(window_->Create());
        window_->Show();
        WaitUntil([this] { return !window_->Listing(); }, std::chrono::seconds(5));
        return *window_;
    }
    HWND List() const { return window_->ListView(); }
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        const PuzzleListModel& model = window_->Model();
        for (std::size_t row = 0; row < model.Shown(); ++row)
            captions.push_back(model.At(row).Caption);
        std::sort(captions.begin(), captions.end());
        return captions;
    }
    bool WaitForCaptions(std::vector<std::string> expected, std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        std::sort(expected.begin(), expected.end());
        return WaitUntil([&] { return Captions() == expected; }, timeout);
    }
    // Selects that line alone, as a click does.
    void Select(int item)
    {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(List(), item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    void ClickColumn(int column) { testing_support::ClickColumn(window_->Handle(), List(), column); }
    int Focused() const { return ListView_GetNextItem(List(), -1, LVNI_FOCUSED); }
    std::vector<int> SelectedRows() const
    {
        std::vector<int> rows;
        for (int row = ListView_GetNextItem(List(), -1, LVNI_SELECTED); row >= 0;
             row = ListView_GetNextItem(List(), row, LVNI_SELECTED))
            rows.push_back(row);
        return rows;
    }

    TempFolder repository_;
    Settings config_;
    // The settings the next window opens with.
    Settings* settings_ = &config_;
    // Runs at the start of every refill, on the window's thread.
    std::function<void()> refillProbe_;
    std::unique_ptr<MainWindow> window_;
};

struct DialogSearch {
    DWORD processId;
    HWND found;
};

inline BOOL CALLBACK TakeVisibleDialog(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof(name));
    if (owner != search->processId || !::IsWindowVisible(window) || std::string(name) != "#32770")
        return TRUE;
    search->found = window;
    return FALSE;
}

// The first visible dialog of the process, or none.
inline HWND VisibleDialogOf(DWORD processId)
{
    DialogSearch search{processId, nullptr};
    ::EnumWindows(&TakeVisibleDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible main window of the process, or none.
inline HWND MainWindowOf(DWORD processId)
{
    for (HWND w = ::FindWindowExA(nullptr, nullptr, MainWindow::kClassName, nullptr); w != nullptr;
         w = ::FindWindowExA(nullptr, w, MainWindow::kClassName, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == processId && ::IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// A collection of one puzzle of that title in the folder; answers its path.
inline std::string WriteCollection(const TempFolder& folder, const std::string& name, const char* title, bool crossword)
{
    auto record = crossword ? RecordBuilder::ForCrossword() : RecordBuilder::ForWordSearch();
    const auto bytes = record.Head("K1", title).Bytes();
    WriteFileText(folder / name, std::string(bytes.begin(), bytes.end()));
    return folder / name;
}

// Waits for the import dialog, of any process, with its collection listed; cancels it and waits
// for it to go. Answers the dialog's first line, or nothing when no dialog showed.
inline std::string CancelImportDialog()
{
    HWND found = nullptr;
    if (!WaitUntil([&] {
            found = ::FindWindowA("#32770", "Import Puzzle(s)");
            return found != nullptr && ::IsWindowVisible(found) &&
                   ::SendDlgItemMessageA(found, IDC_IMPORT_LIST, LB_GETCOUNT, 0, 0) > 0;
        }))
        return {};
    // Wide, which another process's list answers as faithfully as this one's.
    wchar_t line[256] = {};
    ::SendDlgItemMessageW(found, IDC_IMPORT_LIST, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    ::PostMessageA(found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WaitUntil([&] { return !::IsWindow(found); });
    return win::AnsiText(line);
}

}  // namespace testing_support
