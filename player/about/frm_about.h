#pragma once
// The About window: the product's name, version and purpose, and links to its makers' web site
// and mail. It never blocks the player window.
#include "player/toolkit/button.h"
#include "player/toolkit/dialogs.h"
#include "player/toolkit/image.h"
#include "player/toolkit/label.h"
#include "player/toolkit/window.h"

#include <string>

namespace velorra {

class frmAbout : public toolkit::Window {
public:
    explicit frmAbout(toolkit::LinkOpener& links);

    // Sets the version text and centres the window on the screen.
    void Form_Load();
    void cmdOK_Click();
    void Label5_Click();
    void Label2_Click();

    toolkit::Image picIcon{this};
    toolkit::Label Label1{this};
    toolkit::Label lblVersion{this};
    toolkit::Label lblDescription{this};
    toolkit::Label lblTitle{this};
    toolkit::Label Label5{this};
    toolkit::Label Label2{this};
    toolkit::Button cmdOK{this};

private:
    void buildLayout();

    toolkit::LinkOpener& links_;
};

// "Version " with the major number, a ".", then the minor number and the revision run together:
// 3, 0, 0 reads "Version 3.00".
std::string versionText(int major, int minor, int revision);

}  // namespace velorra
