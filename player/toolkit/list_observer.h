#pragma once
// Row-level changes of a list, so that a view over 100,000 rows updates only what changed.
#include <cstdint>

namespace velorra::toolkit {

class ListObserver {
public:
    virtual ~ListObserver() = default;
    // Rows are numbered as the list numbers them (from 1 in a list view, from 0 in a list box).
    virtual void rowsInserted(int32_t first, int32_t count) = 0;
    virtual void rowsRemoved(int32_t first, int32_t count) = 0;
    virtual void rowChanged(int32_t row) = 0;
    virtual void rowsReset() = 0;
    virtual void selectionChanged() = 0;
    virtual void scrollTo(int32_t row) = 0;
};

}  // namespace velorra::toolkit
