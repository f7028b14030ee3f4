// Opening a web or mail link with the desktop's default action.
#pragma once

#include <string>

namespace vextag {

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // Hands `link` to the desktop; whether it could be opened is not reported.
    virtual void open(const std::string& link) = 0;
};

// The desktop's own handler, through QDesktopServices::openUrl.
class DesktopLinkOpener : public LinkOpener {
public:
    void open(const std::string& link) override;
};

} // namespace vextag
