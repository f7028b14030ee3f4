// The About window's controls at their places, its load action and its links.
#include "player/about/frm_about.h"

#include "player/window/product.h"

namespace velorra {

namespace {

namespace colors = toolkit::colors;

constexpr toolkit::Font TextFont{8.25, false};
constexpr toolkit::Font TitleFont{8.25, true};
constexpr toolkit::Font LinkFont{9.75, false, true};
constexpr toolkit::Color LinkColor{128, 192, 255};

void label(toolkit::Label& l, std::string caption, int32_t left, int32_t top, int32_t width, int32_t height,
           toolkit::Font font = TextFont) {
    l.move(left, top, width, height);
    l.setCaption(std::move(caption));
    l.setForeColor(colors::White);
    l.setBackColor(colors::Black);
    l.setFont(font);
}

void link(toolkit::Label& l, std::string caption, std::string toolTip, int32_t top) {
    label(l, std::move(caption), 1440, top, 3960, 285, LinkFont);
    l.setForeColor(LinkColor);
    l.setCursor(toolkit::Cursor::PointingHand);
    l.setToolTipText(std::move(toolTip));
}

// Half the room left around a window of `size` on a screen of `screenSize`, truncated toward zero;
// negative when the window is the larger. Half of any difference of two sizes fits 32 bits.
int32_t centred(int32_t screenSize, int32_t size) { return static_cast<int32_t>((int64_t{screenSize} - size) / 2); }

}  // namespace

frmAbout::frmAbout(toolkit::LinkOpener& links) : links_(links) {
    buildLayout();
    onLoad = [this] { Form_Load(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    Label5.onClick = [this] { Label5_Click(); };
    Label2.onClick = [this] { Label2_Click(); };
}

void frmAbout::buildLayout() {
    setCaption(std::string(product::Name) + " " + product::Mail);
    setBackColor(colors::Black);
    setForeColor(colors::White);
    setFont(TextFont);
    move(0, 0, 5760, 3600);

    picIcon.move(240, 240, 960, 960);
    picIcon.setSource(":/velorra/logo-64.png");
    label(Label1, "Velorra 3.0", 1440, 240, 3960, 255, TitleFont);
    label(lblVersion, "Version", 1440, 525, 3960, 225);
    label(lblDescription,
          "Velorra Is a software that allows you to PlayBack MP3 files with different types of transitions "
          "between songs.",
          1440, 840, 3960, 660);
    label(lblTitle, "Made by the Velorra team", 1440, 1620, 3960, 225);
    link(Label5, product::WebSite, "come to our website", 1980);
    link(Label2, product::Mail, "Send us an email", 2310);

    cmdOK.move(4185, 2700, 1215, 375);
    cmdOK.setCaption("OK");
    cmdOK.setForeColor(colors::Black);
    cmdOK.setBackColor(colors::LightGrey);
    cmdOK.setFont(TitleFont);
    // Enter and Esc close the window as the OK button does.
    cmdOK.setDefault(true);
    cmdOK.setCancel(true);
}

void frmAbout::Form_Load() {
    lblVersion.setCaption(versionText(product::VersionMajor, product::VersionMinor, VELORRA_VERSION_PATCH));
    setTop(centred(toolkit::screen().height, Height()));
    setLeft(centred(toolkit::screen().width, Width()));
}

void frmAbout::cmdOK_Click() { unload(); }

void frmAbout::Label5_Click() { links_.open(product::WebSite); }

void frmAbout::Label2_Click() { links_.open(std::string("mailto:") + product::Mail); }

std::string versionText(int major, int minor, int revision) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + std::to_string(revision);
}

}  // namespace velorra
