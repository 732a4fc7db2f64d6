// The import dialog in-process: listing, selection, and the import into the repository.
#include <gtest/gtest.h>
#include <windows.h>

#include "puzzles/CollectionFiles.h"
#include "puzzles/ImportDialog.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "tests/native/RecordBuilder.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"

#include <algorithm>
#include <thread>

using namespace std::chrono_literals;

using namespace testing_support;
using namespace puzzles;

namespace {

struct Head {
    std::string label;
    std::string title;
};

std::vector<std::uint8_t> CrosswordRecordBytes(const Head& head)
{
    auto r = RecordBuilder::ForCrossword().Head(head.label, head.title);
    r.Int16(layout::kClueCount, 1).Text(layout::kClueTexts, "Sings at dawn").Byte(layout::kClueFlags, 1);
    r.Fill(layout::kGrid, kGridSize, '#');
    return r.Bytes();
}

std::vector<std::uint8_t> WordSearchRecordBytes(const Head& head)
{
    auto r = RecordBuilder::ForWordSearch().Head(head.label, head.title);
    r.Int16(layout::kWordCount, 1).Text(layout::kWordTexts, "PEAR").Fill(layout::kFillGrid, kGridSize, 'Q');
    return r.Bytes();
}

template <typename MakeRecord>
std::string WriteCollection(const std::string& path, const std::vector<Head>& heads, MakeRecord make)
{
    std::string bytes;
    for (const auto& head : heads) {
        auto record = make(head);
        bytes.append(record.begin(), record.end());
    }
    WriteFileText(path, bytes);
    return path;
}

std::vector<std::string> Lines(HWND list)
{
    std::vector<std::string> lines;
    auto count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char buffer[256] = {};
        ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        lines.push_back(buffer);
    }
    return lines;
}

std::string AsText(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override { config_.SetRepository(repository_.Path()); }
    ImportDialog& Open(const std::string& path)
    {
        dialog_ = std::make_unique<ImportDialog>(config_.GetRepository());
        EXPECT_NE(dialog_->CreateModeless(nullptr), nullptr);
        dialog_->LoadCollection(path);
        return *dialog_;
    }
    HWND Item(int id) const { return dialog_->Item(id); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    void Press(int id) { ::SendMessageA(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // Presses OK, answering every message box; returns what they showed.
    std::vector<CapturedWindow> ImportSelected()
    {
        BoxAnswerer answerer(dialog_->Handle());
        Press(IDC_IMPORT_OK);
        return answerer.Stop();
    }

    TempFolder repository_;
    TempFolder collections_;
    Settings config_;
    std::unique_ptr<ImportDialog> dialog_;
};

const std::vector<Head> kBirds = {{"K7", "Garden Birds"}, {"a1", "owls"}, {"B2", "Sea Birds"}};

}  // namespace

TEST_F(ImportTest, ListsByExtensionSortedWithoutRegardToCase)
{
    struct Case {
        std::string name;
        bool wordSearch;
        std::vector<std::string> lines;
    };
    const std::vector<std::string> sorted = {"(a1) owls", "(B2) Sea Birds", "(K7) Garden Birds"};
    const Case cases[] = {{"birds.cw3", false, sorted},
                          {"birds.Cw3", false, sorted},
                          {"birds.ws3", true, sorted},
                          {"birds.txt", false, {}},
                          {"missing.cw3", false, {}}};
    for (const auto& c : cases) {
        if (c.name != "missing.cw3")
            WriteCollection(collections_ / c.name, kBirds, c.wordSearch ? WordSearchRecordBytes : CrosswordRecordBytes);
        ImportDialog& d = Open(collections_ / c.name);
        EXPECT_EQ(Lines(Item(IDC_IMPORT_LIST)), c.lines) << c.name;
        EXPECT_EQ(Enabled(IDC_IMPORT_SELECT), !c.lines.empty()) << c.name;
        EXPECT_FALSE(Enabled(IDC_IMPORT_CLEAR));
        EXPECT_TRUE(Enabled(IDC_IMPORT_OK));
        if (!c.lines.empty()) {
            EXPECT_EQ(d.CollectionKind(),
                      c.wordSearch ? ImportDialog::Kind::WordSearch : ImportDialog::Kind::Crossword);
        }
        EXPECT_EQ(d.CollectionPath(), collections_ / c.name);
        // The line above the list names the collection; its tooltip gives the whole path.
        EXPECT_EQ(d.ItemText(IDC_IMPORT_COLLECTION), c.name);
        EXPECT_EQ(TooltipTextOf(Item(IDC_IMPORT_COLLECTION)), collections_ / c.name);
    }
}

TEST_F(ImportTest, TheListOrdersNumbersByValueWithoutRegardToCase)
{
    WriteCollection(collections_ / "numbers.cw3",
                    {{"K7", "Puzzle 10"}, {"K7", "Puzzle 2"}, {"k7", "puzzle 1"}, {"K7", "Puzzle 02b"}, {"B2", "Zoo"}},
                    CrosswordRecordBytes);
    Open(collections_ / "numbers.cw3");
    EXPECT_EQ(Lines(Item(IDC_IMPORT_LIST)), (std::vector<std::string>{"(B2) Zoo", "(k7) puzzle 1", "(K7) Puzzle 2",
                                                                      "(K7) Puzzle 02b", "(K7) Puzzle 10"}));
}

TEST_F(ImportTest, SelectionEnablesSelectAllAndClear)
{
    Open(WriteCollection(collections_ / "birds.cw3", kBirds, CrosswordRecordBytes));
    HWND list = Item(IDC_IMPORT_LIST);
    auto click = [&](int line) {
        ::SendMessageA(list, LB_SETSEL, TRUE, line);
        ::SendMessageA(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_IMPORT_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
    };
    click(0);
    EXPECT_TRUE(Enabled(IDC_IMPORT_SELECT));
    EXPECT_TRUE(Enabled(IDC_IMPORT_CLEAR));
    click(1);
    click(2);
    EXPECT_FALSE(Enabled(IDC_IMPORT_SELECT));
    Press(IDC_IMPORT_CLEAR);
    EXPECT_EQ(::SendMessageA(list, LB_GETSELCOUNT, 0, 0), 0);
    EXPECT_TRUE(Enabled(IDC_IMPORT_SELECT));
    EXPECT_FALSE(Enabled(IDC_IMPORT_CLEAR));
    Press(IDC_IMPORT_SELECT);
    EXPECT_EQ(::SendMessageA(list, LB_GETSELCOUNT, 0, 0), 3);
    EXPECT_FALSE(Enabled(IDC_IMPORT_SELECT));
    EXPECT_TRUE(Enabled(IDC_IMPORT_CLEAR));
}

TEST_F(ImportTest, WritesEachSelectedPuzzleByteForByteWithOrWithoutATrailingBackslash)
{
    const std::string cw3 = WriteCollection(collections_ / "birds.cw3", kBirds, CrosswordRecordBytes);
    const std::string ws3 = WriteCollection(collections_ / "fruit.ws3", {{"W2", "Fruit"}}, WordSearchRecordBytes);
    std::string folder = repository_.Path();
    for (const std::string& repository : {folder, folder.substr(0, folder.size() - 1)}) {
        config_.SetRepository(repository);
        Open(cw3);
        Press(IDC_IMPORT_SELECT);
        EXPECT_TRUE(ImportSelected().empty());
        Open(ws3);
        Press(IDC_IMPORT_SELECT);
        EXPECT_TRUE(ImportSelected().empty());
        for (std::size_t i = 0; i < kBirds.size(); ++i) {
            const std::string file = folder + "(" + kBirds[i].label + ") " + kBirds[i].title + ".JGF";
            EXPECT_EQ(ReadFileText(file),
                      AsText(CrosswordFileBytes(MakeCrosswordPuzzle({CrosswordRecordBytes(kBirds[i])}))))
                << file;
        }
        EXPECT_EQ(ReadFileText(folder + "(W2) Fruit.JWF"),
                  AsText(WordSearchFileBytes(MakeWordSearchPuzzle({WordSearchRecordBytes({"W2", "Fruit"})}))));
    }
    EXPECT_TRUE(win::FileExists(repository_ / "(K7) Garden Birds.JGF"));
}

TEST_F(ImportTest, ARefusedNameShowsTheExportErrorAndTheImportGoesOn)
{
    for (bool wordSearch : {false, true}) {
        // The second label holds a NUL: the list shows "(N", but the name is the whole text.
        const std::vector<Head> heads = {{"A", "What?"}, {std::string("N\0L", 3), "Nul"}, {"B", "Fine"}};
        Open(WriteCollection(collections_ / (wordSearch ? "q.ws3" : "q.cw3"), heads,
                             wordSearch ? WordSearchRecordBytes : CrosswordRecordBytes));
        Press(IDC_IMPORT_SELECT);
        auto boxes = ImportSelected();
        ASSERT_EQ(boxes.size(), 2u);
        for (const auto& box : boxes) {
            EXPECT_EQ(box.caption, "Error");
            EXPECT_EQ(box.iconName, "IDI_HAND");
            EXPECT_EQ(box.buttons, (std::vector<std::string>{"OK", "Cancel"}));
            EXPECT_EQ(box.texts.at(0).rfind("The following error occurred while attempting to export the puzzle:\r\n"
                                            "The puzzle \"(",
                                            0),
                      0u)
                << box.texts.at(0);
            EXPECT_NE(box.texts.at(0).find("Windows does not allow "), std::string::npos);
        }
        EXPECT_TRUE(win::FileExists(repository_ / (wordSearch ? "(B) Fine.JWF" : "(B) Fine.JGF")));
    }
    EXPECT_EQ(FolderEntries(repository_.Path()), (std::vector<std::string>{"(B) Fine.JGF", "(B) Fine.JWF"}));
}

TEST_F(ImportTest, CancelInTheErrorBoxStopsTheImport)
{
    Open(
        WriteCollection(collections_ / "bad.cw3", {{"A", "Bad?"}, {"B", "Bad*"}, {"C", "Fine"}}, CrosswordRecordBytes));
    Press(IDC_IMPORT_SELECT);
    BoxAnswerer answerer(dialog_->Handle(), "Cancel");
    Press(IDC_IMPORT_OK);
    EXPECT_EQ(answerer.Stop().size(), 1u);
    EXPECT_TRUE(FolderEntries(repository_.Path()).empty());
}

TEST_F(ImportTest, PuzzlesWhoseNamesDifferOnlyInCaseOrNotAtAllEachGetTheirOwnFile)
{
    const std::vector<Head> heads = {{"A1", "Owls"}, {"a1", "OWLS"}, {"A1", "Owls"}};
    std::string bytes;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < heads.size(); ++i) {
        // Each record its own clue, so that each file can be told from the others.
        auto r = RecordBuilder::ForCrossword().Head(heads[i].label, heads[i].title);
        r.Int16(layout::kClueCount, 1).Text(layout::kClueTexts, "Clue " + std::to_string(i));
        bytes.append(r.Bytes().begin(), r.Bytes().end());
        expected.push_back(AsText(CrosswordFileBytes(MakeCrosswordPuzzle({r.Bytes()}))));
    }
    WriteFileText(collections_ / "owls.cw3", bytes);
    // A file of an earlier import is still replaced as before.
    WriteFileText(repository_ / "(A1) Owls.JGF", "earlier");
    Open(collections_ / "owls.cw3");
    Press(IDC_IMPORT_SELECT);
    EXPECT_TRUE(ImportSelected().empty());
    std::vector<std::string> names = FolderEntries(repository_.Path()), contents;
    ASSERT_EQ(names.size(), 3u);
    for (const auto& name : names)
        contents.push_back(ReadFileText(repository_ / name));
    std::vector<std::string> upper;
    for (auto name : names)
        upper.push_back(win::UpperCase(name));
    std::sort(upper.begin(), upper.end());
    EXPECT_EQ(upper, (std::vector<std::string>{"(A1) OWLS (2).JGF", "(A1) OWLS (3).JGF", "(A1) OWLS.JGF"}));
    std::sort(contents.begin(), contents.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(contents, expected);
}

TEST_F(ImportTest, TemporaryFilesOfEndedProcessesAreRemovedAndThoseOfRunningOnesKept)
{
    const DWORD endedProcess = EndedProcessId();
    ASSERT_NE(endedProcess, 0u);
    const std::string endedId = std::to_string(endedProcess);
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const std::string ownId = std::to_string(::GetCurrentProcessId());
    const std::string ownStart =
        std::to_string((static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime);
    const std::string staging = repository_ / "~gridlark\\";
    ::CreateDirectoryA(staging.c_str(), nullptr);
    struct Planted {
        std::string path;
        bool kept;
    };
    const Planted planted[] = {
        {staging + "~gridlark-" + endedId + "-1-0.tmp", false},
        {staging + "~gridlark-" + ownId + "-" + ownStart + "-7.tmp", true},
        {staging + "~gridlark-" + ownId + "-12345-7.tmp", false},  // the id now names another process
        {repository_ / ("~gridlark-" + endedId + "-0-0.tmp"), false},
        {repository_ / ("~gridlark-" + ownId + "-3-0.tmp"), true},
        {repository_ / "~gridlark-notes.tmp", true},
    };
    for (const auto& p : planted)
        WriteFileText(p.path, "partial");
    Open(WriteCollection(collections_ / "birds.cw3", kBirds, CrosswordRecordBytes));
    Press(IDC_IMPORT_SELECT);
    EXPECT_TRUE(ImportSelected().empty());
    for (const auto& p : planted)
        EXPECT_EQ(win::FileExists(p.path), p.kept) << p.path;
    EXPECT_TRUE(win::FileExists(repository_ / "(K7) Garden Birds.JGF"));
}

TEST_F(ImportTest, EnterInTheListWritesNothingAndTheDialogIsCentredOverItsOwner)
{
    const std::string cw3 = WriteCollection(collections_ / "birds.cw3", kBirds, CrosswordRecordBytes);
    win::UniqueHWnd owner(::CreateWindowExA(0, "STATIC", "Owner", WS_POPUP | WS_VISIBLE, 60, 40, 700, 560, nullptr,
                                            nullptr, nullptr, nullptr));
    RECT dialogBounds{};
    std::thread driver([&] {
        HWND dialog = nullptr;
        WaitUntil([&] {
            dialog = ::FindWindowA("#32770", "Import Puzzle(s)");
            return dialog != nullptr && ::IsWindowVisible(dialog);
        });
        ::GetWindowRect(dialog, &dialogBounds);
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_SELECT, BN_CLICKED), 0);
        HWND list = ::GetDlgItem(dialog, IDC_IMPORT_LIST);
        ::PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageA(list, WM_KEYUP, VK_RETURN, 0);
        ::Sleep(300);
        ::PostMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ImportDialog dialog(repository_.Path());
    const INT_PTR result = dialog.ShowModalFor(owner.get(), cw3);
    driver.join();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(FolderEntries(repository_.Path()).empty());
    EXPECT_NEAR((dialogBounds.left + dialogBounds.right) / 2, 60 + 350, 1);
    EXPECT_NEAR((dialogBounds.top + dialogBounds.bottom) / 2, 40 + 280, 1);
}

TEST_F(ImportTest, ALongImportShowsProgressAndEscStopsItLeavingOnlyWholeFiles)
{
    constexpr int kRecords = 500;
    std::vector<Head> heads;
    for (int i = 0; i < kRecords; ++i)
        heads.push_back({"L", "Puzzle " + std::to_string(1000 + i)});
    Open(WriteCollection(collections_ / "long.cw3", heads, CrosswordRecordBytes));
    Press(IDC_IMPORT_SELECT);
    // The progress shows at once here, so that Esc surely comes while the import runs.
    dialog_->SetProgressDelay(0ms);
    std::string progressText;
    HWND dialog = dialog_->Handle();
    std::thread driver([&] {
        HWND bar = ::GetDlgItem(dialog, IDC_IMPORT_PROGRESS);
        // The dialog itself is not shown here: the bar's own style tells whether it shows.
        WaitUntil([&] { return (::GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE) != 0; }, 30s);
        char text[64] = {};
        ::GetWindowTextA(::GetDlgItem(dialog, IDC_IMPORT_PROGRESS_TEXT), text, sizeof(text));
        progressText = text;
        ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    Press(IDC_IMPORT_OK);
    driver.join();
    EXPECT_EQ(dialog_->Handle(), nullptr);  // closed as after OK
    EXPECT_NE(progressText.find(" of 500"), std::string::npos) << progressText;
    const auto names = FolderEntries(repository_.Path());
    EXPECT_GT(names.size(), 0u);
    EXPECT_LT(names.size(), static_cast<std::size_t>(kRecords));
    const std::string whole = AsText(CrosswordFileBytes(MakeCrosswordPuzzle({CrosswordRecordBytes(heads[0])})));
    for (const auto& name : names) {
        ASSERT_EQ(name.rfind("(L) Puzzle ", 0), 0u) << name;  // no temporary file or folder
        EXPECT_EQ(ReadFileText(repository_ / name).size(), whole.size()) << name;
    }
}

TEST_F(ImportTest, ACollectionShortenedAfterListingGivesAReadErrorPerLostRecord)
{
    const std::string cw3 = WriteCollection(collections_ / "birds.cw3", kBirds, CrosswordRecordBytes);
    Open(cw3);
    Press(IDC_IMPORT_SELECT);
    WriteCollection(cw3, {kBirds[0]}, CrosswordRecordBytes);
    auto boxes = ImportSelected();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes)
        EXPECT_EQ(box.texts.at(0),
                  "The following error occurred while attempting to read the puzzle:\r\nRead beyond end of file");
    EXPECT_TRUE(win::FileExists(repository_ / "(K7) Garden Birds.JGF"));
}

TEST_F(ImportTest, ImportingTwiceReplacesAndCancelWritesNothing)
{
    const std::string cw3 = WriteCollection(collections_ / "birds.cw3", {{"K7", "Garden Birds"}}, CrosswordRecordBytes);
    WriteFileText(repository_ / "(K7) Garden Birds.JGF", std::string(9000, 'o'));
    for (int i = 0; i < 2; ++i) {
        Open(cw3);
        Press(IDC_IMPORT_SELECT);
        EXPECT_TRUE(ImportSelected().empty());
        EXPECT_EQ(ReadFileText(repository_ / "(K7) Garden Birds.JGF").size(), 2532u + 4 + 13 + 4 * 3 + 1 + 12);
    }
    ::DeleteFileA((repository_ / "(K7) Garden Birds.JGF").c_str());
    Open(cw3);
    Press(IDC_IMPORT_SELECT);
    Press(IDCANCEL);
    EXPECT_FALSE(win::FileExists(repository_ / "(K7) Garden Birds.JGF"));
}

TEST_F(ImportTest, ASecondImportRecyclesEachReplacedPuzzleAndLeavesAnIdenticalOneUntouched)
{
    ASSERT_TRUE(RunUnixShell("rm -rf \"$XDG_DATA_HOME/Trash/files\"/* \"$XDG_DATA_HOME/Trash/info\"/*"));
    const std::vector<Head> heads = {{"K7", "Garden Birds"}, {"a1", "owls"}};
    const std::string first = WriteCollection(collections_ / "first.cw3", heads, CrosswordRecordBytes);
    const std::string second = WriteCollection(collections_ / "second.cw3", heads, [](const Head& head) {
        auto r = RecordBuilder::ForCrossword().Head(head.label, head.title);
        r.Int16(layout::kClueCount, 1).Text(layout::kClueTexts, "Hoots at night").Fill(layout::kGrid, kGridSize, '#');
        return r.Bytes();
    });
    const auto importAll = [&](const std::string& collection) {
        Open(collection);
        Press(IDC_IMPORT_SELECT);
        EXPECT_TRUE(ImportSelected().empty());
    };
    const auto writeTime = [&](const char* name) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExA((repository_ / name).c_str(), GetFileExInfoStandard, &data);
        return (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    };
    importAll(first);
    const std::string firstContent = ReadFileText(repository_ / "(K7) Garden Birds.JGF");
    // An old write time shows whether the identical import writes the file again.
    {
        win::UniqueHandle file(::CreateFileA((repository_ / "(K7) Garden Birds.JGF").c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
        const FILETIME old{0, 30000000};
        ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &old));
    }
    const std::uint64_t before = writeTime("(K7) Garden Birds.JGF");
    importAll(first);
    EXPECT_EQ(writeTime("(K7) Garden Birds.JGF"), before);
    EXPECT_TRUE(RunUnixShell("[ -z \"$(ls -A \"$XDG_DATA_HOME/Trash/files\")\" ]"));

    importAll(second);
    EXPECT_NE(ReadFileText(repository_ / "(K7) Garden Birds.JGF"), firstContent);
    EXPECT_NE(ReadFileText(repository_ / "(K7) Garden Birds.JGF").find("Hoots at night"), std::string::npos);
    WriteFileText(collections_ / "kept.JGF", firstContent);
    EXPECT_TRUE(RunUnixShell("cmp -s \"$XDG_DATA_HOME/Trash/files/(K7) Garden Birds.JGF\" '" +
                             UnixPath(collections_ / "kept.JGF") + "'"));
    EXPECT_TRUE(RunUnixShell("[ -f \"$XDG_DATA_HOME/Trash/files/(a1) owls.JGF\" ]"));
    EXPECT_EQ(FolderEntries(repository_.Path()), (std::vector<std::string>{"(K7) Garden Birds.JGF", "(a1) owls.JGF"}));
}

TEST_F(ImportTest, NoCraftedTitleOrLabelWritesOutsideTheRepository)
{
    // The repository lies two folders down, beside a planted file.
    TempFolder root;
    const std::string repository = root / "a\\b\\";
    win::ForceDirectories(repository);
    config_.SetRepository(repository);
    WriteFileText(root / "x.JGF", "planted");
    const std::vector<Head> heads = {{"", "..\\..\\x"}, {"..", "\\..\\x"}, {"", "a/b"},          {"C", "x"},
                                     {"C:", "x"},       {"", "a:stream"},  {"x", "y\\..\\..\\z"}};
    for (bool wordSearch : {false, true}) {
        Open(WriteCollection(collections_ / (wordSearch ? "evil.ws3" : "evil.cw3"), heads,
                             wordSearch ? WordSearchRecordBytes : CrosswordRecordBytes));
        Press(IDC_IMPORT_SELECT);
        auto boxes = ImportSelected();
        EXPECT_EQ(boxes.size(), heads.size() - 1);  // "(C) x" is a fine name
        for (const auto& box : boxes)
            EXPECT_NE(box.texts.at(0).find("export the puzzle:\r\nThe puzzle \""), std::string::npos);
    }
    EXPECT_EQ(ReadFileText(root / "x.JGF"), "planted");
    // Nothing but the planted file and the repository's own folders outside it.
    std::vector<std::string> outside;
    WIN32_FIND_DATAA data;
    win::UniqueFindHandle find(::FindFirstFileA((root / "*").c_str(), &data));
    do {
        outside.push_back(data.cFileName);
    } while (::FindNextFileA(find.get(), &data));
    std::sort(outside.begin(), outside.end());
    EXPECT_EQ(outside, (std::vector<std::string>{".", "..", "a", "x.JGF"}));
    std::vector<std::string> inA;
    win::UniqueFindHandle findA(::FindFirstFileA((root / "a\\*").c_str(), &data));
    do {
        inA.push_back(data.cFileName);
    } while (::FindNextFileA(findA.get(), &data));
    std::sort(inA.begin(), inA.end());
    EXPECT_EQ(inA, (std::vector<std::string>{".", "..", "b"}));
    std::vector<std::string> inRepository;
    win::UniqueFindHandle findR(::FindFirstFileA((repository + "*").c_str(), &data));
    do {
        inRepository.push_back(data.cFileName);
    } while (::FindNextFileA(findR.get(), &data));
    std::sort(inRepository.begin(), inRepository.end());
    EXPECT_EQ(inRepository, (std::vector<std::string>{"(C) x.JGF", "(C) x.JWF", ".", ".."}));
}
