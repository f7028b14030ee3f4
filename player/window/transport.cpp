// The transport commands and the song change. Every song plays on a freshly created Player in
// entry ActiveChannel; the two entries take turns, so the song that is ending keeps playing on
// the other entry while the transition fades it out.
#include "player/playlist/play_list_columns.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <algorithm>
#include <stdexcept>

namespace velorra {

Player& frmPlayer::channel(int32_t i) {
    const auto& entry = Channels.at(static_cast<size_t>(i));
    if (!entry) throw std::logic_error("no channel in this entry yet");
    return *entry;
}

bool frmPlayer::activeFailed() const {
    const auto& entry = Channels.at(static_cast<size_t>(ActiveChannel));
    return entry && entry->Failed();
}

void frmPlayer::wirePlayback() {
    btnPlay.onClick = [this] { btnPlay_Click(); };
    btnPause.onClick = [this] { btnPause_Click(); };
    btnStop.onClick = [this] { btnStop_Click(); };
    btnBack.onClick = [this] { btnBack_Click(); };
    btnNext.onClick = [this] { btnNext_Click(); };
    mnuPlaySelectedItem.onClick = [this] { mnuPlaySelectedItem_Click(); };
    mnuShowItemInPlay.onClick = [this] { mnuShowItemInPlay_Click(); };

    tmrPosition.onTimer = [this] { tmrPosition_Timer(); };
    hscPosition.onChange = [this] { hscPosition_Change(); };
    hscPosition.onScroll = [this] { hscPosition_Scroll(); };
    chkRndPlay.onClick = [this] { tell(Event::Shuffle); };

    tmrTransition.onTimer = [this] { tmrTransition_Timer(); };
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

void frmPlayer::btnPlay_Click() {
    if (PlayState == 2) {
        attempt([&] { channel(ActiveChannel).PlayFile(); });
    } else if (PlayState == 0) {
        // Play from the stopped state always starts at the top of the list.
        CurrentIndex = 1;
        DoTransition();
    }
    PlayState = 1;
    lblStatus.setCaption(PlayText);
    tell(Event::PlayState);
}

void frmPlayer::btnPause_Click() {
    if (PlayState == 2) {
        btnPlay_Click();
        return;
    }
    // Only the current song pauses; a song that is fading out plays on.
    attempt([&] { channel(ActiveChannel).PauseFile(); });
    PlayState = 2;
    lblStatus.setCaption(PauseText);
    tell(Event::PlayState);
}

void frmPlayer::btnStop_Click() {
    attempt([&] { channel(ActiveChannel).StopFile(); });
    attempt([&] { channel(1 - ActiveChannel).StopFile(); });
    PlayState = 0;
    lblStatus.setCaption(StopText);
    tell(Event::PlayState);
}

void frmPlayer::btnBack_Click() {
    if (PlayState == 2) btnPlay_Click();
    attempt([&] { CurrentIndex = toInt32(int64_t{CurrentIndex} - 1); });
    DoTransition();
}

void frmPlayer::btnNext_Click() {
    if (PlayState == 2) btnPlay_Click();
    attempt([&] { CurrentIndex = toInt32(int64_t{CurrentIndex} + 1); });
    DoTransition();
}

void frmPlayer::mnuPlaySelectedItem_Click() {
    const int32_t index = lstClipList.selectedItem();
    if (index >= 1 && index <= lstClipList.count()) {
        lstClipList.setSelected(index, false);
        CurrentIndex = index;
        DoTransition();
    }
    PlayState = 1;
    lblStatus.setCaption(PlayText);
    tell(Event::PlayState);
}

void frmPlayer::mnuShowItemInPlay_Click() {
    if (CurrentIndex < 1 || CurrentIndex > lstClipList.count()) return;
    lstClipList.setMultiSelect(false);
    lstClipList.setSelectedItem(CurrentIndex);
    lstClipList.ensureVisible(CurrentIndex);
    lstClipList.setMultiSelect(true);
}

void frmPlayer::DoTransition() {
    if (CurrentIndex == -1) return;
    if (lstClipList.count() == 0) {
        btnStop_Click();
        CurrentIndex = -1;
        tmrTransition.setEnabled(false);
        return;
    }
    if (CurrentIndex > lstClipList.count()) {
        // Past the last row the current song plays on; the monitor's next advance starts row 1.
        CurrentIndex = 0;
        return;
    }
    // The next song takes the other entry, where the song that is ending fades out; the entry
    // of a song that did not play is the next one's, so the song before it fades out whole past
    // any number of such files.
    if (!activeFailed()) ActiveChannel = static_cast<int16_t>(1 - ActiveChannel);
    LoadCurrentItem();
    attempt([&] { channel(ActiveChannel).PlayFile(); });
    mnuShowItemInPlay_Click();
    TransitionStep = 0;
    if (TransitionTime == 0) {
        // No time to fade: one step at once, and no timer.
        tmrTransition_Timer();
        return;
    }
    // L steps take the transition's time. A level of 0 leaves the interval as it was, and so
    // does an interval the timer refuses.
    const int32_t level = hscVolume.Value();
    if (level != 0)
        attempt([&] { tmrTransition.setInterval(toInt32(static_cast<int64_t>(TransitionLead() * 1000) / level)); });
    tmrTransition.setEnabled(true);
}

void frmPlayer::LoadCurrentItem() {
    attempt([&] {
        auto& entry = Channels.at(static_cast<size_t>(ActiveChannel));
        if (entry) entry->StopFile();
        entry = std::make_unique<Player>(services_.media);
        entry->onStream = [this, index = ActiveChannel](StreamEvent) { Channels_StreamEnd(index); };
    });
    attempt([&] { channel(ActiveChannel).setOutputDevice(chosenOutputDevice()); });
    if (CurrentIndex < 1) CurrentIndex = 1;
    if (CurrentIndex > lstClipList.count()) CurrentIndex = 1;
    attempt([&] {
        Player& p = channel(ActiveChannel);
        p.setFilename(lstClipList.text(CurrentIndex, column::Location));
        p.OpenFile();
    });

    // The trimmed part of the song. A step that fails here forgets the trims; the whole song
    // then plays.
    const auto trimStep = [this](auto&& step) {
        try {
            step();
        } catch (...) {
            StartPos = 0;
            EndPos = 0;
        }
    };
    trimStep([&] {
        const SilenceTrims silence = silenceTrims(channel(ActiveChannel).Filename());
        StartPos = toInt32(int64_t{CutFirst} + silence.leadIn);
        EndPos = toInt32(int64_t{channel(ActiveChannel).Duration()} - CutLast - silence.tail);
    });
    trimStep([&] { lstClipList.setText(CurrentIndex, column::TotLength, std::to_string(channel(ActiveChannel).Duration())); });
    trimStep([&] {
        if (StartPos >= EndPos) {
            StartPos = 0;
            EndPos = channel(ActiveChannel).Duration();
        }
    });
    trimStep([&] { lstClipList.setText(CurrentIndex, column::Length, SegToMin(double(EndPos) - StartPos)); });

    attempt([&] { channel(ActiveChannel).setPosition(StartPos); });
    // The new channel starts silent; the transition raises it. The explicit call gives the new
    // Player its volume even when the fader already stood at silent.
    attempt([&] {
        auto& fader = vscVolume.at(static_cast<size_t>(ActiveChannel));
        fader.setValue(fader.Max());
        vscVolume_Change(ActiveChannel);
    });
    tmrPosition.setEnabled(true);

    UpdatingPosition = 1;
    hscPosition.setValue(0);
    attempt([&] { hscPosition.setRange(0, toInt16(int64_t{EndPos} - StartPos)); });
    // A click in the bar's trough moves a tenth of the song, at least a second.
    hscPosition.setLargeChange(std::max(1, hscPosition.Max() / 10));
    UpdatingPosition = 0;
    measureAhead();
    tell(Event::Song);
}

}  // namespace velorra
