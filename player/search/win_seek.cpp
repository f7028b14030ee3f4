#include "player/search/win_seek.h"

namespace velorra {

WinSeek::WinSeek() {
    setCaption("Search Music Files");
    move(0, 0, 6000, 6000);
}

}  // namespace velorra
