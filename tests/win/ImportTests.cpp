// The import dialog in-process: listing, selection, and the import into the repository.
#include <gtest/gtest.h>
#include <windows.h>

#include "puzzles/CollectionFiles.h"
#include "puzzles/Import.h"
#include "res/resource.h"
#include "settings/Configs.h"
#include "tests/native/RecordBuilder.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"

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
    void SetUp() override
    {
        config_.SetRepository(repository_.Path());
        Config = &config_;
    }
    void TearDown() override { Config = nullptr; }
    TfrmImport& Open(const std::string& path)
    {
        dialog_ = std::make_unique<TfrmImport>();
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
        Press(IDOK);
        return answerer.Stop();
    }

    TempFolder repository_;
    TempFolder collections_;
    TConfig config_;
    std::unique_ptr<TfrmImport> dialog_;
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
        TfrmImport& d = Open(collections_ / c.name);
        EXPECT_EQ(Lines(Item(IDC_IMPORT_LIST)), c.lines) << c.name;
        EXPECT_EQ(Enabled(IDC_IMPORT_SELECT), !c.lines.empty()) << c.name;
        EXPECT_FALSE(Enabled(IDC_IMPORT_CLEAR));
        EXPECT_TRUE(Enabled(IDOK));
        if (!c.lines.empty()) {
            EXPECT_EQ(d.CollectionKind(), c.wordSearch ? TfrmImport::Kind::WordSearch : TfrmImport::Kind::Crossword);
        }
        EXPECT_EQ(d.CollectionPath(), collections_ / c.name);
    }
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
        const std::vector<Head> heads = {{"A", "What?"}, {"B", "Fine"}};
        Open(WriteCollection(collections_ / (wordSearch ? "q.ws3" : "q.cw3"), heads,
                             wordSearch ? WordSearchRecordBytes : CrosswordRecordBytes));
        Press(IDC_IMPORT_SELECT);
        auto boxes = ImportSelected();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].iconName, "IDI_HAND");
        EXPECT_EQ(boxes[0].texts.at(0),
                  "The following error occurred while attempting to export the puzzle:\r\nI/O error 123");
        EXPECT_TRUE(win::FileExists(repository_ / (wordSearch ? "(B) Fine.JWF" : "(B) Fine.JGF")));
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
            EXPECT_NE(box.texts.at(0).find("export the puzzle:\r\nI/O error 123"), std::string::npos);
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
