#pragma once
#include "player/toolkit/control.h"

#include <string>
#include <utility>

namespace velorra::toolkit {

// A picture drawn at the control's size from an image file or a Qt resource (":/...").
class Image : public Control {
public:
    using Control::Control;
    const std::string& source() const { return source_; }
    void setSource(std::string s) {
        if (s == source_) return;
        source_ = std::move(s);
        notify(Change::Appearance);
    }

private:
    std::string source_;
};

}  // namespace velorra::toolkit
