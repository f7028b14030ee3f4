// Opening a web or mail link with the desktop's default action.
#pragma once

#include <string>

#include <vextag/export.h>

namespace vextag {

class VEXTAG_API LinkOpener {
public:
    virtual ~LinkOpener();
    // Hands `link` to the desktop; whether it could be opened is not reported.
    virtual void open(const std::string& link) = 0;
};

// The desktop's own handler, through QDesktopServices::openUrl.
class VEXTAG_API DesktopLinkOpener : public LinkOpener {
public:
    void open(const std::string& link) override;
};

} // namespace vextag
