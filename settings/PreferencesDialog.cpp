#include "settings/PreferencesDialog.h"

#include "core/Text.h"
#include "jre/JavaDiscovery.h"
#include "jre/DriveScanDialog.h"
#include "res/resource.h"
#include "ui/FolderChooser.h"
#include "settings/Settings.h"
#include "ui/Fonts.h"
#include "win/Messages.h"

namespace {

constexpr const char* kRepositoryPrompt = "Choose Repository Folder";
constexpr const char* kJavaPrompt = "Choose Java Location";
constexpr const char* kJavaLauncher = "javaw.exe";
constexpr const char* kHelpTopic = "Options_Menu";
constexpr const char* kVersionLabel = "Java version ";
constexpr const char* kVersionUnknown = "unknown";
constexpr const char* kRelativeJavaFolder =
    "The Java folder must be a full path that starts with a drive or a network share, such as "
    "C:\\Program Files\\Java\\bin\\.\r\nA folder named relative to the current folder could start another "
    "program than the Java runtime.";
constexpr const char* kErrorCaption = "Error";
constexpr int kMachineWideControls[] = {IDC_PREFS_ALLUSERS, IDC_PREFS_REPOSITORY, IDC_PREFS_BROWSE, IDC_PREFS_JAVAPATH,
                                        IDC_PREFS_JAVA};

}  // namespace

PreferencesDialog::PreferencesDialog(Settings& settings) : win::Dialog(IDD_PREFS, kHelpTopic), settings_(settings) {}

bool PreferencesDialog::Checked(int id) const { return ::IsDlgButtonChecked(Handle(), id) == BST_CHECKED; }

bool PreferencesDialog::OnCreate()
{
    CenterOverOwner();
    boldFont_.reset(win::CreateBoldFontOf(Item(IDC_PREFS_LABEL2)));
    ::SendMessageA(Item(IDC_PREFS_LABEL2), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), FALSE);
    ::SetDlgItemTextA(Handle(), IDC_PREFS_REPOSITORY, settings_.GetRepository().c_str());
    ::CheckDlgButton(Handle(), IDC_PREFS_NOSOUND, settings_.NoSound ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(Handle(), IDC_PREFS_ALLUSERS, settings_.AllUsersSame ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemTextA(Handle(), IDC_PREFS_JAVAPATH, settings_.JavaPath.c_str());
    OnJavaPathChanged();
    machineWritable_ = Settings::IsRegistryKeyWritable(HKEY_LOCAL_MACHINE, ProductKeyPath);
    if (!machineWritable_)
        for (int id : kMachineWideControls)
            ::EnableWindow(Item(id), FALSE);
    return true;
}

void PreferencesDialog::OnBrowse()
{
    std::string folder = ItemText(IDC_PREFS_REPOSITORY);
    if (BrowseForFolder(Handle(), kRepositoryPrompt, folder, ""))
        ::SetDlgItemTextA(Handle(), IDC_PREFS_REPOSITORY, folder.c_str());
}

void PreferencesDialog::OnBrowseJava()
{
    std::string folder = ItemText(IDC_PREFS_JAVAPATH);
    if (BrowseForFolder(Handle(), kJavaPrompt, folder, kJavaLauncher))
        ::SetDlgItemTextA(Handle(), IDC_PREFS_JAVAPATH, folder.c_str());
}

void PreferencesDialog::OnScan()
{
    if (auto folder = SelectJre(Handle()))
        ::SetDlgItemTextA(Handle(), IDC_PREFS_JAVAPATH, folder->c_str());
}

void PreferencesDialog::OnOk()
{
    settings_.SetRepository(ItemText(IDC_PREFS_REPOSITORY));
    settings_.NoSound = Checked(IDC_PREFS_NOSOUND);
    settings_.AllUsersSame = Checked(IDC_PREFS_ALLUSERS);
    // A blank field names no folder: a lone backslash would be the current drive's root.
    const std::string javaFolder = ItemText(IDC_PREFS_JAVAPATH);
    settings_.JavaPath = text::Trim(javaFolder).empty() ? std::string() : text::IncludeTrailingBackslash(javaFolder);
    settings_.Save();
}

// A Java folder is stored only as an absolute path; a relative one is refused here, with the field
// given the focus.
bool PreferencesDialog::JavaFolderUsable()
{
    const std::string folder = text::Trim(ItemText(IDC_PREFS_JAVAPATH));
    if (folder.empty() || text::IsAbsolutePath(folder) || !::IsWindowEnabled(Item(IDC_PREFS_JAVAPATH)))
        return true;
    win::ShowMessage(Handle(), kRelativeJavaFolder, kErrorCaption, MB_ICONERROR | MB_OK);
    ::SetFocus(Item(IDC_PREFS_JAVAPATH));
    return false;
}

void PreferencesDialog::OnHelp() { ShowHelp(); }

// The version of the runtime in the folder the field names, under the field; a runtime whose
// version cannot be read says so, a folder without one says nothing.
void PreferencesDialog::OnJavaPathChanged()
{
    const std::string folder = ItemText(IDC_PREFS_JAVAPATH);
    std::string version = jre::RuntimeVersion(folder);
    if (version.empty() && jre::HoldsRuntime(folder))
        version = kVersionUnknown;
    ::SetDlgItemTextA(Handle(), IDC_PREFS_JAVAVERSION, version.empty() ? "" : (kVersionLabel + version).c_str());
}

bool PreferencesDialog::OnCommand(int id, int code, HWND control)
{
    switch (id) {
        case IDC_PREFS_BROWSE:
            OnBrowse();
            return true;
        case IDC_PREFS_JAVA:
            OnBrowseJava();
            return true;
        case IDC_PREFS_SCAN:
            OnScan();
            return true;
        case IDC_PREFS_HELP:
            OnHelp();
            return true;
        case IDC_PREFS_JAVAPATH:
            if (code == EN_CHANGE)
                OnJavaPathChanged();
            return true;
        case IDOK:
            if (!JavaFolderUsable())
                return true;
            // A repository folder that does not exist is offered to be made, as the chooser does.
            if (const std::string folder = text::Trim(ItemText(IDC_PREFS_REPOSITORY));
                ::IsWindowEnabled(Item(IDC_PREFS_REPOSITORY)) && !folder.empty() &&
                !ConfirmMissingFolder(Handle(), folder))
                return true;
            OnOk();
            RequestClose(IDOK);
            return true;
        default:
            return win::Dialog::OnCommand(id, code, control);
    }
}

// Edit fields of the machine-wide settings show the button face while they are disabled.
bool PreferencesDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message != WM_CTLCOLORSTATIC || machineWritable_)
        return false;
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    if (id != IDC_PREFS_REPOSITORY && id != IDC_PREFS_JAVAPATH)
        return false;
    ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
    result = reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
    return true;
}
