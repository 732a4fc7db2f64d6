#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <tuple>

#include "core/NaturalOrder.h"
#include "core/PuzzleListModel.h"

namespace {

using Kind = PuzzleLine::Kind;

PuzzleLine Line(const std::string& caption, Kind kind = PuzzleLine::Kind::Crossword, std::uint64_t modified = 0)
{
    std::string folded = caption;
    std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) { return std::toupper(c); });
    return {caption, kind, modified, folded, {}};
}

std::vector<std::string> Captions(const PuzzleListModel& model)
{
    std::vector<std::string> captions;
    for (std::size_t row = 0; row < model.Shown(); ++row)
        captions.push_back(model.At(row).Caption);
    return captions;
}

PuzzleListModel Library()
{
    PuzzleListModel model;
    model.SetLines(
        {Line("Puzzle 10", PuzzleLine::Kind::Crossword, 300), Line("puzzle 2", PuzzleLine::Kind::WordSearch, 100),
         Line("Animals", PuzzleLine::Kind::WordSearch, 200), Line("Puzzle 2", PuzzleLine::Kind::Crossword, 400),
         Line("Puzzle 02", PuzzleLine::Kind::Crossword, 50)});
    return model;
}

}  // namespace

TEST(PuzzleListModel, NamesCompareInNaturalOrder)
{
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"PUZZLE 2", "PUZZLE 10", -1},
        {"PUZZLE 10", "PUZZLE 9", 1},
        {"A", "A", 0},
        {"A1B2", "A1B10", -1},
        {"PUZZLE 02", "PUZZLE 2", 1},
        {"PUZZLE", "PUZZLE 1", -1},
        {"99999999999999999999", "100000000000000000000", -1},
        {"B", "A10", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompareNatural(c.a, c.b), c.expected) << c.a << " / " << c.b;
}

TEST(PuzzleListModel, WithoutASortTheRowsKeepTheEnumerationOrderAndTheFilterKeepsMatchingOnes)
{
    auto model = Library();
    EXPECT_EQ(Captions(model), (std::vector<std::string>{"Puzzle 10", "puzzle 2", "Animals", "Puzzle 2", "Puzzle 02"}));
    model.SetFilter("ZZLE 1");
    EXPECT_EQ(Captions(model), (std::vector<std::string>{"Puzzle 10"}));
    EXPECT_EQ(model.Shown(), 1u);
    EXPECT_EQ(model.Total(), 5u);
    model.SetFilter("NOTHING");
    EXPECT_EQ(model.Shown(), 0u);
    model.SetFilter("");
    EXPECT_EQ(model.Shown(), 5u);
}

TEST(PuzzleListModel, EachColumnSortsAndASecondClickReverses)
{
    struct Case {
        std::vector<SortColumn> clicks;
        SortOrder order;
        std::vector<std::string> captions;
    };
    const Case cases[] = {
        {{SortColumn::Name}, {SortColumn::Name, false}, {"Animals", "Puzzle 2", "puzzle 2", "Puzzle 02", "Puzzle 10"}},
        {{SortColumn::Name, SortColumn::Name},
         {SortColumn::Name, true},
         {"Puzzle 10", "Puzzle 02", "Puzzle 2", "puzzle 2", "Animals"}},  // equal names: the crossword first
        {{SortColumn::Type}, {SortColumn::Type, false}, {"Puzzle 2", "Puzzle 02", "Puzzle 10", "Animals", "puzzle 2"}},
        {{SortColumn::Modified},
         {SortColumn::Modified, true},
         {"Puzzle 2", "Puzzle 10", "Animals", "puzzle 2", "Puzzle 02"}},
        {{SortColumn::Modified, SortColumn::Modified},
         {SortColumn::Modified, false},
         {"Puzzle 02", "puzzle 2", "Animals", "Puzzle 10", "Puzzle 2"}},
        {{SortColumn::Name, SortColumn::Type},
         {SortColumn::Type, false},
         {"Puzzle 2", "Puzzle 02", "Puzzle 10", "Animals", "puzzle 2"}},
    };
    for (const auto& c : cases) {
        auto model = Library();
        for (SortColumn column : c.clicks)
            model.ClickColumn(column);
        EXPECT_EQ(model.Sort(), c.order);
        EXPECT_EQ(Captions(model), c.captions);
        // The stored form reads back as the same order.
        EXPECT_EQ(SortOrder::FromStored(model.Sort().Stored()), model.Sort());
    }
    for (std::uint32_t unknown : {0u, 1u, 8u, 9u, 0xFFFFFFFFu})
        EXPECT_EQ(SortOrder::FromStored(unknown), SortOrder{});
}

TEST(PuzzleListModel, TypingJumpsToTheNextNameThatStartsWithTheLetters)
{
    auto model = Library();
    model.ClickColumn(SortColumn::Name);  // Animals, puzzle 2, Puzzle 2, Puzzle 02, Puzzle 10
    EXPECT_EQ(model.FindPrefix("P", 0), 1u);
    EXPECT_EQ(model.FindPrefix("P", 2), 2u);
    EXPECT_EQ(model.FindPrefix("PUZZLE 1", 0), 4u);
    EXPECT_EQ(model.FindPrefix("A", 3), 0u);  // round to the top
    EXPECT_EQ(model.FindPrefix("X", 0), std::nullopt);

    // An imported name's title counts only where no name starts with the letters. In name order:
    // (Broken Label, (G) Owls, (K7) Garden Birds, (K7) Puzzle Hunt, Gardening.
    model.SetLines({Line("(K7) Garden Birds"), Line("(K7) Puzzle Hunt"), Line("Gardening"), Line("(G) Owls"),
                    Line("(Broken Label")});
    EXPECT_EQ(model.FindPrefix("G", 0), 4u);         // Gardening, before (K7) Garden Birds
    EXPECT_EQ(model.FindPrefix("GARDEN B", 0), 2u);  // only the title
    EXPECT_EQ(model.FindPrefix("(G", 0), 1u);        // the label is part of the name
    EXPECT_EQ(model.FindPrefix("O", 0), 1u);
    EXPECT_EQ(model.FindPrefix("P", 4), 3u);  // round to the top in the titles too
    EXPECT_EQ(model.FindPrefix("BROKEN", 0), std::nullopt);
}

TEST(PuzzleListModel, ThePlaceIsFoundByNameAndAVanishedFocusPassesToItsNeighbour)
{
    using Name = PuzzleListModel::LineName;
    auto model = Library();
    model.ClickColumn(SortColumn::Name);
    const PuzzleListModel::Place place{
        {{"Puzzle 2", PuzzleLine::Kind::Crossword}, {"Animals", PuzzleLine::Kind::WordSearch}},
        Name{"Puzzle 2", PuzzleLine::Kind::Crossword},
        2,
        {}};
    auto rows = model.Find(place);
    EXPECT_EQ(rows.selected, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(rows.focused, 1u);

    // The same name of the other kind is another line; the focused one went away.
    model.SetLines({Line("Animals", PuzzleLine::Kind::WordSearch), Line("puzzle 2", PuzzleLine::Kind::WordSearch),
                    Line("Puzzle 02"), Line("Puzzle 10")});
    rows = model.Find(place);
    EXPECT_EQ(rows.selected, (std::vector<std::size_t>{0}));
    EXPECT_EQ(rows.focused, 2u);  // Puzzle 02 stands where Puzzle 2 stood

    // Alone selected and gone: its neighbour takes the selection too; past the end, the last line.
    const PuzzleListModel::Place alone{
        {{"Zebra", PuzzleLine::Kind::Crossword}}, Name{"Zebra", PuzzleLine::Kind::Crossword}, 9, {}};
    rows = model.Find(alone);
    EXPECT_EQ(rows.selected, (std::vector<std::size_t>{3}));
    EXPECT_EQ(rows.focused, 3u);
    model.SetLines({});
    rows = model.Find(alone);
    EXPECT_TRUE(rows.selected.empty());
    EXPECT_EQ(rows.focused, std::nullopt);
}

TEST(PuzzleListModel, AfterADeleteTheFocusGoesToTheFirstLineLeftAfterTheFocusedOne)
{
    using Name = PuzzleListModel::LineName;
    std::vector<PuzzleLine> lines;
    for (int i = 1; i <= 12; ++i)
        lines.push_back(Line("Puzzle " + std::to_string(i)));
    PuzzleListModel model;
    model.SetLines(lines);
    model.ClickColumn(SortColumn::Name);  // Puzzle 1 ... Puzzle 12 in natural order
    auto name = [](int i) { return Name{"Puzzle " + std::to_string(i), PuzzleLine::Kind::Crossword}; };
    struct Case {
        std::vector<int> deleted;  // selected, the last one focused
        std::optional<int> focusedAfter;
    };
    const Case cases[] = {
        {{1, 2, 3}, 4},     // not the line that now stands third
        {{9, 8}, 10},       // the first left after the focused one, past a removed one
        {{10, 11, 12}, 9},  // nothing after: the last line
        {{12}, 11},
    };
    for (const auto& c : cases) {
        PuzzleListModel::Place place;
        for (int i : c.deleted)
            place.selected.push_back(name(i));
        const int focused = c.deleted.back();
        place.focused = name(focused);
        place.focusedRow = static_cast<std::size_t>(focused - 1);
        for (int i = focused + 1; i <= 12; ++i)
            place.following.push_back(name(i));
        std::vector<PuzzleLine> left;
        for (const auto& line : lines)
            if (std::none_of(c.deleted.begin(), c.deleted.end(),
                             [&](int i) { return line.Caption == "Puzzle " + std::to_string(i); }))
                left.push_back(line);
        PuzzleListModel after;
        after.SetLines(left);
        after.ClickColumn(SortColumn::Name);
        const auto rows = after.Find(place);
        ASSERT_TRUE(rows.focused.has_value());
        EXPECT_EQ(after.At(*rows.focused).Caption, "Puzzle " + std::to_string(*c.focusedAfter));
        EXPECT_EQ(rows.selected, std::vector<std::size_t>{*rows.focused});
    }
}

namespace {

// The folder's order of names in these tests: the folded caption, then the kind.
bool FolderOrder(const PuzzleLine& a, const PuzzleLine& b)
{
    return std::tie(a.Folded, a.KindTag) < std::tie(b.Folded, b.KindTag);
}

struct ShownLine {
    std::string caption;
    Kind kind;
    std::uint64_t modified;
    bool operator==(const ShownLine&) const = default;
};

std::vector<ShownLine> Shown(const PuzzleListModel& model)
{
    std::vector<ShownLine> shown;
    for (std::size_t row = 0; row < model.Shown(); ++row)
        shown.push_back({model.At(row).Caption, model.At(row).KindTag, model.At(row).Modified});
    return shown;
}

}  // namespace

TEST(PuzzleListModel, ChangesByNameShowWhatAFullListingShows)
{
    PuzzleListModel model = Library();
    std::vector<PuzzleLine> lines = {Line("Puzzle 10", Kind::Crossword, 300), Line("Animals", Kind::WordSearch, 200)};
    std::sort(lines.begin(), lines.end(), &FolderOrder);
    model.SetLines(lines);
    model.SetSort({SortColumn::Name, false});
    // Added, removed, renamed in case, a name gone that was never there, a time changed.
    model.ApplyChanges({{"BIRDS", Kind::Crossword, Line("Birds", Kind::Crossword, 5)},
                        {"ANIMALS", Kind::WordSearch, std::nullopt},
                        {"PUZZLE 10", Kind::Crossword, Line("PUZZLE 10", Kind::Crossword, 301)},
                        {"GHOST", Kind::Crossword, std::nullopt},
                        {"BIRDS", Kind::WordSearch, Line("birds", Kind::WordSearch, 7)}},
                       &FolderOrder);
    EXPECT_EQ(Shown(model),
              (std::vector<ShownLine>{
                  {"Birds", Kind::Crossword, 5}, {"birds", Kind::WordSearch, 7}, {"PUZZLE 10", Kind::Crossword, 301}}));
    model.SetSort({});
    EXPECT_EQ(Captions(model), (std::vector<std::string>{"Birds", "birds", "PUZZLE 10"}));
}

// A long random run of creates, deletes, renames and rewrites, applied by name while the list is
// filtered and sorted, shows exactly what a new listing of the same folder shows.
TEST(PuzzleListModel, ARandomRunOfChangesEndsAsAFullListing)
{
    std::mt19937 random(20261211);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto name = [&] { return "Puzzle " + std::to_string(pick(60)) + (pick(2) ? "a" : "B"); };
    const auto kind = [&] { return pick(2) ? Kind::Crossword : Kind::WordSearch; };
    struct View {
        std::string filter;
        SortOrder sort;
    };
    for (const View& view : {View{"", {}}, View{"1", {SortColumn::Name, true}},
                             View{"A", {SortColumn::Modified, false}}, View{"", {SortColumn::Type, false}}}) {
        std::map<std::pair<std::string, Kind>, PuzzleLine> folder;  // by folded name
        PuzzleListModel model;
        model.SetFilter(view.filter);
        model.SetSort(view.sort);
        std::uint64_t clock = 0;
        for (int step = 0; step < 400; ++step) {
            std::vector<LineChange> changes;
            const auto put = [&](const PuzzleLine& line) {
                folder[{line.Folded, line.KindTag}] = line;
                changes.push_back({line.Folded, line.KindTag, line});
            };
            const auto remove = [&](const std::string& folded, Kind k) {
                folder.erase({folded, k});
                changes.push_back({folded, k, std::nullopt});
            };
            for (int change = pick(4) + 1; change > 0; --change) {
                const PuzzleLine made = Line(name(), kind(), ++clock);
                if (folder.empty() || pick(3) == 0) {
                    put(made);  // a new file, or one replaced by a move
                    continue;
                }
                auto existing = std::next(folder.begin(), pick(static_cast<int>(folder.size())));
                const PuzzleLine old = existing->second;
                if (pick(2) == 0) {
                    remove(old.Folded, old.KindTag);
                } else {  // renamed, both halves
                    remove(old.Folded, old.KindTag);
                    put({made.Caption, old.KindTag, old.Modified, made.Folded, {}});
                }
            }
            model.ApplyChanges(changes, &FolderOrder);
            PuzzleListModel listed;
            std::vector<PuzzleLine> lines;
            for (const auto& [key, line] : folder)
                lines.push_back(line);
            std::sort(lines.begin(), lines.end(), &FolderOrder);
            listed.SetLines(lines);
            listed.SetFilter(view.filter);
            listed.SetSort(view.sort);
            ASSERT_EQ(Shown(model), Shown(listed)) << "step " << step << " filter " << view.filter;
            ASSERT_EQ(model.Total(), listed.Total());
        }
    }
}

TEST(PuzzleListModel, AKeyMakerOrdersTheNamesInEverySortAndForEveryNewLine)
{
    // A stand-in for the system's key: é weighs as E, case ignored, numbers by value.
    const auto key = [](const std::string& caption) {
        return text::NaturalSortKey(caption, [](std::string_view run) {
            std::string folded;
            for (char c : run)
                folded += c == '\xE9' ? 'E' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return folded;
        });
    };
    PuzzleListModel model;
    model.SetNameKeyMaker(key);
    model.SetLines({Line("Zebra"), Line("(\xE9t\xE9) Caf\xE9 Cr\xE8me"), Line("(eta) Puzzle 10"),
                    Line("(eta) Puzzle 9"), Line("(zoo) Owls")});
    model.ClickColumn(SortColumn::Name);
    const std::vector<std::string> byName = {"(eta) Puzzle 9", "(eta) Puzzle 10", "(\xE9t\xE9) Caf\xE9 Cr\xE8me",
                                             "(zoo) Owls", "Zebra"};
    EXPECT_EQ(Captions(model), byName);
    model.ApplyChanges({{"(ETE) APPLE", Kind::Crossword, Line("(ete) Apple")}}, FolderOrder);
    EXPECT_EQ(Captions(model), (std::vector<std::string>{"(eta) Puzzle 9", "(eta) Puzzle 10", "(ete) Apple",
                                                         "(\xE9t\xE9) Caf\xE9 Cr\xE8me", "(zoo) Owls", "Zebra"}));
    model.ClickColumn(SortColumn::Type);  // one kind: the names break the tie
    EXPECT_EQ(Captions(model)[1], "(eta) Puzzle 10");
}
