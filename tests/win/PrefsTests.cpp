// The preferences dialog and the folder chooser in-process, against the Wine registry and files.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <map>
#include <thread>

#include "app/Application.h"
#include "help/HTMLHelp.h"
#include "res/resource.h"
#include "ui/FolderChooser.h"
#include "settings/Settings.h"
#include "settings/PreferencesDialog.h"
#include "tests/win/TestSupport.h"
#include "win/LazyApi.h"
#include "win/Paths.h"
#include "win/Registry.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// Every value below the product key of a root: name, type and bytes.
std::map<std::string, std::pair<DWORD, std::string>> Values(HKEY root)
{
    std::map<std::string, std::pair<DWORD, std::string>> values;
    win::UniqueHKey key;
    if (::RegOpenKeyExA(root, ProductKeyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLength = sizeof(name), type = 0, size = 0;
        BYTE data[8192];
        size = sizeof(data);
        if (::RegEnumValueA(key.get(), i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        values[name] = {type, std::string(reinterpret_cast<char*>(data), size)};
    }
    return values;
}

std::optional<std::uint32_t> Number(HKEY root, const char* name)
{
    win::RegistryAccessor reader(root);
    return reader.OpenKeyReadOnly(ProductKeyPath) ? reader.ReadInteger(name) : std::nullopt;
}

std::optional<std::string> Text(HKEY root, const char* name)
{
    win::RegistryAccessor reader(root);
    return reader.OpenKeyReadOnly(ProductKeyPath) ? reader.ReadString(name) : std::nullopt;
}

class PrefsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductKeys();
        config_.SetRepository(repository_.Path());
        config_.JavaPath = "C:\\Java\\bin\\";
        config_.NoSound = true;
        config_.AllUsersSame = true;
    }
    void TearDown() override
    {
        dialog_.reset();
        ClearProductKeys();
    }
    PreferencesDialog& Open()
    {
        dialog_ = std::make_unique<PreferencesDialog>(config_);
        EXPECT_NE(dialog_->CreateModeless(nullptr), nullptr);
        return *dialog_;
    }
    void SetText(int id, const std::string& text) { ::SetDlgItemTextA(dialog_->Handle(), id, text.c_str()); }
    void SetCheck(int id, bool on) { ::CheckDlgButton(dialog_->Handle(), id, on ? BST_CHECKED : BST_UNCHECKED); }
    bool Checked(int id) { return ::IsDlgButtonChecked(dialog_->Handle(), id) == BST_CHECKED; }
    bool Enabled(int id) { return ::IsWindowEnabled(dialog_->Item(id)) != FALSE; }
    void Press(int id) { ::SendMessageA(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    TempFolder repository_;
    Settings config_;
    std::unique_ptr<PreferencesDialog> dialog_;
};

}  // namespace

TEST_F(PrefsTest, ShowsTheSettingsAndOkStoresAndSavesThem)
{
    struct Case {
        std::string javaField;
        std::string javaPath;
    };
    const Case cases[] = {{"C:\\Java\\bin", "C:\\Java\\bin\\"}, {"D:\\jre\\bin\\", "D:\\jre\\bin\\"}, {"", ""}};
    for (const auto& c : cases) {
        Open();
        EXPECT_EQ(dialog_->ItemText(IDC_PREFS_REPOSITORY), config_.GetRepository());
        EXPECT_EQ(dialog_->ItemText(IDC_PREFS_JAVAPATH), config_.JavaPath);
        EXPECT_EQ(Checked(IDC_PREFS_NOSOUND), config_.NoSound);
        EXPECT_EQ(Checked(IDC_PREFS_ALLUSERS), config_.AllUsersSame);
        SetText(IDC_PREFS_REPOSITORY, " C:\\New Puzzles ");
        SetText(IDC_PREFS_JAVAPATH, c.javaField);
        SetCheck(IDC_PREFS_NOSOUND, false);
        {
            // The folder does not exist: kept as typed.
            WindowCatcher catcher("No");
            Press(IDOK);
            EXPECT_EQ(catcher.Result().caption, "Confirm Create");
        }
        EXPECT_EQ(dialog_->Handle(), nullptr);
        EXPECT_EQ(config_.GetRepository(), " C:\\New Puzzles ");
        EXPECT_EQ(config_.JavaPath, c.javaPath);
        EXPECT_FALSE(config_.NoSound);
        EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Repository"), " C:\\New Puzzles ");
        EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Java Path"), c.javaPath);
        EXPECT_EQ(Number(HKEY_LOCAL_MACHINE, "No Sound"), 0u);
        config_.SetRepository(repository_.Path());
    }
}

TEST_F(PrefsTest, CancelEscAndTheCloseBoxChangeNothingAfterEverythingWasChanged)
{
    config_.Save();
    const auto machine = Values(HKEY_LOCAL_MACHINE), user = Values(HKEY_CURRENT_USER);
    // Esc reaches the dialog as the Cancel command, as the Cancel button does.
    for (bool closeBox : {false, true}) {
        Open();
        SetText(IDC_PREFS_REPOSITORY, "C:\\Elsewhere");
        SetText(IDC_PREFS_JAVAPATH, "C:\\Other");
        SetCheck(IDC_PREFS_NOSOUND, false);
        SetCheck(IDC_PREFS_ALLUSERS, false);
        if (closeBox) {
            ::SendMessageA(dialog_->Handle(), WM_CLOSE, 0, 0);
            PumpMessages();  // the close box's Cancel command comes posted
        } else {
            Press(IDCANCEL);
        }
        EXPECT_EQ(dialog_->Handle(), nullptr) << closeBox;
    }
    EXPECT_EQ(config_.GetRepository(), repository_.Path());
    EXPECT_EQ(config_.JavaPath, "C:\\Java\\bin\\");
    EXPECT_TRUE(config_.NoSound);
    EXPECT_TRUE(config_.AllUsersSame);
    EXPECT_EQ(Values(HKEY_LOCAL_MACHINE), machine);
    EXPECT_EQ(Values(HKEY_CURRENT_USER), user);
}

TEST_F(PrefsTest, ALimitedUserCannotChangeTheMachineWideSettings)
{
    MachineKeyDenied denied;
    config_.AllUsersSame = false;
    Open();
    for (int id : {IDC_PREFS_ALLUSERS, IDC_PREFS_REPOSITORY, IDC_PREFS_BROWSE, IDC_PREFS_JAVAPATH, IDC_PREFS_JAVA})
        EXPECT_FALSE(Enabled(id)) << id;
    for (int id : {IDC_PREFS_NOSOUND, IDC_PREFS_SCAN, IDOK, IDCANCEL, IDC_PREFS_HELP})
        EXPECT_TRUE(Enabled(id)) << id;
    // The disabled fields ask their owner for the colour of read-only text: the button face.
    HDC dc = ::GetDC(dialog_->Item(IDC_PREFS_REPOSITORY));
    for (int id : {IDC_PREFS_REPOSITORY, IDC_PREFS_JAVAPATH})
        EXPECT_EQ(::SendMessageA(dialog_->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(dialog_->Item(id))),
                  reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE)));
    ::ReleaseDC(dialog_->Item(IDC_PREFS_REPOSITORY), dc);
    SetCheck(IDC_PREFS_NOSOUND, false);
    Press(IDOK);
    EXPECT_EQ(Number(HKEY_CURRENT_USER, "No Sound"), 0u);
    EXPECT_FALSE(Text(HKEY_LOCAL_MACHINE, "Repository").has_value());
}

TEST_F(PrefsTest, AllUsersDecidesWhichKeyHoldsNoSound)
{
    Open();
    SetCheck(IDC_PREFS_ALLUSERS, false);
    SetCheck(IDC_PREFS_NOSOUND, true);
    Press(IDOK);
    EXPECT_EQ(Number(HKEY_LOCAL_MACHINE, "All Users Same"), 0u);
    EXPECT_EQ(Number(HKEY_CURRENT_USER, "No Sound"), 1u);
    EXPECT_FALSE(Number(HKEY_LOCAL_MACHINE, "No Sound").has_value());

    Open();
    SetCheck(IDC_PREFS_ALLUSERS, true);
    SetCheck(IDC_PREFS_NOSOUND, false);
    Press(IDOK);
    EXPECT_EQ(Number(HKEY_LOCAL_MACHINE, "All Users Same"), 1u);
    EXPECT_EQ(Number(HKEY_LOCAL_MACHINE, "No Sound"), 0u);
    EXPECT_EQ(Number(HKEY_CURRENT_USER, "No Sound"), 1u);
}

namespace {

std::string helpAddress;

HWND WINAPI RecordHelpAddress(HWND, LPCSTR topic, UINT, DWORD_PTR)
{
    helpAddress = topic;
    return nullptr;
}

}  // namespace

TEST_F(PrefsTest, AMissingRepositoryFolderIsOfferedToBeMadeAndCancelKeepsTheDialogOpen)
{
    const std::string missing = repository_ / "new\\puzzles";
    Open();
    SetText(IDC_PREFS_REPOSITORY, missing);
    {
        WindowCatcher catcher("Cancel");
        Press(IDOK);
        const CapturedWindow box = catcher.Result();
        EXPECT_EQ(box.caption, "Confirm Create");
        EXPECT_EQ(box.texts.at(0), "The specified directory does not exist.\r\nDo you want to create it?");
    }
    ASSERT_NE(dialog_->Handle(), nullptr);
    EXPECT_FALSE(win::DirectoryExists(missing));
    {
        WindowCatcher catcher("Yes");
        Press(IDOK);
        catcher.Result();
    }
    EXPECT_EQ(dialog_->Handle(), nullptr);
    EXPECT_TRUE(win::DirectoryExists(missing));
    EXPECT_EQ(config_.GetRepository(), missing);
}

TEST_F(PrefsTest, ARelativeJavaFolderIsRefusedAndTheDialogStaysOpen)
{
    for (const char* relative : {"rel\\bin", ".", "\\Java\\bin", "C:bin"}) {
        Open();
        SetText(IDC_PREFS_JAVAPATH, relative);
        WindowCatcher catcher("OK");
        Press(IDOK);
        const CapturedWindow box = catcher.Result();
        EXPECT_EQ(box.caption, "Error") << relative;
        EXPECT_NE(box.texts.at(0).find("must be a full path"), std::string::npos);
        ASSERT_NE(dialog_->Handle(), nullptr);
        EXPECT_EQ(FocusOfThreadOf(dialog_->Handle()), dialog_->Item(IDC_PREFS_JAVAPATH));
        EXPECT_EQ(config_.JavaPath, "C:\\Java\\bin\\");
        dialog_.reset();
    }
}

TEST_F(PrefsTest, TheJavaFieldShowsTheVersionOfItsRuntime)
{
    TempFolder runtimes;
    struct Case {
        const char* program;  // copied as javaw.exe; none for a folder without one
        std::string shown;
    };
    const Case cases[] = {
        {"versioned.exe", "Java version 1.0.25.3"}, {"javaw.exe", "Java version unknown"}, {nullptr, ""}};
    Open();
    for (const auto& c : cases) {
        const std::string folder = runtimes / std::to_string(&c - cases) + "\\";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        if (c.program != nullptr)
            CopyFileTo(StubsFolder() + c.program, folder + "javaw.exe");
        SetText(IDC_PREFS_JAVAPATH, folder);
        EXPECT_EQ(dialog_->ItemText(IDC_PREFS_JAVAVERSION), c.shown) << folder;
    }
}

TEST_F(PrefsTest, HelpShowsTheOptionsTopic)
{
    SetHtmlHelpEntryForTests(&RecordHelpAddress);
    help::SetHelpFile(DistFolder() + "gridlark.chm");
    Open();
    Press(IDC_PREFS_HELP);
    SetHtmlHelpEntryForTests(nullptr);
    help::SetHelpFile(app::kHelpFileName);
    EXPECT_NE(helpAddress.find("gridlark.chm::\\Options_Menu.htm"), std::string::npos) << helpAddress;
}

namespace {

// Runs the folder chooser modally while a helper thread types into it and answers its questions.
class ChooserTest : public ::testing::Test {
protected:
    struct Outcome {
        bool chosen;
        std::string path;
    };
    Outcome Run(const std::string& requiredFile, const std::function<void(HWND)>& drive)
    {
        std::thread driver([&] {
            HWND dialog = nullptr;
            WaitUntil([&] {
                dialog = ::FindWindowA("#32770", "Select Folder");
                return dialog != nullptr && ::IsWindowVisible(dialog);
            });
            drive(dialog);
        });
        Outcome outcome;
        outcome.path = "left over";
        outcome.chosen = BrowseForFolder(nullptr, "Choose Repository Folder", outcome.path, requiredFile);
        driver.join();
        return outcome;
    }
    static void Type(HWND dialog, const std::string& text)
    {
        ::SendMessageA(::GetDlgItem(dialog, IDC_BROWSE_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    static bool OkEnabled(HWND dialog) { return ::IsWindowEnabled(::GetDlgItem(dialog, IDOK)) != FALSE; }
    // Presses OK, then answers the box that comes with the given button; what the box showed.
    static CapturedWindow OkAndAnswer(HWND dialog, const std::string& button)
    {
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        HWND box = nullptr;
        WaitUntil([&] {
            box = ::GetLastActivePopup(dialog);
            return box != dialog && box != nullptr && ::IsWindowVisible(box);
        });
        CapturedWindow captured = Capture(box);
        PressButton(box, button);
        WaitUntil([&] { return !::IsWindow(box); });
        return captured;
    }

    TempFolder temp_;
};

}  // namespace

TEST_F(ChooserTest, HoldsTheFolderAlreadySetAndShowsItOrTheNearestOneAboveItThatExists)
{
    const std::string existing = temp_ / "Start Here";
    ::CreateDirectoryA(existing.c_str(), nullptr);
    struct Case {
        std::string start;
        const char* selected;
    };
    const Case cases[] = {
        {existing, "Start Here"},
        {existing + "\\Not Yet\\Nor This", "Start Here"},
        {"Q:\\Gone\\Here", nullptr},  // no drive Q: nothing to show in the tree
    };
    win::ComScope com;
    for (const auto& c : cases) {
        FolderChooser dialog("Choose Repository Folder", "", c.start);
        ASSERT_NE(dialog.CreateModeless(nullptr), nullptr);
        EXPECT_EQ(dialog.ItemText(IDC_BROWSE_PATH), c.start);
        if (c.selected == nullptr)
            continue;
        HWND tree = dialog.Item(IDC_BROWSE_TREE);
        char name[MAX_PATH] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetSelection(tree);
        item.pszText = name;
        item.cchTextMax = MAX_PATH;
        ASSERT_TRUE(TreeView_GetItem(tree, &item)) << c.start;
        EXPECT_STREQ(name, c.selected) << c.start;
    }
}

TEST_F(ChooserTest, AMissingTypedFolderIsCreatedOnYesKeptOnNoAndReconsideredOnCancel)
{
    const std::string chain = temp_ / "a\\b\\c";
    CapturedWindow question;
    auto yes = Run("", [&](HWND dialog) {
        char prompt[64] = {};
        ::GetDlgItemTextA(dialog, IDC_BROWSE_LABEL1, prompt, sizeof(prompt));
        EXPECT_STREQ(prompt, "Choose Repository Folder");
        Type(dialog, chain);
        question = OkAndAnswer(dialog, "Yes");
    });
    EXPECT_TRUE(yes.chosen);
    EXPECT_EQ(yes.path, chain);
    EXPECT_TRUE(win::DirectoryExists(chain));
    EXPECT_EQ(question.caption, "Confirm Create");
    EXPECT_EQ(question.texts.at(0), "The specified directory does not exist.\r\nDo you want to create it?");
    EXPECT_EQ(question.iconName, "IDI_QUESTION");
    EXPECT_EQ(question.buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));

    const std::string typed = temp_ / "never\\made ";
    auto no = Run("", [&](HWND dialog) {
        Type(dialog, typed);
        OkAndAnswer(dialog, "No");
    });
    EXPECT_TRUE(no.chosen);
    EXPECT_EQ(no.path, typed);
    EXPECT_FALSE(win::DirectoryExists(temp_ / "never"));

    std::string kept;
    auto cancel = Run("", [&](HWND dialog) {
        Type(dialog, typed);
        OkAndAnswer(dialog, "Cancel");
        kept = ::IsWindow(dialog) ? std::string(256, '\0') : std::string();
        kept.resize(::GetDlgItemTextA(dialog, IDC_BROWSE_PATH, kept.data(), 256));
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(kept, typed);
    EXPECT_FALSE(cancel.chosen);
    EXPECT_EQ(cancel.path, "");
}

TEST_F(ChooserTest, AFolderThatCannotBeCreatedIsReportedAndTheChooserStays)
{
    WriteFileText(temp_ / "file.txt", "x");
    const std::string impossible = temp_ / "file.txt\\sub";
    CapturedWindow error;
    bool stayed = false;
    Run("", [&](HWND dialog) {
        Type(dialog, impossible);
        OkAndAnswer(dialog, "Yes");
        HWND box = nullptr;
        WaitUntil([&] {
            box = ::GetLastActivePopup(dialog);
            return box != dialog && box != nullptr && ::IsWindowVisible(box);
        });
        error = Capture(box);
        PressButton(box, "OK");
        WaitUntil([&] { return !::IsWindow(box); });
        stayed = ::IsWindowVisible(dialog) != FALSE;
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(error.caption, "Error");
    EXPECT_EQ(error.iconName, "IDI_HAND");
    EXPECT_EQ(error.texts.at(0), "Could not create the path, \"" + impossible +
                                     "\".\r\nPlease make sure that the disk is not full or write-protected.");
}

TEST_F(ChooserTest, OkNeedsAPathAndForJavaAFolderHoldingJavaw)
{
    const std::string java = temp_ / "jre\\bin";
    win::ForceDirectories(java);
    WriteFileText(java + "\\javaw.exe", "");
    struct Case {
        std::string required;
        std::string typed;
        bool enabled;
    };
    const Case cases[] = {{"", "   ", false},
                          {"", temp_.Path(), true},
                          {"javaw.exe", java, true},
                          {"javaw.exe", java + "\\", true},
                          {"javaw.exe", temp_.Path(), false}};
    for (const auto& c : cases) {
        bool enabled = !c.enabled;
        std::string start;
        auto outcome = Run(c.required, [&](HWND dialog) {
            char text[MAX_PATH] = {};
            ::GetDlgItemTextA(dialog, IDC_BROWSE_PATH, text, MAX_PATH);
            start = text;
            Type(dialog, c.typed);
            enabled = OkEnabled(dialog);
            ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(c.enabled ? IDOK : IDCANCEL, BN_CLICKED), 0);
        });
        EXPECT_EQ(enabled, c.enabled) << c.required << " " << c.typed;
        EXPECT_EQ(outcome.chosen, c.enabled);
        EXPECT_EQ(outcome.path, c.enabled ? c.typed : "");
        // The tree selects its root, the Desktop, as it opens: the field starts with its path.
        EXPECT_FALSE(start.empty());
    }
}
