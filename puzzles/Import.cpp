#include "puzzles/Import.h"

#include <vector>

#include "core/Text.h"
#include "puzzles/CollectionFiles.h"
#include "puzzles/FileNames.h"
#include "res/resource.h"
#include "settings/Configs.h"
#include "win/Fonts.h"

namespace {

constexpr const char* kErrorCaption = "Error";
constexpr const char* kReadError = "The following error occurred while attempting to read the puzzle:\r\n";
constexpr const char* kExportError = "The following error occurred while attempting to export the puzzle:\r\n";
constexpr const char* kListFont = "Courier New";
constexpr int kListFontPoints = 8;

// Serves pending paint requests so that a long import keeps its windows drawn; input waits.
void KeepPainting()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        ::DispatchMessageA(&msg);
}

}  // namespace

TfrmImport::TfrmImport() : win::Dialog(IDD_IMPORT) {}

HWND TfrmImport::List() const { return Item(IDC_IMPORT_LIST); }

void TfrmImport::SetEnabled(int id, bool enabled) { ::EnableWindow(Item(id), enabled ? TRUE : FALSE); }

INT_PTR TfrmImport::ShowModalFor(HWND owner, const std::string& path)
{
    pendingPath_ = path;
    return ShowModal(owner);
}

bool TfrmImport::FormCreate()
{
    listFont_.reset(win::CreatePointFont(kListFont, kListFontPoints, FIXED_PITCH | FF_MODERN));
    ::SendMessageA(List(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
    if (!pendingPath_.empty())
        LoadCollection(pendingPath_);
    return true;
}

void TfrmImport::LoadCollection(const std::string& path)
{
    win::HourglassCursor hourglass;
    HWND list = List();
    win::RedrawSuspended suspended(list);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const std::string extension = text::ExtractFileExt(path);
    std::vector<puzzles::CollectionEntry> entries;
    if (text::EqualsNoCase(extension, ".CW3")) {
        kind_ = Kind::Crossword;
        entries = puzzles::ListCollection(path, puzzles::layout::kCrosswordRecordSize);
    } else if (text::EqualsNoCase(extension, ".WS3")) {
        kind_ = Kind::WordSearch;
        entries = puzzles::ListCollection(path, puzzles::layout::kWordSearchRecordSize);
    }
    for (const auto& entry : entries) {
        auto line = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.DisplayText.c_str()));
        if (line >= 0)
            ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(line), entry.RecordIndex);
    }
    collectionPath_ = path;
    SetEnabled(IDC_IMPORT_SELECT, ::SendMessageA(list, LB_GETCOUNT, 0, 0) > 0);
}

void TfrmImport::lbxPuzzlesClick()
{
    const auto selected = ::SendMessageA(List(), LB_GETSELCOUNT, 0, 0);
    const auto count = ::SendMessageA(List(), LB_GETCOUNT, 0, 0);
    SetEnabled(IDC_IMPORT_SELECT, selected != count);
    SetEnabled(IDC_IMPORT_CLEAR, selected > 0);
}

void TfrmImport::btnSelectClick()
{
    ::SendMessageA(List(), LB_SETSEL, TRUE, -1);
    SetEnabled(IDC_IMPORT_SELECT, false);
    SetEnabled(IDC_IMPORT_CLEAR, true);
}

void TfrmImport::btnClearClick()
{
    ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
    SetEnabled(IDC_IMPORT_SELECT, true);
    SetEnabled(IDC_IMPORT_CLEAR, false);
}

void TfrmImport::btnOKClick()
{
    win::HourglassCursor hourglass;
    HWND list = List();
    const auto count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT line = 0; line < count; ++line) {
        if (::SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(line), 0) <= 0)
            continue;
        const auto length = ::SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(line), 0);
        std::string name(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
        ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(name.data()));
        name.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        const auto index =
            static_cast<std::uint32_t>(::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(line), 0));
        const std::string folder = text::IncludeTrailingBackslash(Config->GetRepository());
        if (kind_ == Kind::Crossword)
            ExportCrossword(index, folder, name);
        else
            ExportWordSearch(index, folder, name);
        KeepPainting();
    }
}

template <typename ReadFn, typename WriteFn>
void TfrmImport::Export(std::uint32_t recordIndex, const std::string& folder, const std::string& name, ReadFn read,
                        WriteFn write)
{
    decltype(read(collectionPath_, recordIndex)) record;
    try {
        record = read(collectionPath_, recordIndex);
    } catch (const io::IoError& error) {
        ShowError(kReadError, error);
        return;
    }
    try {
        // The name comes from the collection: it must not lead out of the folder.
        if (!puzzles::IsSafeFileName(name))
            throw io::IoError(puzzles::kInvalidNameError);
        write(folder + name, record);
    } catch (const io::IoError& error) {
        ShowError(kExportError, error);
    }
}

void TfrmImport::ExportCrossword(std::uint32_t recordIndex, const std::string& folder, const std::string& name)
{
    Export(recordIndex, folder, name, puzzles::ReadCrosswordRecord,
           [](const std::string& path, const puzzles::CrosswordRecord& record) {
               puzzles::WriteCrosswordFile(path + ".JGF", puzzles::MakeCrosswordPuzzle(record));
           });
}

void TfrmImport::ExportWordSearch(std::uint32_t recordIndex, const std::string& folder, const std::string& name)
{
    Export(recordIndex, folder, name, puzzles::ReadWordSearchRecord,
           [](const std::string& path, const puzzles::WordSearchRecord& record) {
               puzzles::WriteWordSearchFile(path + ".JWF", puzzles::MakeWordSearchPuzzle(record));
           });
}

void TfrmImport::ShowError(const char* firstLine, const io::IoError& error)
{
    const std::string message = std::string(firstLine) + error.what();
    ::MessageBoxA(Handle(), message.c_str(), kErrorCaption, MB_ICONERROR | MB_OK);
}

bool TfrmImport::OnCommand(int id, int code, HWND control)
{
    switch (id) {
        case IDC_IMPORT_LIST:
            if (code == LBN_SELCHANGE)
                lbxPuzzlesClick();
            return true;
        case IDC_IMPORT_SELECT:
            btnSelectClick();
            return true;
        case IDC_IMPORT_CLEAR:
            btnClearClick();
            return true;
        case IDOK:
            btnOKClick();
            Close(IDOK);
            return true;
        default:
            return win::Dialog::OnCommand(id, code, control);
    }
}
