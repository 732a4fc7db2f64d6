#include "ui/FolderChooser.h"

#include "core/Text.h"
#include "res/resource.h"
#include "win/Messages.h"
#include "win/LazyApi.h"
#include "win/Paths.h"

namespace {

constexpr const char* kConfirmCaption = "Confirm Create";
constexpr const char* kConfirmText = "The specified directory does not exist.\r\nDo you want to create it?";
constexpr const char* kErrorCaption = "Error";
// The message of a folder that could not be created, around its path.
constexpr const char* kCreateFailedBefore = "Could not create the path, \"";
constexpr const char* kCreateFailedAfter = "\".\r\nPlease make sure that the disk is not full or write-protected.";

}  // namespace

FolderChooser::FolderChooser(std::string prompt, std::string requiredFile, std::string startFolder)
    : win::Dialog(IDD_FOLDER_CHOOSER, "Options_Menu"),
      prompt_(std::move(prompt)),
      requiredFile_(std::move(requiredFile)),
      startFolder_(std::move(startFolder))
{
}

bool FolderChooser::OnCreate()
{
    CenterOverOwner();
    ::SetDlgItemTextA(Handle(), IDC_BROWSE_LABEL1, prompt_.c_str());
    stvwFolders.Attach(Item(IDC_BROWSE_TREE));
    // The chooser opens at the folder already set: the field holds it, and the tree shows it or,
    // while it does not exist yet, the nearest folder above it that does.
    if (const std::string start = text::Trim(startFolder_); !start.empty()) {
        if (const std::string shown = win::NearestExistingFolder(start); !shown.empty())
            stvwFolders.SelectPath(shown);
        ::SetDlgItemTextA(Handle(), IDC_BROWSE_PATH, start.c_str());
    }
    OnPathChanged();
    return true;
}

void FolderChooser::stvwFoldersChange()
{
    ::SetDlgItemTextA(Handle(), IDC_BROWSE_PATH, stvwFolders.SelectedPath().c_str());
}

void FolderChooser::OnPathChanged()
{
    const std::string path = ItemText(IDC_BROWSE_PATH);
    bool enabled = !text::Trim(path).empty();
    if (enabled && !requiredFile_.empty())
        enabled = win::FileExists(text::IncludeTrailingBackslash(path) + requiredFile_);
    ::EnableWindow(Item(IDOK), enabled ? TRUE : FALSE);
}

// Only OK asks: a typed folder that does not exist may be created, kept as typed, or reconsidered.
bool FolderChooser::CanClose(INT_PTR result)
{
    const std::string path = ItemText(IDC_BROWSE_PATH);
    if (result == IDOK && !ConfirmMissingFolder(Handle(), path))
        return false;
    selectedPath_ = path;
    return true;
}

bool ConfirmMissingFolder(HWND owner, const std::string& path)
{
    if (win::DirectoryExists(path))
        return true;
    switch (win::ShowMessage(owner, kConfirmText, kConfirmCaption, MB_ICONQUESTION | MB_YESNOCANCEL)) {
        case IDYES:
            break;
        case IDNO:
            return true;
        default:
            return false;
    }
    if (win::ForceDirectories(path))
        return true;
    const std::string message = kCreateFailedBefore + path + kCreateFailedAfter;
    win::ShowMessage(owner, message, kErrorCaption, MB_ICONERROR | MB_OK);
    return false;
}

bool FolderChooser::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_BROWSE_PATH) {
        if (code == EN_CHANGE)
            OnPathChanged();
        return true;
    }
    return win::Dialog::OnCommand(id, code, control);
}

bool FolderChooser::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR&)
{
    if (message != WM_NOTIFY)
        return false;
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    if (stvwFolders.OnNotify(header))
        return true;
    if (header.idFrom == IDC_BROWSE_TREE && (header.code == TVN_SELCHANGEDA || header.code == TVN_SELCHANGEDW)) {
        stvwFoldersChange();
        return true;
    }
    return false;
}

bool BrowseForFolder(HWND owner, const std::string& prompt, std::string& path, const std::string& requiredFile)
{
    win::ComScope com;
    FolderChooser dialog(prompt, requiredFile, path);
    path.clear();
    if (dialog.ShowModal(owner) != IDOK)
        return false;
    path = dialog.SelectedPath();
    return true;
}
