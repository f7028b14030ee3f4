#include "playlist/play_list_fixture.h"

namespace velorra::testing {

void writeTaggedMp3(const std::string& path, const Tag& tag) {
    auto fit = [](const std::string& text, size_t width) {
        std::string field = text.substr(0, width);
        field.resize(width, ' ');
        return field;
    };
    std::string bytes(400, '\x55');
    bytes += "TAG" + fit(tag.title, 30) + fit(tag.artist, 30) + fit(tag.album, 30) + fit(tag.year, 4) +
             fit(tag.comment, 30) + std::string(1, static_cast<char>(tag.genre));
    writeFile(path, bytes);
}

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
