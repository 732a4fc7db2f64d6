#include "app/MainWindow.h"

#include <algorithm>
#include <utility>

#include "app/Application.h"
#include "core/CommandLine.h"
#include "jre/JavaNotice.h"
#include "app/SingleInstance.h"
#include "faults/FatalError.h"
#include "info/About.h"
#include "info/DownloadWindow.h"
#include "help/HTMLHelp.h"
#include "core/LinkRules.h"
#include "info/WebLinks.h"
#include "core/WebHosts.h"
#include "core/Text.h"
#include "puzzles/Drop.h"
#include "core/DropRules.h"
#include "puzzles/Import.h"
#include "res/resource.h"
#include "core/ConfigRules.h"
#include "settings/Configs.h"
#include "settings/Installation.h"
#include "settings/Prefs.h"
#include "win/Messages.h"
#include "win/Background.h"
#include "win/ExceptionHook.h"
#include "win/Files.h"
#include "win/Dpi.h"
#include "ui/Fonts.h"
#include "ui/LinkLabel.h"
#include "ui/Panel.h"
#include "win/Paths.h"
#include "win/LazyApi.h"

TMainWin* MainWin = nullptr;

namespace {

constexpr int kSearchWidth = 200;
constexpr int kSearchMargin = 3;
constexpr int kSearchFrame = 8;
constexpr const wchar_t* kSearchCue = L"Search puzzles";
constexpr const char* kInitialCount = "Items:";
constexpr const char* kFontName = "Tahoma";
constexpr int kFontPoints = 8;
constexpr const char* kImportTitle = "Import Puzzle(s)";
constexpr const char* kHelpContents = "Contents.htm";
constexpr const char* kProductPagePath = "/gridlark";
constexpr const char* kKnowledgebasePath = "/gridlark/kb.htm";
constexpr const char* kSupportPath = "/gridlark/support.htm";

// The window's own font, Tahoma 8, at its DPI.
HFONT MainFont(UINT dpi) { return win::CreatePointFont(kFontName, kFontPoints, DEFAULT_PITCH | FF_DONTCARE, dpi); }

void RegisterMainWindowClass(WNDPROC procedure)
{
    static const bool registered = [procedure] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = procedure;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hIcon = ::LoadIconA(wc.hInstance, "MAINICON");
        wc.hIconSm = static_cast<HICON>(::LoadImageA(wc.hInstance, "MAINICON", IMAGE_ICON, 16, 16, 0));
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = TMainWin::kClassName;
        return ::RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
}

// The seven pictures drawn at the size that suits the DPI.
HIMAGELIST LoadMainImages(UINT dpi)
{
    const int size = win::PictureSize(dpi);
    const int strip_id = size == 32 ? IDB_ILSMAIN32 : size == 24 ? IDB_ILSMAIN24 : IDB_ILSMAIN;
    HIMAGELIST images = ::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 7, 0);
    win::UniqueGdiObject strip(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(strip_id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ::ImageList_AddMasked(images, static_cast<HBITMAP>(strip.get()), RGB(255, 0, 255));
    return images;
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoA(monitor, &info)) {
        const RECT& w = info.rcWork;
        reinterpret_cast<std::vector<settings::Bounds>*>(areas)->push_back(
            {w.left, w.top, w.right - w.left, w.bottom - w.top});
    }
    return TRUE;
}

// The keys that run a command without its menu, shown beside its caption.
const char* ShortcutText(int command)
{
    switch (command) {
        case IDM_PLAY:
            return "Enter";
        case IDM_DELETE:
            return "Del";
        case IDM_EXIT:
            return "Alt+F4";
        case IDM_GLHELP:
            return "F1";
        default:
            return "";
    }
}

std::vector<settings::Bounds> MonitorWorkAreas()
{
    std::vector<settings::Bounds> areas;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

HWND CreateChild(const char* className, DWORD style, DWORD exStyle, HWND parent, int id)
{
    return ::CreateWindowExA(exStyle, className, nullptr, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
}

void AddColumn(HWND list, int index, const char* caption, int width)
{
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(caption);
    column.cx = width;
    column.iSubItem = index;
    ListView_InsertColumn(list, index, &column);
}

}  // namespace

std::function<void()> TMainWin::RefillProbe;

TMainWin::TMainWin()
    : VersionInfo(),
      dlgImport(kImportTitle, {{"Puzzle Files (*.cw3, *.ws3)", "*.cw3;*.ws3"},
                               {"Crossword Puzzles (*.cw3)", "*.cw3"},
                               {"Word Search Puzzles (*.ws3)", "*.ws3"},
                               {"All Files (*.*)", "*.*"}})
{
}

TMainWin::~TMainWin()
{
    StopWatcher();
    win::FinishBackgroundWork(staleFileCleanup_);
    if (hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
}

bool TMainWin::Create()
{
    RegisterMainWindowClass(&TMainWin::Procedure);
    hwnd_ = ::CreateWindowExA(0, kClassName, app::kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), this);
    if (hwnd_ == nullptr)
        return false;
    // Creation work runs after the window exists, outside its procedure: it is guarded the same way.
    return win::Guarded<bool>(false, [this] {
        FormCreate();
        return true;
    });
}

// With collection files waiting, their import dialog comes first: the window paints in that
// dialog's loop, right after it. Temporary files that a killed import left in the repository are
// removed after the first paint, on a thread of their own: the window never waits for them.
void TMainWin::Show()
{
    ::ShowWindow(hwnd_, Config->MainWindowMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    if (pendingImports_.empty())
        ::UpdateWindow(hwnd_);
    staleFileCleanup_ = win::StartBackgroundWork(
        [repository = Config->GetRepository()] { win::RemoveStaleTemporaryFiles(repository); });
}

std::string TMainWin::StatusText(int part) const
{
    char buffer[1024] = {};
    auto length = LOWORD(::SendMessageA(statusBar_, SB_GETTEXTLENGTHA, part, 0));
    if (length >= sizeof(buffer))
        return {};
    ::SendMessageA(statusBar_, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::vector<ui::MenuEntry> TMainWin::OnTheWeb()
{
    using ui::MenuEntry;
    return {MenuEntry::Command(IDM_HOMEPAGE),       MenuEntry::Separator(),
            MenuEntry::Command(IDM_MOREPUZZ),       MenuEntry::Separator(),
            MenuEntry::Command(IDM_CHECKFORUPDATE), MenuEntry::Command(IDM_KNOWLEDGEBASE),
            MenuEntry::Command(IDM_SUPPORT)};
}

void TMainWin::CreateCommands()
{
    auto add = [this](int id, const char* caption, const char* hint, int picture, bool enabled,
                      std::function<void()> handler) {
        bars_.Add({id, caption, hint, picture, enabled, std::move(handler), ShortcutText(id)});
    };
    add(IDM_PLAY, "&Play Puzzle", "Play Puzzle", 2, false, [this] { dxPlayClick(); });
    add(IDM_DELETE, "&Delete Puzzle", "Delete Puzzle", 3, false, [this] { dxDeleteClick(); });
    add(IDM_IMPORT, "&Import Puzzle(s)...", "Import Puzzle(s)", 6, true, [this] { dxImportClick(); });
    add(IDM_EXIT, "E&xit", "Exit", ui::kNoPicture, true, [this] { dxExitClick(); });
    add(IDM_BUGREPORTER, "Configure &Bug Reporter...", "Configure Bug Reporter", ui::kNoPicture, true,
        [this] { dxBugReporterClick(); });
    add(IDM_PREFS, "&Preferences...", "Preferences", 5, true, [this] { dxPrefsClick(); });
    add(IDM_GLHELP, "Gridlark &Help...", "Gridlark Help", 4, true, [this] { dxGLHelpClick(); });
    add(IDM_ABOUT, "&About...", "About", ui::kNoPicture, true, [this] { dxAboutClick(); });
    add(IDM_HOMEPAGE, "&Home Page", "Home Page", ui::kNoPicture, true, [this] { dxHomePageClick(); });
    add(IDM_MOREPUZZ, "Download more puzzles", "Download more puzzles", ui::kNoPicture, true,
        [this] { dxMorePuzzClick(); });
    add(IDM_CHECKFORUPDATE, "Check For &Update", "Check For Update", ui::kNoPicture, true,
        [this] { dxCheckForUpdateClick(); });
    add(IDM_KNOWLEDGEBASE, "&Knowledgebase", "Knowledgebase", ui::kNoPicture, true, [this] { dxKnowledgebaseClick(); });
    add(IDM_SUPPORT, "&Support", "Support", ui::kNoPicture, true, [this] { dxSupportClick(); });

    using ui::MenuEntry;
    ::SetMenu(hwnd_,
              bars_.BuildMenuBar(
                  {MenuEntry::Submenu("&Puzzle", {MenuEntry::Command(IDM_PLAY), MenuEntry::Command(IDM_DELETE),
                                                  MenuEntry::Separator(), MenuEntry::Command(IDM_IMPORT),
                                                  MenuEntry::Separator(), MenuEntry::Command(IDM_EXIT)}),
                   MenuEntry::Submenu("&Options", {MenuEntry::Command(IDM_BUGREPORTER), MenuEntry::Command(IDM_PREFS)}),
                   MenuEntry::Submenu("&Help", {MenuEntry::Command(IDM_GLHELP), MenuEntry::Separator(),
                                                MenuEntry::Submenu("&On The Web", OnTheWeb()), MenuEntry::Separator(),
                                                MenuEntry::Command(IDM_ABOUT)})}));
    dxPopup_ = bars_.BuildPopup({MenuEntry::Command(IDM_PLAY), MenuEntry::Command(IDM_DELETE), MenuEntry::Separator(),
                                 MenuEntry::Command(IDM_IMPORT)});
    bars_.BuildToolbar(hwnd_, IDC_MAIN_TOOLBAR, ilsMain_.get(),
                       {IDM_PLAY, IDM_DELETE, 0, IDM_IMPORT, 0, IDM_PREFS, 0, IDM_GLHELP});
}

void TMainWin::CreateControls()
{
    dpi_ = win::WindowDpi(hwnd_);
    font_.reset(MainFont(dpi_));
    ilsMain_.reset(LoadMainImages(dpi_));
    CreateCommands();

    statusBar_ = CreateChild(STATUSCLASSNAMEA, SBARS_SIZEGRIP, 0, hwnd_, IDC_MAIN_STATUS);
    ::SendMessageA(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    int parts[] = {win::Scaled(kCountLeastWidth, dpi_), -1};
    ::SendMessageA(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    ::SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(kInitialCount));

    pnlMain_ = win::CreatePanel(hwnd_, IDC_MAIN_PANEL, true);
    search_ = CreateChild(WC_EDITA, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, hwnd_, IDC_MAIN_SEARCH);
    ::SendMessageA(search_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ::SendMessageW(search_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(kSearchCue));
    ::SetWindowSubclass(search_, &TMainWin::SearchProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
    lvwPuzzles_ =
        CreateChild(WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA | LVS_SHAREIMAGELISTS | WS_TABSTOP, 0,
                    pnlMain_, IDC_MAIN_LIST);
    ::SendMessageA(lvwPuzzles_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ListView_SetExtendedListViewStyle(lvwPuzzles_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ListView_SetImageList(lvwPuzzles_, ilsMain_.get(), LVSIL_SMALL);
    ListView_SetCallbackMask(lvwPuzzles_, LVIS_STATEIMAGEMASK);
    AddColumn(lvwPuzzles_, 0, "Puzzle Name", 250);
    AddColumn(lvwPuzzles_, 1, "Type", 150);
    AddColumn(lvwPuzzles_, 2, "Modified", 130);
    ::SetWindowSubclass(lvwPuzzles_, &TMainWin::ListProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
}

void TMainWin::Layout()
{
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    HWND toolbar = bars_.Toolbar();
    ::SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    ::SendMessageA(statusBar_, WM_SIZE, 0, 0);
    RECT bar{}, status{};
    ::GetWindowRect(toolbar, &bar);
    ::GetWindowRect(statusBar_, &status);
    // As high as a line of its font and its frame.
    const int fieldHeight = win::TextSizeIn(search_, font_.get(), "Wg").cy + win::Scaled(kSearchFrame, dpi_);
    // The search field stands above the list, at its right.
    const int searchWidth = win::Scaled(kSearchWidth, dpi_), margin = win::Scaled(kSearchMargin, dpi_);
    const int width = client.right > searchWidth + 2 * margin ? searchWidth : client.right;
    ::MoveWindow(search_, client.right - width - margin, bar.bottom - bar.top + margin, width, fieldHeight, TRUE);
    const int top = bar.bottom - bar.top + fieldHeight + 2 * margin;
    const int bottom = client.bottom - (status.bottom - status.top);
    ::MoveWindow(pnlMain_, 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
    RECT panel{};
    ::GetClientRect(pnlMain_, &panel);
    ::MoveWindow(lvwPuzzles_, 0, 0, panel.right, panel.bottom, TRUE);
}

void TMainWin::FormCreate()
{
    win::SetApplicationCursor(win::kLinkCursorIndex, ::LoadCursor(nullptr, IDC_HAND));
    Config->RecordInstallation(ProgramVersionText(VersionInfo));
    const settings::Bounds bounds = RestoredBounds();
    placing_ = true;
    ::MoveWindow(hwnd_, bounds.left, bounds.top, bounds.width, bounds.height, FALSE);
    placing_ = false;
    // Where the system sent no DPI change for the move, the window still takes its monitor's DPI.
    ApplyDpi(win::WindowDpi(hwnd_));
    const auto width = [this](std::int32_t stored) {
        return settings::ScaledToDpi(stored, Config->MainWindowDpi, dpi_);
    };
    ListView_SetColumnWidth(lvwPuzzles_, 0, width(Config->Column1Width));
    ListView_SetColumnWidth(lvwPuzzles_, 1, width(Config->Column2Width));
    ListView_SetColumnWidth(lvwPuzzles_, 2, width(Config->Column3Width));
    model_.SetSort(SortOrder::FromStored(Config->ListSort));
    ShowSortArrow();
    if (text::Trim(Config->JavaPath).empty())
        TfrmMsg(app::Title()).ShowModal(hwnd_);
    RefreshPuzzleList();
    StartWatcher();
    ::DragAcceptFiles(hwnd_, TRUE);
}

// The stored bounds are workspace coordinates (closing reads them from the window's placement);
// the window is moved in screen coordinates, and back onto a monitor when it would show nowhere.
// Its size keeps its points on a monitor of another DPI than the one it was stored at.
settings::Bounds TMainWin::RestoredBounds()
{
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const settings::Bounds stored = settings::WithUsableSize(
        {Config->MainWindowLeft, Config->MainWindowTop, Config->MainWindowWidth, Config->MainWindowHeight},
        Config->MainWindowDpi);
    settings::Bounds bounds = settings::ScreenFromWorkspace(stored, work.left, work.top);
    const RECT area{bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height};
    const UINT dpi = win::MonitorDpi(area);
    bounds.width = settings::ScaledToDpi(bounds.width, Config->MainWindowDpi, dpi);
    bounds.height = settings::ScaledToDpi(bounds.height, Config->MainWindowDpi, dpi);
    return settings::KeepOnScreen(bounds, MonitorWorkAreas());
}

// Moved to a monitor of another DPI: the window takes the size Windows suggests, unless it is
// being put at its restored bounds, which are already measured for that monitor.
void TMainWin::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    ApplyDpi(dpi);
    if (!placing_)
        ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window's text, pictures and columns made anew for the DPI.
void TMainWin::ApplyDpi(UINT dpi)
{
    if (dpi == dpi_)
        return;
    const UINT old = std::exchange(dpi_, dpi);
    // The new font and pictures go in before the old ones are released.
    win::UniqueHFont font(MainFont(dpi_));
    for (HWND control : {statusBar_, search_, lvwPuzzles_})
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
    win::UniqueImageList images(LoadMainImages(dpi_));
    ListView_SetImageList(lvwPuzzles_, images.get(), LVSIL_SMALL);
    bars_.SetImages(images.get());
    ilsMain_ = std::move(images);
    for (int column = 0; column < 3; ++column)
        ListView_SetColumnWidth(lvwPuzzles_, column,
                                settings::ScaledToDpi(ListView_GetColumnWidth(lvwPuzzles_, column), old, dpi_));
    ShowCount();
    Layout();
}

void TMainWin::FormClose()
{
    StopWatcher();
    win::FinishBackgroundWork(staleFileCleanup_);
    if (lvwPuzzles_ == nullptr)
        return;
    Config->Column1Width = ListView_GetColumnWidth(lvwPuzzles_, 0);
    Config->Column2Width = ListView_GetColumnWidth(lvwPuzzles_, 1);
    Config->Column3Width = ListView_GetColumnWidth(lvwPuzzles_, 2);
    Config->ListSort = model_.Sort().Stored();
    Config->MainWindowMaximized = ::IsZoomed(hwnd_) != FALSE;
    Config->MainWindowDpi = dpi_;
    // The normal bounds, whatever the window's state now.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(hwnd_, &placement);
    const RECT& normal = placement.rcNormalPosition;
    Config->MainWindowLeft = normal.left;
    Config->MainWindowTop = normal.top;
    Config->MainWindowWidth = normal.right - normal.left;
    Config->MainWindowHeight = normal.bottom - normal.top;
    Config->Save();
}

void TMainWin::dxExitClick() { ::SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

// The new puzzle files reach the list through the watcher; nothing is refreshed here.
void TMainWin::dxImportClick()
{
    if (!dlgImport.Execute(hwnd_))
        return;
    ImportCollection(dlgImport.FileName());
}

// A file that is no readable collection gets the import dialog's own message.
void TMainWin::ImportCollection(const std::string& path) { TfrmImport().ShowModalFor(hwnd_, path); }

void TMainWin::OpenImportsLater(std::vector<std::string> files)
{
    if (files.empty())
        return;
    pendingImports_.insert(pendingImports_.end(), files.begin(), files.end());
    ::PostMessageA(hwnd_, WM_OPEN_IMPORTS, 0, 0);
}

// A file queued while a dialog of this loop is open waits for the loop, not for a dialog of its own
// over that one; while any other modal window disables this one, the files wait for it to close.
// The files waiting are checked together first: whatever cannot be read is named in one message,
// and only readable collections open the import dialog.
void TMainWin::OpenPendingImports()
{
    if (openingImports_ || !::IsWindowEnabled(hwnd_))
        return;
    openingImports_ = true;
    win::ScopeExit done([this] { openingImports_ = false; });
    while (!pendingImports_.empty() && hwnd_ != nullptr && !closing_) {
        puzzles::CollectionsOutcome batch;
        {
            win::HourglassCursor hourglass;
            batch = puzzles::SortOutCollections(std::exchange(pendingImports_, {}));
        }
        if (!batch.Report.empty())
            win::ShowMessage(hwnd_, batch.Report, app::kTitle, MB_ICONWARNING | MB_OK);
        for (const std::string& path : batch.Readable) {
            if (hwnd_ == nullptr || closing_)
                return;
            ImportCollection(path);
        }
    }
}

// A second start's files, from a process of this user that names itself by its window. Anything
// else is not read.
bool TMainWin::OnHandOver(HWND sender, const COPYDATASTRUCT& data)
{
    if (data.dwData != app::kHandOverTag || !app::OfSameUser(sender))
        return false;
    const auto files = app::DecodeHandOver(static_cast<const char*>(data.lpData), data.cbData);
    if (!files)
        return false;
    ComeToFront();
    OpenImportsLater(*files);
    return true;
}

// Puzzle files go into the repository at once and reach the list through the watcher; collections
// open the import dialog one after another, after the message about what could not be taken.
void TMainWin::OnDropFiles(HDROP drop)
{
    std::vector<std::wstring> paths = puzzles::DroppedPaths(drop);
    ::DragFinish(drop);
    puzzles::DropOutcome outcome;
    {
        win::HourglassCursor hourglass;
        outcome = puzzles::ReceiveDroppedFiles(paths, Config->GetRepository());
    }
    if (!outcome.Report.empty())
        win::ShowMessage(hwnd_, outcome.Report, app::kTitle, MB_ICONWARNING | MB_OK);
    OpenImportsLater(std::move(outcome.Collections));
}

// The window, or the dialog it is busy with, comes to the front; a minimised window is restored.
void TMainWin::ComeToFront()
{
    if (::IsIconic(hwnd_))
        ::ShowWindow(hwnd_, SW_RESTORE);
    ::SetForegroundWindow(::GetLastActivePopup(hwnd_));
}

// A new repository reaches the list through the watcher; nothing is refreshed here.
void TMainWin::dxPrefsClick() { TfrmPrefs().ShowModal(hwnd_); }

void TMainWin::dxGLHelpClick() { ShowHelpTopic(kHelpContents); }

void TMainWin::dxAboutClick() { TfrmAboutBox().ShowModal(hwnd_); }

void TMainWin::dxMorePuzzClick() { TfrmDataExchange().ShowModal(hwnd_); }

// The vendor's pages open with the referral suffix, without a parent window.
void TMainWin::OpenVendorPage(const char* path)
{
    const std::string address = std::string(web::kCorporateSite) + path + LinkReferralSuffix();
    win::OpenWithShell(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

void TMainWin::dxHomePageClick() { OpenVendorPage(kProductPagePath); }
void TMainWin::dxKnowledgebaseClick() { OpenVendorPage(kKnowledgebasePath); }
void TMainWin::dxSupportClick() { OpenVendorPage(kSupportPath); }

void TMainWin::dxCheckForUpdateClick()
{
    const std::string address =
        settings::UpdatePageAddress(web::kCorporateSite, VersionInfo.ShortVersion()) + LinkReferralSuffix();
    win::OpenWithShell(hwnd_, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TMainWin::dxBugReporterClick()
{
    faults::ConfigureBugReporter(app::kTitle, std::string(web::kCorporateSite) + kProductPagePath, hwnd_);
}

// Every selected file goes to the Recycle Bin in one shell operation, with the shell's one
// confirmation for all of them.
void TMainWin::dxDeleteClick() { win::RecycleFiles(SelectedPuzzlePaths(), hwnd_, win::Confirmation::Asked); }

LRESULT CALLBACK TMainWin::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<TMainWin*>(create->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<TMainWin*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        ::PostQuitMessage(0);
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return win::Guarded<LRESULT>(0, [&] { return self->Dispatch(message, wParam, lParam); });
}

LRESULT TMainWin::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_CREATE:
            CreateControls();
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_SETFOCUS:
            ::SetFocus(lvwPuzzles_);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_MAIN_SEARCH) {
                if (HIWORD(wParam) == EN_CHANGE)
                    edtSearchChange();
                return 0;
            }
            if (bars_.Execute(LOWORD(wParam)))
                return 0;
            break;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_WATCHER_REFILL:
            ServeRefillRequest();
            return 0;
        case WM_OPEN_IMPORTS:
            OpenPendingImports();
            return 0;
        case WM_COPYDATA:
            return OnHandOver(reinterpret_cast<HWND>(wParam), *reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE
                                                                                                                : FALSE;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_ENABLE:
            // The modal window that held back waiting files has closed.
            if (wParam != FALSE && !pendingImports_.empty())
                ::PostMessageA(hwnd_, WM_OPEN_IMPORTS, 0, 0);
            return 0;
        case WM_HELP:
            dxGLHelpClick();
            return TRUE;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_WATCHER_FAILED:
            win::HandleException(*reinterpret_cast<const win::CaughtException*>(lParam));
            return 0;
        case WM_CLOSE:
            // The close is never refused; a second request while closing is the same close.
            if (!std::exchange(closing_, true)) {
                FormClose();
                ::DestroyWindow(hwnd_);
            }
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT TMainWin::OnNotify(NMHDR& header)
{
    if (bars_.OnNotify(header))
        return 0;
    if (header.hwndFrom != lvwPuzzles_)
        return 0;
    switch (header.code) {
        case LVN_GETDISPINFOA:
            lvwPuzzlesGetDispInfo(reinterpret_cast<NMLVDISPINFOA&>(header));
            break;
        case LVN_ITEMCHANGED:
        case LVN_ODSTATECHANGED:
            lvwPuzzlesSelectItem();
            break;
        case NM_DBLCLK:
        case NM_RETURN:
            lvwPuzzlesDblClick();
            break;
        case LVN_KEYDOWN:
            lvwPuzzlesKeyDown(reinterpret_cast<NMLVKEYDOWN&>(header).wVKey);
            break;
        case LVN_COLUMNCLICK:
            lvwPuzzlesColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
            break;
        case LVN_ODFINDITEMA: {
            const auto& find = reinterpret_cast<NMLVFINDITEMA&>(header);
            return lvwPuzzlesFindItem(find.lvfi.flags, find.lvfi.psz != nullptr ? find.lvfi.psz : "", find.iStart);
        }
        case LVN_ODFINDITEMW: {
            const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
            return lvwPuzzlesFindItem(find.lvfi.flags, win::AnsiText(find.lvfi.psz), find.iStart);
        }
        default:
            break;
    }
    return 0;
}

LRESULT CALLBACK TMainWin::ListProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data)
{
    auto* self = reinterpret_cast<TMainWin*>(data);
    return win::Guarded<LRESULT>(0, [&]() -> LRESULT {
        // With Alt held the key comes as a system key, which the list never reports as a key-down
        // notice; Delete works whatever the state of Shift, Ctrl and Alt.
        if (message == WM_SYSKEYDOWN && wParam == VK_DELETE) {
            self->lvwPuzzlesKeyDown(VK_DELETE);
            return 0;
        }
        if (message == WM_KEYDOWN && self->OnListKey(wParam))
            return 0;
        // Shift+F10 and the menu key; a right click opened the popup already on its press.
        if (message == WM_CONTEXTMENU && lParam == -1) {
            self->OpenPopupAtFocus();
            return 0;
        }
        LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        if (message == WM_RBUTTONDOWN)
            self->lvwPuzzlesMouseDown(wParam);
        if (message == WM_PAINT)
            self->lvwPuzzlesPaintHint(hwnd);
        return result;
    });
}

LRESULT CALLBACK TMainWin::SearchProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data)
{
    auto* self = reinterpret_cast<TMainWin*>(data);
    return win::Guarded<LRESULT>(0, [&]() -> LRESULT {
        if (message == WM_KEYDOWN && self->OnSearchKey(wParam))
            return 0;
        // The keys handled above would otherwise also arrive as characters, with a beep.
        if (message == WM_CHAR && (wParam == VK_ESCAPE || wParam == VK_RETURN || wParam == VK_TAB))
            return 0;
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    });
}

bool OpensPopup(UINT message, WPARAM keys, bool altDown)
{
    return message == WM_RBUTTONDOWN && keys == MK_RBUTTON && !altDown;
}

void TMainWin::lvwPuzzlesMouseDown(WPARAM keys)
{
    if (!OpensPopup(WM_RBUTTONDOWN, keys, (::GetKeyState(VK_MENU) & 0x8000) != 0))
        return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::TrackPopupMenu(dxPopup_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd_, nullptr);
}

// Under the focused line's name, or at the list's top left when no line has the focus.
void TMainWin::OpenPopupAtFocus()
{
    POINT at{0, 0};
    const int focused = ListView_GetNextItem(lvwPuzzles_, -1, LVNI_FOCUSED);
    RECT line{};
    if (focused >= 0 && ListView_GetItemRect(lvwPuzzles_, focused, &line, LVIR_LABEL)) {
        RECT client{};
        ::GetClientRect(lvwPuzzles_, &client);
        at = {line.left, std::min(line.bottom, client.bottom)};
    }
    ::ClientToScreen(lvwPuzzles_, &at);
    ::TrackPopupMenu(dxPopup_, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, hwnd_, nullptr);
}
