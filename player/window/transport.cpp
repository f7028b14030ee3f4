// The transport commands: the buttons and menu items map to the playback core, and the window
// shows what the core tells of the play state and the playing row.
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

namespace velorra {

void frmPlayer::wirePlayback() {
    playback.addObserver(*this);
    btnPlay.onClick = [this] { btnPlay_Click(); };
    btnPause.onClick = [this] { btnPause_Click(); };
    btnStop.onClick = [this] { btnStop_Click(); };
    btnBack.onClick = [this] { btnBack_Click(); };
    btnNext.onClick = [this] { btnNext_Click(); };
    mnuPlaySelectedItem.onClick = [this] { mnuPlaySelectedItem_Click(); };
    mnuShowItemInPlay.onClick = [this] { mnuShowItemInPlay_Click(); };

    hscPosition.onChange = [this] { hscPosition_Change(); };
    hscPosition.onScroll = [this] { hscPosition_Scroll(); };
    chkRndPlay.onClick = [this] { tell(Event::Shuffle); };

    optTransition.onClick = [this](int index) { optTransition_Click(static_cast<int16_t>(index)); };
    spinTransitionTime.onChange = [this] { spinTransitionTime_Change(); };
    spinCutFirst.onChange = [this] { spinCutFirst_Change(); };
    spinCutLast.onChange = [this] { spinCutLast_Change(); };

    hscVolume.onChange = [this] { hscVolume_Change(); };
    hscVolume.onScroll = [this] { hscVolume_Change(); };
    for (int16_t i = 0; i < 2; ++i) vscVolume[static_cast<size_t>(i)].onChange = [this, i] { vscVolume_Change(i); };
    hscBalance.onChange = [this] { hscBalance_Change(); };
    hscBalance.onScroll = [this] { hscBalance_Change(); };
    hscPitch.onChange = [this] { hscPitch_Change(); };
    hscPitch.onScroll = [this] { hscPitch_Scroll(); };

    cmdCalculate.onClick = [this] { cmdCalculate_Click(); };
}

void frmPlayer::btnPlay_Click() { playback.Play(); }

void frmPlayer::btnPause_Click() { playback.Pause(); }

void frmPlayer::btnStop_Click() { playback.Stop(); }

void frmPlayer::btnBack_Click() { playback.Back(); }

void frmPlayer::btnNext_Click() { playback.Next(); }

void frmPlayer::mnuPlaySelectedItem_Click() {
    const int32_t index = lstClipList.selectedItem();
    if (index >= 1 && index <= lstClipList.count()) lstClipList.setSelected(index, false);
    playback.PlayRow(index);
}

void frmPlayer::mnuShowItemInPlay_Click() {
    if (CurrentIndex < 1 || CurrentIndex > lstClipList.count()) return;
    lstClipList.setMultiSelect(false);
    lstClipList.setSelectedItem(CurrentIndex);
    lstClipList.ensureVisible(CurrentIndex);
    lstClipList.setMultiSelect(true);
}

void frmPlayer::playStateChanged() {
    switch (playback.State()) {
    case PlayState::Playing:
        lblStatus.setCaption(PlayText);
        break;
    case PlayState::Paused:
        lblStatus.setCaption(PauseText);
        break;
    case PlayState::Stopped:
        lblStatus.setCaption(StopText);
        break;
    }
    StatusBar1.setPanelText(1, "");
}

void frmPlayer::rowChanged() { lstClipList.setMarkedRow(playback.CurrentIndex()); }

void frmPlayer::songLoaded() {
    StatusBar1.setPanelText(1, "");
    mnuShowItemInPlay_Click();
    UpdatingPosition = 1;
    hscPosition.setValue(0);
    showPositionRange();
    // A click in the bar's trough moves a tenth of the song, at least a second.
    hscPosition.setLargeChange(std::max(1, hscPosition.Max() / 10));
    UpdatingPosition = 0;
}

void frmPlayer::nothingPlayable(int32_t failures) {
    StatusBar1.setPanelText(1, std::to_string(failures) + (failures == 1 ? " file" : " files") +
                                   " could not be played");
}

}  // namespace velorra
