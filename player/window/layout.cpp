// The player window as the user sees it: every control at its place in twips, with its caption,
// colours and font; the options button; the resize rules that keep the list and the panel in
// place and the search window docked to the right edge.
#include "player/window/frm_player.h"
#include "player/window/transition_pictures.h"

namespace velorra {

namespace {

using toolkit::Color;
namespace colors = toolkit::colors;

constexpr toolkit::Font TextFont{8.25, true};
constexpr toolkit::Font ValueFont{13.5, true};
// The play list's rows are plain, so that the playing row stands out in bold.
constexpr toolkit::Font ListFont{8.25, false};

void place(toolkit::Control& c, int32_t left, int32_t top, int32_t width, int32_t height) {
    c.move(left, top, width, height);
}

void label(toolkit::Label& l, std::string caption, int32_t left, int32_t top, int32_t width, int32_t height,
           Color fore = colors::White, Color back = colors::Black, toolkit::Font font = TextFont) {
    place(l, left, top, width, height);
    l.setCaption(std::move(caption));
    l.setForeColor(fore);
    l.setBackColor(back);
    l.setFont(font);
}

void button(toolkit::Button& b, std::string caption, int32_t left, int32_t top, int32_t width, int32_t height,
            Color back) {
    place(b, left, top, width, height);
    b.setCaption(std::move(caption));
    b.setForeColor(colors::Black);
    b.setBackColor(back);
    b.setFont(TextFont);
}

void bar(toolkit::ScrollBar& s, int32_t min, int32_t max, int32_t left, int32_t top, int32_t width, int32_t height) {
    place(s, left, top, width, height);
    s.setRange(min, max);
}

}  // namespace

void frmPlayer::buildLayout() {
    setCaption("Velorra Live!");
    setBackColor(colors::Black);
    setForeColor(colors::White);
    setFont(TextFont);
    move(100, 100, 6645, 6000);

    place(lstClipList, 120, 0, 6285, 1755);
    lstClipList.setFont(ListFont);
    lstClipList.setToolTipText("Drag and drop mp3 files from your explorer window here");
    place(Picture1, 120, 1800, 6285, PanelExpanded);
    Picture1.setBackColor(colors::Black);
    StatusBar1.setFont(TextFont);
    // The status bar's first panel is where the progress bar shows while a play list is read;
    // between reads neither draws anything there.
    StatusBar1.setPanel(1, toolkit::StatusBar::Panel{"", toolkit::StatusBar::Bevel::None, false});
    place(ProgressBar1, 105, 5170, 1200, 210);
    ProgressBar1.setVisible(false);

    button(btnBack, "&Back", 120, 120, 1050, 450, colors::Yellow);
    button(btnStop, "&Stop", 1200, 120, 1170, 450, colors::Red);
    button(btnPlay, "&Play", 2400, 120, 1410, 450, colors::Green);
    button(btnPause, "Pa&use", 3840, 120, 1170, 450, colors::Cyan);
    button(btnNext, "&Next", 5040, 120, 1050, 450, colors::Yellow);

    place(chkRndPlay, 2400, 600, 1530, 195);
    chkRndPlay.setCaption("Shuffle Mode");
    chkRndPlay.setForeColor(colors::Green);
    chkRndPlay.setBackColor(colors::Black);
    chkRndPlay.setFont(TextFont);

    label(lblCurrentPosition, "Current Position", 360, 720, 1800, 225);
    label(lblMasterVolumeTit, "Master Volume", 3960, 720, 1365, 225);
    label(lblMasterVolume, "100%", 5640, 720, 465, 225);
    bar(hscPosition, 0, 1000, 120, 960, 3300, 255);
    bar(hscVolume, 0, 85, 3675, 960, 2310, 255);
    place(prgPosition, 315, 1245, 2805, 195);
    place(prgMasterVolume, 3870, 1245, 1875, 195);

    label(lblTotalTit, "Total", 240, 1455, 885, 195);
    label(lblPositionTit, "Position", 1320, 1455, 885, 195);
    label(lblTimeLeftTit, "Time Left", 2415, 1455, 885, 195);
    label(lblTotal, "00:00", 240, 1650, 885, 360, colors::Yellow, colors::Black, ValueFont);
    label(lblPosition, "00:00", 1320, 1650, 885, 360, colors::Green, colors::Black, ValueFont);
    label(lblTimeLeft, "00:00", 2415, 1650, 885, 360, colors::Red, colors::Black, ValueFont);

    label(lblCh1, "CH1", 3480, 1470, 420, 225);
    label(lblCh2, "CH2", 3480, 1650, 420, 225);
    place(prgVolume[0], 3870, 1470, 1875, 195);
    place(prgVolume[1], 3870, 1650, 1875, 195);
    label(lblVolume[0], "100%", 5760, 1470, 465, 225);
    label(lblVolume[1], "100%", 5760, 1650, 465, 225);

    button(cmdWinSeek, "Search &Music Files", 3840, 1920, 2115, 420, colors::Green);
    label(lblStatusTit, "Status:", 1800, 2040, 675, 195);
    label(lblStatus, "Pause", 2520, 1950, 885, 360, colors::Cyan, colors::Black, ValueFont);
    button(cmdShowOptions, "Hide Options", 120, 2040, 1455, 300, colors::LightGrey);

    label(lblCutFirstTit, "Trim the First", 105, 2400, 735, 465, colors::LightCyan, colors::Blue);
    label(lblAndLast, "And Last", 1560, 2400, 600, 465, colors::LightCyan, colors::Blue);
    label(lblCutFirst, "0", 840, 2400, 570, 465, colors::LightCyan, colors::Navy, ValueFont);
    label(lblCutLast, "0", 2160, 2400, 570, 465, colors::LightCyan, colors::Navy, ValueFont);
    // The spinners run from 100 at their top end down to 0 (or 1), so the upper arrow counts up.
    bar(spinCutFirst, 100, 0, 1320, 2400, 240, 465);
    bar(spinCutLast, 100, 0, 2760, 2400, 240, 465);
    label(lblSecondsOfEach, "Seconds of each Song", 3000, 2400, 1050, 465, colors::LightCyan, colors::Blue);
    label(lblTitleTransitionTime, "Transition Time sec.", 4200, 2400, 855, 465, colors::White, colors::Purple);
    label(lblTransitionTime, "1", 5040, 2400, 570, 465, colors::Pink, colors::DarkPurple, ValueFont);
    bar(spinTransitionTime, 100, 1, 5640, 2400, 240, 465);
    for (toolkit::ScrollBar* spin : {&spinCutFirst, &spinCutLast, &spinTransitionTime}) spin->setSpinner(true);

    label(lblTransitionType, "Select Transition Type. Current song in Red next song in Blue ", 105, 3000, 5910,
          225);
    for (int i = 0; i < optTransition.size(); ++i) {
        place(optTransition[i], 120 + 1200 * i, 3255, 1125, 390);
        optTransition[i].setPicture(transitionPicture(i));
    }

    button(cmdCalculate, "Calculate Total", 120, 3720, 1860, 360, colors::Orange);
    label(lblTitleTotLength, "List Length", 2040, 3720, 900, 360);
    label(Label2, "Song Count", 4200, 3720, 1020, 360);
    label(lblDuracionTotal, "00:00", 3000, 3720, 1080, 360, {}, {}, ValueFont);
    label(lblCantDeTemas, "0", 5280, 3720, 720, 360, {}, {}, ValueFont);
    lblDuracionTotal.setForeColor(std::nullopt);
    lblDuracionTotal.setBackColor(std::nullopt);
    lblCantDeTemas.setForeColor(std::nullopt);
    lblCantDeTemas.setBackColor(std::nullopt);

    // Hidden: the program drives these; all but the faders lie below the panel's bottom edge.
    bar(vscVolume[0], 0, 85, 2805, 615, 195, 195);
    bar(vscVolume[1], 0, 85, 2805, 840, 195, 195);
    bar(hscBalance, -10, 10, 210, 5115, 1170, 225);
    label(Label1, "Balance", 210, 4890, 1170, 225);
    label(lblBalance, "0", 1170, 4890, 300, 225);
    bar(hscPitch, 20, 220, 1410, 5160, 1170, 225);
    hscPitch.setValue(100);
    label(lblPitchTit, "Pitch", 1410, 4935, 1170, 225);
    label(lblPitch, "1", 2370, 4935, 300, 225);
    place(cmbOutputDevices, 2640, 5040, 1395, 315);
    for (toolkit::Control* hidden : std::initializer_list<toolkit::Control*>{
             &vscVolume[0], &vscVolume[1], &hscBalance, &Label1, &lblBalance, &hscPitch, &lblPitchTit, &lblPitch,
             &cmbOutputDevices})
        hidden->setVisible(false);
}

void frmPlayer::buildMenus() {
    menuBar() = {&mnuList, &mnuOptions, &mnuAbout};
    mnuReadOtherTags.setChecked(true);  // until the settings say otherwise
}

WinSeek& frmPlayer::winSeek() {
    winSeek_.load();
    return winSeek_;
}

void frmPlayer::cmdShowOptions_Click() {
    if (Picture1.Height() == PanelExpanded) {
        Picture1.setHeight(PanelCollapsed);
        cmdShowOptions.setCaption("Show Options");
        ShowOptions = 0;
    } else {
        Picture1.setHeight(PanelExpanded);
        cmdShowOptions.setCaption("Hide Options");
        ShowOptions = 1;
    }
    // The options reach below the collapsed panel's edge (the trim row starts just above it):
    // they are hidden with the panel's lower part, so that no strip of them shows at the edge
    // and none takes the keyboard focus. The hidden controls below the panel stay hidden.
    for (toolkit::Control* c : Picture1.children())
        if (c->Top() + c->Height() > PanelCollapsed && c->Top() < PanelExpanded) c->setVisible(ShowOptions != 0);
    Form_Resize();
}

void frmPlayer::Form_Resize() {
    // Each step on its own: a size the toolkit refuses (negative) leaves that control as it was.
    lstClipList.setWidth(ScaleWidth() - 2 * lstClipList.Left());
    lstClipList.setHeight(Height() - 1000 - Picture1.Height());
    ProgressBar1.setTop(Height() - 830);
    Picture1.setTop(Height() - 1000 - Picture1.Height());
    winSeek().dockTo(*this);
}

}  // namespace velorra
