#include "core/PuzzleListModel.h"

#include <algorithm>
#include <unordered_map>

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

// The rows: the matching lines in the enumeration order, then sorted stably by the chosen column,
// names breaking ties.
void PuzzleListModel::Apply()
{
    rows_.clear();
    for (std::uint32_t i = 0; i < lines_.size(); ++i)
        if (Matches(lines_[i]))
            rows_.push_back(i);
    if (sort_.column == SortColumn::None)
        return;
    const auto compare = [this](std::uint32_t x, std::uint32_t y) {
        const PuzzleLine& a = lines_[x];
        const PuzzleLine& b = lines_[y];
        if (sort_.column == SortColumn::Type && a.KindTag != b.KindTag)
            return a.KindTag < b.KindTag;
        if (sort_.column == SortColumn::Modified && a.Modified != b.Modified)
            return a.Modified < b.Modified;
        return CompareNatural(a.Folded, b.Folded) < 0;
    };
    if (sort_.descending)
        std::stable_sort(rows_.begin(), rows_.end(), [&](std::uint32_t x, std::uint32_t y) { return compare(y, x); });
    else
        std::stable_sort(rows_.begin(), rows_.end(), compare);
}

std::optional<PuzzleListModel::Row> PuzzleListModel::FindPrefix(std::string_view foldedPrefix, Row start) const
{
    if (rows_.empty())
        return std::nullopt;
    for (std::size_t step = 0; step < rows_.size(); ++step) {
        const Row row = (start + step) % rows_.size();
        if (std::string_view(At(row).Folded).substr(0, foldedPrefix.size()) == foldedPrefix)
            return row;
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
    bool focusedFound = false;
    for (Row row = 0; row < rows_.size(); ++row) {
        const auto [first, last] = sought.equal_range(At(row).Caption);
        for (auto it = first; it != last; ++it) {
            if (it->second->kind != At(row).KindTag)
                continue;
            if (place.focused && it->second == &*place.focused) {
                rows.focused = row;
                focusedFound = true;
            } else {
                rows.selected.push_back(row);
            }
        }
    }
    if (place.focused && !focusedFound && !rows_.empty()) {
        rows.focused = std::min(place.focusedRow, rows_.size() - 1);
        const bool wasSelected =
            std::find(place.selected.begin(), place.selected.end(), *place.focused) != place.selected.end();
        if (wasSelected && rows.selected.empty())
            rows.selected.push_back(*rows.focused);
    }
    std::sort(rows.selected.begin(), rows.selected.end());
    return rows;
}
