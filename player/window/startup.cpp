// Start-up and shutdown of the player window: the program lives exactly as long as it does.
#include "player/playlist/play_list_columns.h"
#include "player/window/frm_player.h"
#include "player/window/product.h"

#include <algorithm>

namespace velorra {

frmPlayer::frmPlayer(PlayerServices services, std::string commandLine)
    : playback(services.loop, services.media, services.silence, *this),
      services_(services),
      commandLine_(std::move(commandLine)) {
    buildLayout();
    buildMenus();
    onLoad = [this] { Form_Load(); };
    onResize = [this] { Form_Resize(); };
    onUnload = [this] { Form_Unload(); };
    cmdShowOptions.onClick = [this] { cmdShowOptions_Click(); };
    cmdWinSeek.onClick = [this] {
        winSeek().show();
        winSeek().bringToFront();
    };
    mnuScanDrive.onClick = [this] { cmdWinSeek.click(); };
    wirePlayList();
    wirePlayback();
    mnuSetDefaultPlayer.onClick = [this] { mnuSetDefaultPlayer_Click(); };
    mnuOutputDevice.onClick = [this] { mnuOutputDevice_Click(); };
    mnuOutputDeviceDefault.onClick = [this] { mnuOutputDeviceItem_Click(-1); };
    mnuReadOtherTags.onClick = [this] { mnuReadOtherTags_Click(); };
    mnuAbout.onClick = [this] { mnuAbout_Click(); };
    mnuTrimSilence.onClick = [this] { mnuTrimSilence_Click(); };
    mnuMatchLoudness.onClick = [this] { mnuMatchLoudness_Click(); };
}

frmPlayer::~frmPlayer() { playback.removeObserver(*this); }

void frmPlayer::Form_Load() {
    GetSettings();

    addPlayListColumns(lstClipList);

    StatusBar1.addPanel();
    StatusBar1.setPanel(2, {std::string(product::WebSite) + " ", toolkit::StatusBar::Bevel::Inset, true});
    StatusBar1.setFontBold(true);

    PlayText = "Play";
    StopText = "Stop";
    PauseText = "Pause";
    for (toolkit::Label* l : {&lblTotal, &lblPosition, &lblTimeLeft, &lblCutFirst, &lblCutLast, &lblTransitionTime,
                              &lblMasterVolume, &lblStatus})
        l->setFontBold(true);
    lblStatus.setCaption(StopText);

    if (ShowOptions == 0) cmdShowOptions_Click();

    if (!commandLine_.empty()) {
        OpenFile(commandLineName(commandLine_), true, 0);
        btnPlay_Click();
    }
}

void frmPlayer::Form_Unload() {
    playback.shutDown();
    SaveSettings();
    winSeek_.unload();
}

std::string commandLineName(std::string commandLine) {
    std::erase(commandLine, '"');
    return commandLine;
}

}  // namespace velorra
