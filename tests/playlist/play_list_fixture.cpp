#include "playlist/play_list_fixture.h"

namespace velorra::testing {

void PlayListWindow::addRows(const std::vector<std::string>& names) {
    for (const auto& name : names) {
        int32_t pos = 0;
        player.AddFileToList(name, pos, list());
    }
}

std::vector<std::string> PlayListWindow::column(int k) {
    std::vector<std::string> out;
    for (int32_t i = 1; i <= list().count(); ++i) out.push_back(list().text(i, k));
    return out;
}

void PlayListWindow::select(const std::vector<int32_t>& rows) {
    list().setSelectedItem(0);
    for (int32_t r : rows) list().setSelected(r, true);
}

}  // namespace velorra::testing
