#include "player/toolkit/list_view.h"

#include <algorithm>
#include <cctype>

namespace velorra::toolkit {

namespace {

int compareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool startsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && compareNoCase(s.substr(0, prefix.size()), prefix) == 0;
}

const std::string& emptyText() {
    static const std::string empty;
    return empty;
}

}  // namespace

void ListView::addColumn(std::string caption, int32_t width) {
    columns_.push_back({std::move(caption), width});
    notify(Change::Items);
}

void ListView::clearColumns() {
    columns_.clear();
    notify(Change::Items);
}

bool ListView::insert(int32_t index, std::string key, std::string text) {
    if (index < 1 || index > count() + 1) return false;
    if (!key.empty() && !keys_.insert(key).second) return false;
    Row r;
    r.key = std::move(key);
    r.texts.push_back(std::move(text));
    rows_.insert(rows_.begin() + (index - 1), std::move(r));
    if (current_ >= index) ++current_;
    if (observer_) observer_->rowsInserted(index, 1);
    return true;
}

bool ListView::remove(int32_t index) {
    if (!valid(index)) return false;
    keys_.erase(rowAt(index).key);
    rows_.erase(rows_.begin() + (index - 1));
    if (current_ == index)
        current_ = 0;
    else if (current_ > index)
        --current_;
    if (observer_) observer_->rowsRemoved(index, 1);
    return true;
}

void ListView::clear() {
    rows_.clear();
    keys_.clear();
    current_ = 0;
    if (observer_) observer_->rowsReset();
}

const std::string& ListView::text(int32_t index, int k) const {
    const Row& r = row(index);
    return k >= 0 && static_cast<size_t>(k) < r.texts.size() ? r.texts[static_cast<size_t>(k)] : emptyText();
}

bool ListView::setText(int32_t index, int k, std::string text) {
    if (!valid(index) || k < 0) return false;
    Row& r = rowAt(index);
    if (r.texts.size() <= static_cast<size_t>(k)) r.texts.resize(static_cast<size_t>(k) + 1);
    if (r.texts[static_cast<size_t>(k)] == text) return true;
    r.texts[static_cast<size_t>(k)] = std::move(text);
    if (observer_) observer_->rowChanged(index);
    return true;
}

int32_t ListView::findKey(const std::string& key) const {
    if (key.empty() || !keys_.contains(key)) return 0;
    for (int32_t i = 1; i <= count(); ++i)
        if (row(i).key == key) return i;
    return 0;
}

bool ListView::setKey(int32_t index, std::string key) {
    if (!valid(index)) return false;
    Row& r = rowAt(index);
    if (key == r.key) return true;
    if (!key.empty() && keys_.contains(key)) return false;
    keys_.erase(r.key);
    if (!key.empty()) keys_.insert(key);
    r.key = std::move(key);
    return true;
}

bool ListView::setSelected(int32_t index, bool on) {
    if (!valid(index)) return false;
    if (!multiSelect_ && on) return setSelectedItem(index);
    Row& r = rowAt(index);
    if (r.selected == on) return true;
    r.selected = on;
    if (observer_) observer_->selectionChanged();
    return true;
}

bool ListView::setSelectedItem(int32_t index) {
    if (index != 0 && !valid(index)) return false;
    for (Row& r : rows_) r.selected = false;
    if (index != 0) rowAt(index).selected = true;
    current_ = index;
    if (observer_) observer_->selectionChanged();
    return true;
}

std::vector<int32_t> ListView::selectedRows() const {
    std::vector<int32_t> out;
    for (int32_t i = 1; i <= count(); ++i)
        if (row(i).selected) out.push_back(i);
    return out;
}

void ListView::ensureVisible(int32_t index) {
    if (valid(index) && observer_) observer_->scrollTo(index);
}

void ListView::sort(int k, bool ascending) {
    if (k < 0) return;
    const size_t c = static_cast<size_t>(k);
    const Row* currentRow = current_ ? &row(current_) : nullptr;
    std::vector<size_t> order(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    auto textOf = [&](size_t i) -> const std::string& {
        return c < rows_[i].texts.size() ? rows_[i].texts[c] : emptyText();
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int cmp = compareNoCase(textOf(a), textOf(b));
        return ascending ? cmp < 0 : cmp > 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    int32_t newCurrent = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (currentRow == &rows_[order[i]]) newCurrent = static_cast<int32_t>(i + 1);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    current_ = newCurrent;
    sortedBy_ = k;
    sortedAscending_ = ascending;
    if (observer_) observer_->rowsReset();
}

void ListView::setMarkedRow(int32_t index) {
    if (index == markedRow_) return;
    const int32_t old = markedRow_;
    markedRow_ = index;
    if (!observer_) return;
    if (valid(old)) observer_->rowChanged(old);
    if (valid(index)) observer_->rowChanged(index);
}

int32_t ListView::findItem(const std::string& text) const {
    for (int32_t i = 1; i <= count(); ++i)
        if (startsWithNoCase(this->text(i), text)) return i;
    return 0;
}

int32_t ListView::hitTest(int32_t x, int32_t y) const {
    if (geometry_) return geometry_->rowAt(x, y);
    if (x < 0 || x >= Width() || y < RowHeight) return 0;
    const int32_t index = (y - RowHeight) / RowHeight + 1;
    return valid(index) ? index : 0;
}

}  // namespace velorra::toolkit
