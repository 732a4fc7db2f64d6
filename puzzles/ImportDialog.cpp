#include "puzzles/ImportDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>

#include "core/Text.h"
#include "puzzles/CollectionFiles.h"
#include "core/FileNames.h"
#include "res/resource.h"
#include "win/Messages.h"
#include "win/Files.h"
#include "ui/Fonts.h"
#include "win/Paths.h"
#include "win/SortKeys.h"

namespace {

constexpr const char* kErrorCaption = "Error";
constexpr const char* kReadError = "The following error occurred while attempting to read the puzzle:\r\n";
constexpr const char* kExportError = "The following error occurred while attempting to export the puzzle:\r\n";
constexpr const char* kListFont = "Courier New";
constexpr int kListFontPoints = 8;
constexpr auto kProgressInterval = std::chrono::milliseconds(50);
constexpr auto kServeInterval = std::chrono::milliseconds(30);
// The height, in dialog units, that the list gives up to the progress line.
constexpr int kProgressLineHeight = 14;
// Controls that take no input while an import runs; Cancel stays live.
constexpr int kIdleControls[] = {IDC_IMPORT_LIST, IDC_IMPORT_SELECT, IDC_IMPORT_CLEAR, IDC_IMPORT_OK};

// A count with the user's digit grouping: "2,000".
std::string GroupedNumber(std::size_t value)
{
    char separator[8] = ",";
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof(separator));
    NUMBERFMTA format{};
    format.Grouping = 3;
    format.lpDecimalSep = const_cast<char*>(".");
    format.lpThousandSep = separator;
    format.NegativeOrder = 1;
    char text[64] = {};
    const std::string digits = std::to_string(value);
    if (::GetNumberFormatA(LOCALE_USER_DEFAULT, 0, digits.c_str(), &format, text, sizeof(text)) == 0)
        return digits;
    return text;
}

// The entries in the list's own order, found once from sort keys: inserting each line at its
// sorted place costs thousands of comparisons in a big collection. Numbers go by value
// ("Puzzle 2" before "Puzzle 10"); case does not count.
std::vector<std::size_t> ListOrder(const std::vector<puzzles::CollectionEntry>& entries)
{
    std::vector<std::string> keys(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        keys[i] = win::NaturalOrderKey(entries[i].DisplayText);
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    return order;
}

}  // namespace

ImportDialog::ImportDialog(std::string repository)
    : win::Dialog(IDD_IMPORT, "Importing.htm"), repository_(std::move(repository))
{
}

win::OpenFileDialog ImportDialog::CollectionFileDialog()
{
    return win::OpenFileDialog("Import Puzzle(s)", {{"Puzzle Files (*.cw3, *.ws3)", "*.cw3;*.ws3"},
                                                    {"Crossword Puzzles (*.cw3)", "*.cw3"},
                                                    {"Word Search Puzzles (*.ws3)", "*.ws3"},
                                                    {"All Files (*.*)", "*.*"}});
}

HWND ImportDialog::List() const { return Item(IDC_IMPORT_LIST); }

void ImportDialog::SetEnabled(int id, bool enabled) { ::EnableWindow(Item(id), enabled ? TRUE : FALSE); }

INT_PTR ImportDialog::ShowModalFor(HWND owner, const std::string& path)
{
    pendingPath_ = path;
    return ShowModal(owner);
}

bool ImportDialog::OnCreate()
{
    CenterOverOwner();
    listFont_.reset(win::CreatePointFont(kListFont, kListFontPoints, FIXED_PITCH | FF_MODERN));
    ::SendMessageA(List(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
    collectionTip_.Attach(Item(IDC_IMPORT_COLLECTION));
    if (!pendingPath_.empty()) {
        LoadCollection(pendingPath_);
        // Shown at once, not when the queue first runs dry: the work waiting there (the first paint
        // of a main window that has just started) comes after the dialog.
        ::ShowWindow(Handle(), SW_SHOW);
    }
    return true;
}

void ImportDialog::LoadCollection(const std::string& path)
{
    win::HourglassCursor hourglass;
    HWND list = List();
    win::RedrawSuspended suspended(list);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    entries_.clear();
    const std::string extension = text::ExtractFileExt(path);
    if (const puzzles::KindTraits* traits = puzzles::KindOfCollectionExtension(extension)) {
        kind_ = traits->kind;
        entries_ = puzzles::ListCollection(path, traits->recordSize);
    }
    ::SendMessageA(list, LB_INITSTORAGE, entries_.size(), entries_.size() * 64);
    for (std::size_t i : ListOrder(entries_)) {
        auto line = ::SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(entries_[i].DisplayText.c_str()));
        if (line >= 0)
            ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(i));
    }
    collectionPath_ = path;
    // Named above the list, which matters when several imports wait their turn.
    ::SetDlgItemTextA(Handle(), IDC_IMPORT_COLLECTION, text::ExtractFileName(path).c_str());
    collectionTip_.SetText(path);
    SetEnabled(IDC_IMPORT_SELECT, ::SendMessageA(list, LB_GETCOUNT, 0, 0) > 0);
}

void ImportDialog::OnSelectionChanged()
{
    const auto selected = ::SendMessageA(List(), LB_GETSELCOUNT, 0, 0);
    const auto count = ::SendMessageA(List(), LB_GETCOUNT, 0, 0);
    SetEnabled(IDC_IMPORT_SELECT, selected != count);
    SetEnabled(IDC_IMPORT_CLEAR, selected > 0);
}

void ImportDialog::OnSelectAll()
{
    ::SendMessageA(List(), LB_SETSEL, TRUE, -1);
    SetEnabled(IDC_IMPORT_SELECT, false);
    SetEnabled(IDC_IMPORT_CLEAR, true);
}

void ImportDialog::OnClear()
{
    ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
    SetEnabled(IDC_IMPORT_SELECT, true);
    SetEnabled(IDC_IMPORT_CLEAR, false);
}

// The entries of the selected lines, in list order.
std::vector<std::size_t> ImportDialog::SelectedEntries() const
{
    std::vector<std::size_t> selected;
    HWND list = List();
    const auto count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT line = 0; line < count; ++line) {
        if (::SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(line), 0) <= 0)
            continue;
        const auto entry = static_cast<std::size_t>(::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(line), 0));
        if (entry < entries_.size())
            selected.push_back(entry);
    }
    return selected;
}

// The display text, or, when this import has already written a puzzle of that name (compared
// without regard to case), the first free numbered form of it.
std::string ImportDialog::NameFor(const std::string& displayText) const
{
    return puzzles::FirstFreeName(displayText,
                                  [this](const std::string& name) { return written_.count(win::UpperCase(name)) > 0; });
}

void ImportDialog::OnOk()
{
    const std::vector<std::size_t> selected = SelectedEntries();
    if (selected.empty())
        return;
    win::HourglassCursor hourglass;
    BeginImport();
    win::ScopeExit ended([this] { EndImport(); });
    auto lastServed = std::chrono::steady_clock::now();
    for (std::size_t done = 0; done < selected.size() && !stopRequested_; ++done) {
        const puzzles::CollectionEntry& entry = entries_[selected[done]];
        const std::string folder = text::IncludeTrailingBackslash(repository_);
        const std::string name = NameFor(entry.DisplayText);
        const Outcome outcome = kind_ == Kind::Crossword ? ExportCrossword(entry.RecordIndex, folder, name)
                                                         : ExportWordSearch(entry.RecordIndex, folder, name);
        if (outcome == Outcome::Written && written_.insert(win::UpperCase(name)).second)
            imported_.push_back(name);
        if (outcome == Outcome::Stopped)
            stopRequested_ = true;
        ShowProgress(done + 1, selected.size());
        // Each look at the message queue is a call into the system of its own: a few dozen a
        // second keep the windows painted and Cancel live without slowing the import.
        if (const auto now = std::chrono::steady_clock::now(); now - lastServed >= kServeInterval) {
            ServeDuringImport();
            lastServed = now;
        }
    }
    CommitReplacements();
}

void ImportDialog::BeginImport()
{
    importing_ = true;
    stopRequested_ = false;
    written_.clear();
    imported_.clear();
    replaced_ = 0;
    importStarted_ = std::chrono::steady_clock::now();
    // A killed import may have left temporary files behind.
    win::RemoveStaleTemporaryFiles(repository_);
    for (int id : kIdleControls)
        SetEnabled(id, false);
    ::SetFocus(Item(IDCANCEL));
}

void ImportDialog::EndImport()
{
    importing_ = false;
    // On the way out of a failure, what was written still takes its place.
    batch_.reset();
    win::RemoveStaleTemporaryFiles(repository_);
}

void ImportDialog::ShowProgress(std::size_t done, std::size_t total)
{
    const auto now = std::chrono::steady_clock::now();
    if (!progressShown_) {
        if (now - importStarted_ < progressDelay_)
            return;
        // The list gives up its bottom strip to the progress line.
        RECT strip{0, 0, 0, kProgressLineHeight};
        ::MapDialogRect(Handle(), &strip);
        for (int id : {IDC_IMPORT_PANEL, IDC_IMPORT_LIST}) {
            RECT bounds{};
            ::GetWindowRect(Item(id), &bounds);
            ::SetWindowPos(Item(id), nullptr, 0, 0, bounds.right - bounds.left,
                           bounds.bottom - bounds.top - strip.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ::SendMessageA(Item(IDC_IMPORT_PROGRESS), PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
        ::ShowWindow(Item(IDC_IMPORT_PROGRESS), SW_SHOWNA);
        ::ShowWindow(Item(IDC_IMPORT_PROGRESS_TEXT), SW_SHOWNA);
        progressShown_ = true;
    } else if (now - progressShownAt_ < kProgressInterval && done != total) {
        return;
    }
    progressShownAt_ = now;
    const std::string text = GroupedNumber(done) + " of " + GroupedNumber(total);
    ::SetWindowTextA(Item(IDC_IMPORT_PROGRESS_TEXT), text.c_str());
    ::SendMessageA(Item(IDC_IMPORT_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

// Serves what a long import must keep alive: paints of every window, and the dialog's own input,
// so that Cancel and Esc can stop it. Everything else waits for the import's end, the main
// window's refill requests among it: a refill per puzzle would make the import quadratic.
void ImportDialog::ServeDuringImport()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        ::DispatchMessageA(&msg);
    while (::PeekMessageA(&msg, Handle(), 0, 0, PM_REMOVE)) {
        if (!::IsDialogMessageA(Handle(), &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

// Cancel, Esc and the close box during an import stop it after the puzzle in progress; the
// dialog then closes as after OK.
bool ImportDialog::CanClose(INT_PTR)
{
    if (!importing_)
        return true;
    stopRequested_ = true;
    return false;
}

template <typename ReadFn, typename WriteFn>
ImportDialog::Outcome ImportDialog::Export(std::uint32_t recordIndex, const std::string& folder,
                                           const std::string& name, ReadFn read, WriteFn write)
{
    decltype(read(collectionPath_, recordIndex)) record;
    try {
        record = read(collectionPath_, recordIndex);
    } catch (const io::IoError& error) {
        return ShowError(kReadError, error) ? Outcome::Failed : Outcome::Stopped;
    }
    try {
        // The name comes from the collection: it must not lead out of the folder.
        if (!puzzles::IsSafeFileName(name))
            throw io::IoError(puzzles::kInvalidNameError);
        write(folder + name, record);
    } catch (const io::IoError& error) {
        const bool goOn = error.Code() == puzzles::kInvalidNameError
                              ? ShowErrorText(kExportError, puzzles::RefusedNameText(name))
                              : ShowError(kExportError, error);
        return goOn ? Outcome::Failed : Outcome::Stopped;
    }
    return Outcome::Written;
}

ImportDialog::Outcome ImportDialog::ExportCrossword(std::uint32_t recordIndex, const std::string& folder,
                                                    const std::string& name)
{
    return Export(recordIndex, folder, name, puzzles::ReadCrosswordRecord,
                  [this](const std::string& path, const puzzles::CrosswordRecord& record) {
                      WritePuzzle(path + puzzles::TraitsOf(Kind::Crossword).extension,
                                  puzzles::CrosswordFileBytes(puzzles::MakeCrosswordPuzzle(record)));
                  });
}

ImportDialog::Outcome ImportDialog::ExportWordSearch(std::uint32_t recordIndex, const std::string& folder,
                                                     const std::string& name)
{
    return Export(recordIndex, folder, name, puzzles::ReadWordSearchRecord,
                  [this](const std::string& path, const puzzles::WordSearchRecord& record) {
                      WritePuzzle(path + puzzles::TraitsOf(Kind::WordSearch).extension,
                                  puzzles::WordSearchFileBytes(puzzles::MakeWordSearchPuzzle(record)));
                  });
}

// A file of the same name and content stays as it is; one of other content is replaced, and goes
// to the Recycle Bin with the others when the import ends.
void ImportDialog::WritePuzzle(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    if (!batch_)
        batch_ = std::make_unique<win::ReplacingBatch>(text::ExtractFilePath(path));
    if (batch_->Write(path, bytes.data(), static_cast<DWORD>(bytes.size())) == win::ReplacingBatch::Result::Replaced)
        ++replaced_;
}

// The replaced files go to the Recycle Bin in one operation, and the new ones take their place.
void ImportDialog::CommitReplacements()
{
    if (!batch_)
        return;
    auto lastServed = std::chrono::steady_clock::now();
    try {
        // The dialog stays painted meanwhile; a stop can no longer be taken once files are recycled.
        batch_->Commit([&] {
            if (const auto now = std::chrono::steady_clock::now(); now - lastServed >= kServeInterval) {
                ServeDuringImport();
                lastServed = now;
            }
        });
    } catch (const io::IoError& error) {
        ShowError(kExportError, error);
    }
}

// The error box: OK goes on with the next puzzle, Cancel stops the import. Answers whether to go on.
bool ImportDialog::ShowError(const char* firstLine, const io::IoError& error)
{
    return ShowErrorText(firstLine, error.what());
}

bool ImportDialog::ShowErrorText(const char* firstLine, const std::string& text)
{
    const std::string message = firstLine + text;
    return win::ShowMessage(Handle(), message, kErrorCaption, MB_ICONERROR | MB_OKCANCEL) != IDCANCEL;
}

bool ImportDialog::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result)
{
    // The hourglass stays over the dialog while an import runs.
    if (message == WM_SETCURSOR && importing_) {
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        result = TRUE;
        ::SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, TRUE);
        return true;
    }
    return false;
}

bool ImportDialog::OnCommand(int id, int code, HWND control)
{
    switch (id) {
        case IDC_IMPORT_LIST:
            if (code == LBN_SELCHANGE)
                OnSelectionChanged();
            return true;
        case IDC_IMPORT_SELECT:
            OnSelectAll();
            return true;
        case IDC_IMPORT_CLEAR:
            OnClear();
            return true;
        case IDC_IMPORT_OK:
            if (!importing_) {
                OnOk();
                RequestClose(IDOK);
            }
            return true;
        case IDOK:
            // Enter: nothing marks OK as the default, and an import replaces files.
            return true;
        default:
            return win::Dialog::OnCommand(id, code, control);
    }
}
