// The main window's list as the user sees it: the repository's puzzle lines in the order the file
// system gives them, the filter typed in the search field, the chosen sort, and the rows shown.
// The window only shows the rows and forwards input here. Names are compared through their folded
// forms, which the caller makes under the system locale, as the rest of the program compares them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/PuzzleKinds.h"

// One puzzle file: its name without the extension, its kind tag and its last write time.
struct PuzzleLine {
    using Kind = puzzles::PuzzleKind;
    std::string Caption;
    Kind KindTag = Kind::Crossword;
    std::uint64_t Modified = 0;  // 100 ns ticks since 1601, UTC
    std::string Folded;          // the caption in upper case under the system locale
    std::string NameKey;         // the caption's sort key, made by the list model when it sorts
};

// What became of one name in the folder: the line it has now, or none when it is gone.
struct LineChange {
    std::string folded;  // the name without its extension, folded as a line's is
    PuzzleLine::Kind kind = PuzzleLine::Kind::Crossword;
    std::optional<PuzzleLine> now;
};

enum class SortColumn : std::uint32_t { None = 0, Name = 1, Type = 2, Modified = 3 };

struct SortOrder {
    SortColumn column = SortColumn::None;
    bool descending = false;
    bool operator==(const SortOrder&) const = default;
    // The stored form: 0 for the enumeration order, else the column times two, plus one when
    // descending. Anything unknown reads as the enumeration order.
    std::uint32_t Stored() const;
    static SortOrder FromStored(std::uint32_t stored);
};

// Names in natural order: runs of digits compare by their value ("Puzzle 2" before "Puzzle 10").
// Both are folded; 0 when equal, negative when a comes first.
int CompareNatural(std::string_view a, std::string_view b);

class PuzzleListModel {
public:
    using Row = std::size_t;
    // A line named by what tells it from every other: its caption and kind.
    struct LineName {
        std::string caption;
        PuzzleLine::Kind kind = PuzzleLine::Kind::Crossword;
        bool operator==(const LineName&) const = default;
    };

    // What orders names: a key made from a caption, compared byte by byte (the system's order of
    // names, as Explorer shows them). Without one, names go in the natural order of their folded
    // forms. Set it before the first lines.
    using NameKeyMaker = std::function<std::string(const std::string& caption)>;
    void SetNameKeyMaker(NameKeyMaker maker) { nameKey_ = std::move(maker); }
    // New lines from a listing; the filter and the sort are applied to them.
    void SetLines(std::vector<PuzzleLine> lines);
    // Whether a line comes before another in the folder's enumeration order.
    using EnumerationOrder = std::function<bool(const PuzzleLine&, const PuzzleLine&)>;
    // Changes by name, as a new listing would show them: each takes out the lines of its name and
    // puts in the line it has now. The lines held stand in the enumeration order `before` tells,
    // and a new line goes where it puts it.
    void ApplyChanges(const std::vector<LineChange>& changes, const EnumerationOrder& before);
    // The folded text every shown name contains; empty shows every line.
    void SetFilter(std::string folded);
    const std::string& Filter() const { return filter_; }
    void SetSort(SortOrder order);
    SortOrder Sort() const { return sort_; }
    // A click on a column header: the first sorts by it (Modified newest first), the next reverses.
    void ClickColumn(SortColumn column);

    std::size_t Shown() const { return rows_.size(); }
    std::size_t Total() const { return lines_.size(); }
    const PuzzleLine& At(Row row) const { return lines_[rows_[row]]; }
    LineName NameAt(Row row) const { return {At(row).Caption, At(row).KindTag}; }
    // The first row from start on, going round, whose name starts with the folded prefix; where no
    // name does, the first whose title after an imported name's "(label) " does.
    std::optional<Row> FindPrefix(std::string_view foldedPrefix, Row start) const;

    // The user's place in the list, kept by name across a refill, a filter or a sort.
    struct Place {
        std::vector<LineName> selected;
        std::optional<LineName> focused;
        Row focusedRow = 0;  // where the focused line stood, for its nearest neighbour
        // The lines that stood after the focused one, nearest first (as many as the caller keeps).
        std::vector<LineName> following;
    };
    // Where the place is now: the rows of the selected lines still shown, and the focused row. A
    // focused line that went away passes the focus, and the selection when it was selected, to the
    // first of the lines that followed it still shown, as Explorer does after a delete; failing
    // that, to the line now standing where it stood, or the last line.
    struct Rows {
        std::vector<Row> selected;
        std::optional<Row> focused;
    };
    Rows Find(const Place& place) const;

private:
    // Beyond this many new lines at once, the rows are sorted anew rather than each one placed.
    static constexpr std::size_t kMostInsertedRows = 256;

    void Apply();
    bool Matches(const PuzzleLine& line) const;
    // Whether a line comes before another in the rows, under the chosen sort.
    bool ShownBefore(const PuzzleLine& a, const PuzzleLine& b) const;
    int CompareNames(const PuzzleLine& a, const PuzzleLine& b) const;
    // Makes the key of every line in the rows that has none yet; names are keyed only once sorted.
    void KeyRows();
    void KeyLine(PuzzleLine& line) const;

    std::vector<PuzzleLine> lines_;
    std::vector<std::uint32_t> rows_;  // indices into lines_, in the shown order
    std::string filter_;
    SortOrder sort_;
    NameKeyMaker nameKey_;
};
