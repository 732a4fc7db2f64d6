#include "core/PuzzleListModel.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <utility>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view DigitRun(std::string_view text, std::size_t& at)
{
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return text.substr(start, at - start);
}

// Digit runs by value: leading zeros aside, a longer run is larger, and runs of equal length
// compare digit by digit.
int CompareNumbers(std::string_view a, std::string_view b)
{
    const auto significant = [](std::string_view run) {
        const auto first = run.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : run.substr(first);
    };
    const std::string_view x = significant(a), y = significant(b);
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    const int digits = x.compare(y);
    if (digits != 0)
        return digits < 0 ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);  // fewer zeros first
}

}  // namespace

std::uint32_t SortOrder::Stored() const
{
    if (column == SortColumn::None)
        return 0;
    return static_cast<std::uint32_t>(column) * 2 + (descending ? 1 : 0);
}

SortOrder SortOrder::FromStored(std::uint32_t stored)
{
    const std::uint32_t column = stored / 2;
    if (column < static_cast<std::uint32_t>(SortColumn::Name) ||
        column > static_cast<std::uint32_t>(SortColumn::Modified))
        return {};
    return {static_cast<SortColumn>(column), (stored & 1) != 0};
}

int CompareNatural(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const int numbers = CompareNumbers(DigitRun(a, i), DigitRun(b, j));
            if (numbers != 0)
                return numbers;
            continue;
        }
        const auto x = static_cast<unsigned char>(a[i++]), y = static_cast<unsigned char>(b[j++]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

void PuzzleListModel::SetLines(std::vector<PuzzleLine> lines)
{
    lines_ = std::move(lines);
    Apply();
}

// The lines that stay keep their places; the new ones, in enumeration order, are merged in by
// finding each one's place, so a change of a few names costs a search, not a comparison per line.
void PuzzleListModel::ApplyChanges(const std::vector<LineChange>& changes, const EnumerationOrder& before)
{
    // The names gone, by folded name, with a bit for each kind.
    std::unordered_map<std::string_view, unsigned> gone;
    const auto bit = [](PuzzleLine::Kind kind) { return 1u << static_cast<unsigned>(kind); };
    // Where a name changed twice, its last change holds.
    std::vector<PuzzleLine> added;
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        unsigned& kinds = gone[change->folded];
        const bool later = (kinds & bit(change->kind)) != 0;
        kinds |= bit(change->kind);
        if (change->now && !later) {
            gone[change->now->Folded] |= bit(change->now->KindTag);
            added.push_back(*change->now);
        }
    }
    const auto isGone = [&](const PuzzleLine& line) {
        const auto name = gone.find(line.Folded);
        return name != gone.end() && (name->second & bit(line.KindTag)) != 0;
    };
    std::sort(added.begin(), added.end(), before);
    added.erase(std::unique(added.begin(), added.end(),
                            [&](const PuzzleLine& a, const PuzzleLine& b) { return !before(a, b) && !before(b, a); }),
                added.end());
    // The lines kept close up, keeping their order; each one's new index is noted.
    constexpr std::uint32_t kGone = UINT32_MAX;
    std::vector<std::uint32_t> keptAt(lines_.size(), kGone);
    std::vector<PuzzleLine> kept;
    kept.reserve(lines_.size());
    for (std::uint32_t i = 0; i < lines_.size(); ++i) {
        if (!isGone(lines_[i])) {
            keptAt[i] = static_cast<std::uint32_t>(kept.size());
            kept.push_back(std::move(lines_[i]));
        }
    }
    // The new lines merge in where the enumeration order puts them.
    std::vector<PuzzleLine> merged;
    merged.reserve(kept.size() + added.size());
    std::vector<std::uint32_t> keptFinal(kept.size()), addedFinal;
    std::size_t from = 0;
    const auto takeKept = [&](std::size_t to) {
        for (; from < to; ++from) {
            keptFinal[from] = static_cast<std::uint32_t>(merged.size());
            merged.push_back(std::move(kept[from]));
        }
    };
    for (PuzzleLine& line : added) {
        takeKept(static_cast<std::size_t>(
            std::upper_bound(kept.begin() + static_cast<std::ptrdiff_t>(from), kept.end(), line, before) -
            kept.begin()));
        addedFinal.push_back(static_cast<std::uint32_t>(merged.size()));
        merged.push_back(std::move(line));
    }
    takeKept(kept.size());
    lines_ = std::move(merged);
    // The rows shown follow: the kept ones keep their order under their new indices, and each
    // new line that matches the filter goes where the sort puts it. Many new lines at once are
    // cheaper sorted anew.
    if (addedFinal.size() > kMostInsertedRows) {
        Apply();
        return;
    }
    std::vector<std::uint32_t> rows;
    rows.reserve(rows_.size() + addedFinal.size());
    for (std::uint32_t row : rows_)
        if (keptAt[row] != kGone)
            rows.push_back(keptFinal[keptAt[row]]);
    for (std::uint32_t index : addedFinal) {
        if (!Matches(lines_[index]))
            continue;
        if (sort_.column != SortColumn::None)
            KeyLine(lines_[index]);
        const auto place =
            sort_.column == SortColumn::None
                ? std::lower_bound(rows.begin(), rows.end(), index)
                : std::upper_bound(rows.begin(), rows.end(), index, [this](std::uint32_t x, std::uint32_t y) {
                      return ShownBefore(lines_[x], lines_[y]);
                  });
        rows.insert(place, index);
    }
    rows_ = std::move(rows);
}

void PuzzleListModel::SetFilter(std::string folded)
{
    filter_ = std::move(folded);
    Apply();
}

void PuzzleListModel::SetSort(SortOrder order)
{
    sort_ = order;
    Apply();
}

void PuzzleListModel::ClickColumn(SortColumn column)
{
    if (sort_.column == column)
        SetSort({column, !sort_.descending});
    else
        SetSort({column, column == SortColumn::Modified});
}

bool PuzzleListModel::Matches(const PuzzleLine& line) const
{
    return filter_.empty() || line.Folded.find(filter_) != std::string::npos;
}

// The rows: the matching lines in the enumeration order, then sorted by the chosen column, names
// breaking ties. Equal names, which differ in kind or only in case, come crossword first and then
// by their exact captions, whichever the direction: the order never depends on where a line
// stands among the lines, so a change by name shows what a new listing shows.
void PuzzleListModel::Apply()
{
    rows_.clear();
    for (std::uint32_t i = 0; i < lines_.size(); ++i)
        if (Matches(lines_[i]))
            rows_.push_back(i);
    if (sort_.column == SortColumn::None)
        return;
    KeyRows();
    std::sort(rows_.begin(), rows_.end(),
              [this](std::uint32_t x, std::uint32_t y) { return ShownBefore(lines_[x], lines_[y]); });
}

void PuzzleListModel::KeyRows()
{
    for (std::uint32_t row : rows_)
        KeyLine(lines_[row]);
}

// A made key is never empty, so a line without one is known to need it.
void PuzzleListModel::KeyLine(PuzzleLine& line) const
{
    if (nameKey_ && line.NameKey.empty())
        line.NameKey = '\x01' + nameKey_(line.Caption);
}

int PuzzleListModel::CompareNames(const PuzzleLine& a, const PuzzleLine& b) const
{
    if (!nameKey_)
        return CompareNatural(a.Folded, b.Folded);
    const int order = a.NameKey.compare(b.NameKey);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

bool PuzzleListModel::ShownBefore(const PuzzleLine& a, const PuzzleLine& b) const
{
    int order = 0;
    if (sort_.column == SortColumn::Type && a.KindTag != b.KindTag)
        order = a.KindTag < b.KindTag ? -1 : 1;
    else if (sort_.column == SortColumn::Modified && a.Modified != b.Modified)
        order = a.Modified < b.Modified ? -1 : 1;
    else
        order = CompareNames(a, b);
    if (order != 0)
        return sort_.descending ? order > 0 : order < 0;
    if (a.KindTag != b.KindTag)
        return a.KindTag < b.KindTag;
    return a.Caption < b.Caption;
}

namespace {

// An imported name's title: what follows its "(label) ", or nothing for a name without a label.
std::string_view TitleAfterLabel(std::string_view folded)
{
    if (folded.empty() || folded.front() != '(')
        return {};
    const std::size_t end = folded.find(") ");
    return end == std::string_view::npos ? std::string_view{} : folded.substr(end + 2);
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool IsWithin(const std::vector<PuzzleListModel::LineName>& names, const PuzzleListModel::LineName* name)
{
    return !names.empty() && name >= names.data() && name < names.data() + names.size();
}

}  // namespace

std::optional<PuzzleListModel::Row> PuzzleListModel::FindPrefix(std::string_view foldedPrefix, Row start) const
{
    if (rows_.empty())
        return std::nullopt;
    for (const bool title : {false, true}) {
        for (std::size_t step = 0; step < rows_.size(); ++step) {
            const Row row = (start + step) % rows_.size();
            const std::string_view name = At(row).Folded;
            if (StartsWith(title ? TitleAfterLabel(name) : name, foldedPrefix))
                return row;
        }
    }
    return std::nullopt;
}

PuzzleListModel::Rows PuzzleListModel::Find(const Place& place) const
{
    Rows rows;
    if (place.selected.empty() && !place.focused)
        return rows;
    // One pass over the rows, looking each caption up among the names sought; a line both
    // selected and focused is sought twice, once for each.
    std::unordered_multimap<std::string_view, const LineName*> sought;
    for (const auto& name : place.selected)
        sought.emplace(name.caption, &name);
    if (place.focused)
        sought.emplace(place.focused->caption, &*place.focused);
    for (const auto& name : place.following)
        sought.emplace(name.caption, &name);
    bool focusedFound = false;
    // The first of the lines that followed the focused one that is still shown.
    std::optional<std::pair<std::size_t, Row>> nextLeft;
    for (Row row = 0; row < rows_.size(); ++row) {
        const auto [first, last] = sought.equal_range(At(row).Caption);
        for (auto it = first; it != last; ++it) {
            if (it->second->kind != At(row).KindTag)
                continue;
            if (place.focused && it->second == &*place.focused) {
                rows.focused = row;
                focusedFound = true;
            } else if (IsWithin(place.following, it->second)) {
                const std::size_t index = static_cast<std::size_t>(it->second - place.following.data());
                if (!nextLeft || index < nextLeft->first)
                    nextLeft = {index, row};
            } else {
                rows.selected.push_back(row);
            }
        }
    }
    if (place.focused && !focusedFound && !rows_.empty()) {
        rows.focused = nextLeft ? nextLeft->second : std::min(place.focusedRow, rows_.size() - 1);
        const bool wasSelected =
            std::find(place.selected.begin(), place.selected.end(), *place.focused) != place.selected.end();
        if (wasSelected && rows.selected.empty())
            rows.selected.push_back(*rows.focused);
    }
    std::sort(rows.selected.begin(), rows.selected.end());
    return rows;
}
