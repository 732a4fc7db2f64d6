#include "app/MainWindow.h"

#include <utility>

#include "app/Application.h"
#include "app/Launcher.h"
#include "app/MainCommands.h"
#include "app/WindowPlacement.h"
#include "core/FileNames.h"
#include "core/IoError.h"
#include "core/PuzzleKinds.h"
#include "core/Text.h"
#include "help/HTMLHelp.h"
#include "jre/JavaNotice.h"
#include "puzzles/ImportDialog.h"
#include "res/resource.h"
#include "settings/Installation.h"
#include "settings/PreferencesDialog.h"
#include "settings/Settings.h"
#include "ui/Fonts.h"
#include "ui/LinkLabel.h"
#include "ui/Panel.h"
#include "ui/Pictures.h"
#include "win/Background.h"
#include "win/Dpi.h"
#include "win/ExceptionHook.h"
#include "win/Files.h"
#include "win/LazyApi.h"
#include "win/Messages.h"
#include "win/Paths.h"

namespace {

constexpr int kSearchWidth = 200;
constexpr int kSearchMargin = 3;
constexpr int kSearchFrame = 8;
constexpr int kCountPadding = 12;
constexpr const char* kInitialCount = "Items:";
constexpr const char* kFolderNotOpened = "Explorer could not be opened on the folder ";
constexpr const char* kNameTaken1 = "A puzzle named \"";
constexpr const char* kNameTaken2 = "\" already exists. Choose another name.";
constexpr const char* kNotRenamed = "The puzzle could not be renamed: ";

// "Imported 12 puzzles (3 replaced earlier files)."
std::string ImportNote(std::size_t imported, std::size_t replaced)
{
    std::string note = "Imported " + std::to_string(imported) + (imported == 1 ? " puzzle" : " puzzles");
    if (replaced > 0)
        note += " (" + std::to_string(replaced) +
                (replaced == 1 ? " replaced an earlier file)" : " replaced earlier files)");
    return note + ".";
}

// The window's own font, Tahoma 8, at its DPI.
HFONT MainFont(UINT dpi) { return win::CreatePointFont("Tahoma", 8, DEFAULT_PITCH | FF_DONTCARE, dpi); }

void RegisterMainWindowClass(WNDPROC procedure)
{
    [[maybe_unused]] static const bool registered = [procedure] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = procedure;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hIcon = ::LoadIconA(wc.hInstance, "MAINICON");
        wc.hIconSm = static_cast<HICON>(::LoadImageA(wc.hInstance, "MAINICON", IMAGE_ICON, 16, 16, 0));
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = MainWindow::kClassName;
        return ::RegisterClassExA(&wc) != 0;
    }();
}

// The seven pictures drawn at the size that suits the DPI.
HIMAGELIST LoadMainImages(UINT dpi)
{
    return win::LoadPictureStrip(dpi, {IDB_PICTURES16, IDB_PICTURES24, IDB_PICTURES32}, 7);
}

}  // namespace

MainWindow::MainWindow(Settings& settings, FolderLister lister)
    : settings_(settings),
      importFileDialog_(ImportDialog::CollectionFileDialog()),
      imports_([this](const std::string& path) { ImportCollection(path); },
               [this] { return hwnd_ != nullptr && !closing_; }),
      feed_(
          list_, [&settings] { return settings.GetRepository(); }, std::move(lister))
{
}

MainWindow::~MainWindow()
{
    feed_.Stop();
    win::FinishBackgroundWork(staleFileCleanup_);
    if (hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
}

bool MainWindow::Create()
{
    RegisterMainWindowClass(&MainWindow::Procedure);
    // Made at its restored bounds, on their monitor: the controls are laid out once, at their size.
    const settings::Bounds bounds = RestoredBounds(settings_);
    hwnd_ =
        ::CreateWindowExA(0, kClassName, app::kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, bounds.left, bounds.top,
                          bounds.width, bounds.height, nullptr, nullptr, ::GetModuleHandleA(nullptr), this);
    if (hwnd_ == nullptr)
        return false;
    // Creation work runs after the window exists, outside its procedure: it is guarded the same way.
    return win::Guarded<bool>(false, [this] {
        OnCreate();
        return true;
    });
}

// With collection files waiting, their import dialog comes first: the window paints in its loop.
// What the first paint does not need follows it: the shell for drops and, on threads of their own,
// the help viewer's library and the removal of temporary files that a killed import left behind.
void MainWindow::Show()
{
    ::ShowWindow(hwnd_, settings_.MainWindowMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    if (!imports_.Waiting())
        ::UpdateWindow(hwnd_);
    win::AcceptDroppedFiles(hwnd_, true);
    StartLoadingHelpLibrary();
    staleFileCleanup_ = win::StartBackgroundWork(
        [repository = settings_.GetRepository()] { win::RemoveStaleTemporaryFiles(repository); });
}

std::string MainWindow::StatusText(int part) const
{
    char buffer[1024] = {};
    auto length = LOWORD(::SendMessageA(statusBar_, SB_GETTEXTLENGTHA, part, 0));
    if (length >= sizeof(buffer))
        return {};
    ::SendMessageA(statusBar_, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

void MainWindow::CreateControls()
{
    dpi_ = win::WindowDpi(hwnd_);
    font_.reset(MainFont(dpi_));
    pictures_.reset(LoadMainImages(dpi_));
    MainCommandHandlers handlers;
    handlers.play = [this] { OnPlay(); };
    handlers.remove = [this] { OnDelete(); };
    handlers.showInFolder = [this] { OnShowInFolder(); };
    handlers.rename = [this] { list_.BeginRename(); };
    handlers.import = [this] { OnImport(); };
    handlers.exit = [this] { ::SendMessageA(hwnd_, WM_CLOSE, 0, 0); };
    handlers.preferences = [this] { OnPreferences(); };
    handlers.help = [this] { OnHelpContents(); };
    HMENU popup = BuildMainCommands(bars_, hwnd_, IDC_MAIN_TOOLBAR, pictures_.get(), handlers, version_.ShortVersion());

    statusBar_ = ::CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                   hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MAIN_STATUS)),
                                   ::GetModuleHandleA(nullptr), nullptr);
    int parts[] = {win::Scaled(kCountLeastWidth, dpi_), -1};
    ::SendMessageA(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    ::SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(kInitialCount));

    panel_ = win::CreatePanel(hwnd_, IDC_MAIN_PANEL, true);
    list_.Create(hwnd_, panel_, IDC_MAIN_LIST, IDC_MAIN_SEARCH, pictures_.get());
    list_.SetPopup(popup);
    list_.SetDpi(dpi_);
    for (HWND control : {statusBar_, list_.Search(), list_.List()})
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    imports_.Attach(hwnd_, WM_OPEN_IMPORTS);
}

void MainWindow::Layout()
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
    HWND search = list_.Search();
    const int fieldHeight = win::TextSizeIn(search, font_.get(), "Wg").cy + win::Scaled(kSearchFrame, dpi_);
    // The search field stands above the list, at its right.
    const int searchWidth = win::Scaled(kSearchWidth, dpi_), margin = win::Scaled(kSearchMargin, dpi_);
    const int width = client.right > searchWidth + 2 * margin ? searchWidth : client.right;
    ::MoveWindow(search, client.right - width - margin, bar.bottom - bar.top + margin, width, fieldHeight, TRUE);
    const int top = bar.bottom - bar.top + fieldHeight + 2 * margin;
    const int bottom = client.bottom - (status.bottom - status.top);
    ::MoveWindow(panel_, 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
    RECT panel{};
    ::GetClientRect(panel_, &panel);
    ::MoveWindow(list_.List(), 0, 0, panel.right, panel.bottom, TRUE);
    // The status bar's size grip and the header's dividers are drawn where the old size put
    // them; the parts that moved keep them unless drawn anew whole.
    ::InvalidateRect(statusBar_, nullptr, TRUE);
    ::InvalidateRect(ListView_GetHeader(list_.List()), nullptr, TRUE);
}

void MainWindow::OnCreate()
{
    win::SetApplicationCursor(win::kLinkCursorIndex, ::LoadCursor(nullptr, IDC_HAND));
    settings_.RecordInstallation(ProgramVersionText(version_));
    ApplyDpi(win::WindowDpi(hwnd_));
    list_.SetColumnWidths({settings_.Column1Width, settings_.Column2Width, settings_.Column3Width},
                          settings_.MainWindowDpi, dpi_);
    list_.SetSort(SortOrder::FromStored(settings_.ListSort));
    if (text::Trim(settings_.JavaPath).empty()) {
        StartLoadingHelpLibrary();  // the notice's F1
        JavaNotice(app::Title()).ShowModal(hwnd_);
    }
    feed_.Start(hwnd_, {WM_LISTING_DONE, WM_FOLDER_CHANGED, WM_WORKER_FAILED});
}

// Moved to a monitor of another DPI: the window takes the size Windows suggests.
void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    ApplyDpi(dpi);
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window's text, pictures and columns made anew for the DPI.
void MainWindow::ApplyDpi(UINT dpi)
{
    if (dpi == dpi_)
        return;
    const UINT old = std::exchange(dpi_, dpi);
    list_.SetDpi(dpi_);
    // The new font and pictures go in before the old ones are released.
    win::UniqueHFont font(MainFont(dpi_));
    for (HWND control : {statusBar_, list_.Search(), list_.List()})
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
    win::UniqueImageList images(LoadMainImages(dpi_));
    ListView_SetImageList(list_.List(), images.get(), LVSIL_SMALL);
    bars_.SetImages(images.get());
    pictures_ = std::move(images);
    list_.SetColumnWidths(list_.ColumnWidths(), old, dpi_);
    ShowCount();
    Layout();
}

void MainWindow::OnClose()
{
    feed_.Stop();
    win::FinishBackgroundWork(staleFileCleanup_);
    if (list_.List() == nullptr)
        return;
    const auto widths = list_.ColumnWidths();
    settings_.Column1Width = widths[0], settings_.Column2Width = widths[1], settings_.Column3Width = widths[2];
    settings_.ListSort = list_.Model().Sort().Stored();
    StorePlacement(settings_, hwnd_, dpi_);
    settings_.Save();
}

// The count in a part as wide as its text, and the folder beside it.
void MainWindow::ShowCount()
{
    const std::string count = list_.CountText();
    const SIZE size =
        win::TextSizeIn(statusBar_, reinterpret_cast<HFONT>(::SendMessageA(statusBar_, WM_GETFONT, 0, 0)), count);
    int parts[] = {
        std::max(win::Scaled(kCountLeastWidth, dpi_), static_cast<int>(size.cx) + win::Scaled(kCountPadding, dpi_)),
        -1};
    ::SendMessageA(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    ::SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(count.c_str()));
    const std::string folder = statusNote_.empty() ? list_.FolderText() : statusNote_;
    ::SendMessageA(statusBar_, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(folder.c_str()));
}

// Play needs exactly one selected line; Delete takes them all.
void MainWindow::OnSelectionChanged(UINT selected)
{
    bars_.SetEnabled(IDM_PLAY, selected == 1);
    bars_.SetEnabled(IDM_DELETE, selected > 0);
    bars_.SetEnabled(IDM_RENAME, selected == 1);
}

void MainWindow::OnRenameTyped(PuzzleListModel::LineName line, std::string typed)
{
    renameTyped_.emplace(std::move(line), std::move(typed));
    ::PostMessageA(hwnd_, WM_RENAME_TYPED, 0, 0);
}

// The name follows an import's rules; a name taken is refused, and the file is moved, never
// copied, so nothing is overwritten. The list shows the new name at once, selected.
void MainWindow::RenamePuzzle(const PuzzleListModel::LineName& line, const std::string& typed)
{
    const std::string name = puzzles::TypedFileName(typed);
    if (name == line.caption)
        return;
    if (!puzzles::IsSafeFileName(name)) {
        win::ShowMessage(hwnd_, puzzles::RefusedRenameText(name), app::kTitle, MB_ICONERROR | MB_OK);
        return;
    }
    const std::string folder = text::IncludeTrailingBackslash(settings_.GetRepository());
    const std::string extension = puzzles::TraitsOf(line.kind).extension;
    const std::string from = folder + line.caption + extension, to = folder + name + extension;
    const bool caseOnly = win::UpperCase(name) == win::UpperCase(line.caption);
    if (!caseOnly && win::FileExists(to)) {
        win::ShowMessage(hwnd_, kNameTaken1 + name + kNameTaken2, app::kTitle, MB_ICONERROR | MB_OK);
        return;
    }
    if (const DWORD error = win::RenameFile(from, to); error != 0) {
        win::ShowMessage(hwnd_,
                         error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
                             ? kNameTaken1 + name + kNameTaken2
                             : kNotRenamed + io::StandardMessage(io::Failure::System, error),
                         app::kTitle, MB_ICONERROR | MB_OK);
        return;
    }
    feed_.Relist();
    list_.SelectLines({{name, line.kind}});
}

void MainWindow::OnPlay()
{
    const std::string path = list_.SelectedPath();
    if (!path.empty())
        PlayPuzzle(settings_, "\"" + path + "\"", hwnd_);
}

// Every selected file goes to the Recycle Bin in one shell operation, with the shell's one
// confirmation for all of them.
void MainWindow::OnDelete() { win::RecycleFiles(list_.SelectedPaths(), hwnd_, win::Confirmation::Asked); }

// The default repository lies under ProgramData, which Explorer hides: this is how the user finds
// the files. Where Explorer cannot select them, the folder still opens.
void MainWindow::OnShowInFolder()
{
    const std::string folder = settings_.GetRepository();
    if (SUCCEEDED(showInFolder_(hwnd_, folder, list_.SelectedPaths())))
        return;
    if (FAILED(showInFolder_(hwnd_, folder, {})))
        win::ShowMessage(hwnd_, kFolderNotOpened + folder, app::kTitle, MB_ICONERROR | MB_OK);
}

// The new puzzle files reach the list through the watcher; nothing is refreshed here.
void MainWindow::OnImport()
{
    if (importFileDialog_.Execute(hwnd_))
        ImportCollection(importFileDialog_.FileName());
}

// A file that is no readable collection gets the import dialog's own message.
void MainWindow::ImportCollection(const std::string& path)
{
    ImportDialog import(settings_.GetRepository());
    import.ShowModalFor(hwnd_, path);
    ShowImported(import);
}

// The folder is listed at once, rather than when the watcher tells of the new files, so that the
// puzzles written can be selected now.
void MainWindow::ShowImported(const ImportDialog& import)
{
    const std::vector<std::string>& names = import.ImportedNames();
    if (names.empty() || hwnd_ == nullptr)
        return;
    feed_.Relist();
    std::vector<PuzzleListModel::LineName> lines;
    for (const std::string& name : names)
        lines.push_back({name, import.CollectionKind()});
    list_.SelectLines(std::move(lines));
    SetStatusNote(ImportNote(names.size(), import.ReplacedCount()));
}

void MainWindow::SetStatusNote(std::string note)
{
    statusNote_ = std::move(note);
    ShowCount();
}

// A new repository reaches the list through the watcher; nothing is refreshed here.
void MainWindow::OnPreferences() { PreferencesDialog(settings_).ShowModal(hwnd_); }

void MainWindow::OnHelpContents() { ShowHelpTopic("Contents.htm"); }

LRESULT CALLBACK MainWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<MainWindow*>(create->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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

LRESULT MainWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_CREATE:
            CreateControls();
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_SETFOCUS:
            ::SetFocus(list_.List());
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_MAIN_SEARCH) {
                if (HIWORD(wParam) == EN_CHANGE)
                    list_.OnSearchChanged();
                return 0;
            }
            if (!statusNote_.empty())
                SetStatusNote({});
            if (bars_.Execute(LOWORD(wParam)))
                return 0;
            break;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_FOLDER_CHANGED:
            feed_.OnFolderChanged();
            return 0;
        case WM_RENAME_TYPED:
            if (auto typed = std::exchange(renameTyped_, std::nullopt))
                RenamePuzzle(typed->first, typed->second);
            return 0;
        case WM_LISTING_DONE:
            feed_.OnListingDone();
            return 0;
        case WM_WORKER_FAILED:
            win::HandleException(*reinterpret_cast<const win::CaughtException*>(lParam));
            return 0;
        case WM_OPEN_IMPORTS:
            imports_.OpenWaiting();
            return 0;
        case WM_COPYDATA:
            return imports_.TakeHandOver(reinterpret_cast<HWND>(wParam),
                                         *reinterpret_cast<const COPYDATASTRUCT*>(lParam))
                       ? TRUE
                       : FALSE;
        case WM_DROPFILES:
            imports_.TakeDrop(reinterpret_cast<HDROP>(wParam), settings_.GetRepository());
            return 0;
        case WM_ENABLE:
            // The modal window that held back waiting files has closed.
            if (wParam != FALSE && imports_.Waiting())
                ::PostMessageA(hwnd_, WM_OPEN_IMPORTS, 0, 0);
            return 0;
        case WM_HELP:
            OnHelpContents();
            return TRUE;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            // The close is never refused; a second request while closing is the same close.
            if (!std::exchange(closing_, true)) {
                OnClose();
                ::DestroyWindow(hwnd_);
            }
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT MainWindow::OnNotify(NMHDR& header)
{
    if (bars_.OnNotify(header))
        return 0;
    if (header.hwndFrom != list_.List())
        return 0;
    return list_.OnNotify(header);
}
