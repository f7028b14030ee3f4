#pragma once
#include "player/toolkit/control.h"
#include "player/toolkit/drag_data.h"
#include "player/toolkit/input.h"
#include "player/toolkit/list_observer.h"

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

namespace velorra::toolkit {

// A list view in report view: columns with a caption and a width in twips; rows numbered
// from 1, each with an optional unique key, its text (column 1) and sub-item texts (columns
// 2 and up); multi-selection and a current selected row.
class ListView : public Control {
public:
    struct Column {
        std::string caption;
        int32_t width = 0;
    };
    struct Row {
        std::string key;
        std::vector<std::string> texts;  // texts[0] is the row's text, texts[k] sub-item k
        bool selected = false;
    };

    using Control::Control;

    // Columns, numbered from 1
    void addColumn(std::string caption, int32_t width);
    void clearColumns();
    int columnCount() const { return static_cast<int>(columns_.size()); }
    const Column& column(int c) const { return columns_.at(static_cast<size_t>(c - 1)); }

    // Rows
    int32_t count() const { return static_cast<int32_t>(rows_.size()); }
    // Inserts at `index` (1 to count + 1; later rows move down). Refused, returning false, for
    // any other index or a key that another row holds. An empty key is no key.
    bool insert(int32_t index, std::string key, std::string text);
    bool add(std::string key, std::string text) { return insert(count() + 1, std::move(key), std::move(text)); }
    bool remove(int32_t index);
    void clear();
    const Row& row(int32_t index) const { return rows_.at(static_cast<size_t>(index - 1)); }
    // Sub-item k of row `index`: 0 is the row's own text (shown in column 1), k shows in
    // column k + 1. Empty when never set.
    const std::string& text(int32_t index, int k = 0) const;
    bool setText(int32_t index, int k, std::string text);
    // The row holding the key, 0 when none does.
    int32_t findKey(const std::string& key) const;
    bool setKey(int32_t index, std::string key);

    // Selection
    bool multiSelect() const { return multiSelect_; }
    void setMultiSelect(bool on) {
        if (on == multiSelect_) return;
        multiSelect_ = on;
        notify(Change::Appearance);
    }
    bool selected(int32_t index) const { return row(index).selected; }
    bool setSelected(int32_t index, bool on);
    // The current selected row, 0 when there is none. Setting it selects that row alone.
    int32_t selectedItem() const { return current_; }
    bool setSelectedItem(int32_t index);
    std::vector<int32_t> selectedRows() const;
    void ensureVisible(int32_t index);

    // Sorting: once, by the texts of sub-item k (0: the row's text), letters compared without
    // case; a row inserted later stays where it is put. The list remembers the last sort, so
    // that its view can show by what and which way it was sorted (k -1: never sorted).
    void sort(int k, bool ascending);
    int sortedBy() const { return sortedBy_; }
    bool sortedAscending() const { return sortedAscending_; }

    // The marked row is drawn bold. It is a number, not a row: the program keeps it on its row.
    // 0, a negative number or one beyond the rows marks none.
    int32_t markedRow() const { return markedRow_; }
    void setMarkedRow(int32_t index);
    // The first row whose own text begins with `text` (without letter case), 0 if none.
    int32_t findItem(const std::string& text) const;
    // The row under a point in twips from the control's top left corner, 0 if none.
    int32_t hitTest(int32_t x, int32_t y) const;

    // Events, raised by the view or by tests
    void dblClick() {
        if (onDblClick) onDblClick();
    }
    void keyDown(KeyEvent e) {
        if (onKeyDown) onKeyDown(e);
    }
    void mouseUp(MouseEvent e) {
        if (onMouseUp) onMouseUp(e);
    }
    void columnClick(int column) {
        if (onColumnClick) onColumnClick(column);
    }
    std::function<void()> onDblClick;
    std::function<void(KeyEvent)> onKeyDown;
    std::function<void(MouseEvent)> onMouseUp;
    std::function<void(int)> onColumnClick;
    // A drag of the selected rows starts: fill the data; return false to refuse the drag.
    std::function<bool(DragData&)> onStartDrag;
    // Something is dragged over the list at (x, y): return the effect to show.
    std::function<DropEffect(const DragData&, int32_t x, int32_t y)> onDragOver;
    std::function<void(const DragData&, int32_t x, int32_t y)> onDrop;

    // The view answers hit tests from what it draws; without one, rows of RowHeight twips
    // lie below a header of the same height, starting from the top row.
    static constexpr int32_t RowHeight = 255;
    class Geometry {
    public:
        virtual ~Geometry() = default;
        virtual int32_t rowAt(int32_t x, int32_t y) const = 0;
    };
    void setObserver(ListObserver* o) { observer_ = o; }
    void setGeometry(const Geometry* g) { geometry_ = g; }

private:
    Row& rowAt(int32_t index) { return rows_.at(static_cast<size_t>(index - 1)); }
    bool valid(int32_t index) const { return index >= 1 && index <= count(); }

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    std::unordered_set<std::string> keys_;
    int32_t current_ = 0;
    int32_t markedRow_ = 0;
    int sortedBy_ = -1;
    bool sortedAscending_ = true;
    bool multiSelect_ = false;
    ListObserver* observer_ = nullptr;
    const Geometry* geometry_ = nullptr;
};

}  // namespace velorra::toolkit
