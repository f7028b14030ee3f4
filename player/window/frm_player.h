#pragma once
// The player window: the play list across the top, the control panel below it, the status bar
// at the bottom. Its controls carry the names the rest of the program and the tests use; its
// procedures live in one file per concern (layout, start-up and shutdown, ...). Playback itself
// is the core's (`playback`): the window maps its controls to the core's commands, shows what
// the core tells, and lends it the play list.
#include "player/about/frm_about.h"
#include "player/analysis/silence_measurer.h"
#include "player/channel/media_service.h"
#include "player/playback/playback_core.h"
#include "player/search/win_seek.h"
#include "player/settings/settings_store.h"
#include "player/tags/tag_rereader.h"
#include "player/toolkit/dialogs.h"
#include "player/toolkit/button.h"
#include "player/toolkit/event_loop.h"
#include "player/toolkit/label.h"
#include "player/toolkit/list_box.h"
#include "player/toolkit/list_view.h"
#include "player/toolkit/menu.h"
#include "player/toolkit/panel.h"
#include "player/toolkit/status_bar.h"
#include "player/toolkit/timer.h"
#include "player/toolkit/value_control.h"
#include "player/toolkit/window.h"

#include <vextag/vextag.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace velorra {

class MixExport;

// What the player window needs from the world outside it.
struct PlayerServices {
    toolkit::EventLoop& loop;
    MediaService& media;
    SettingsStore& settings;
    toolkit::FileDialogs& dialogs;
    toolkit::MessageBoxes& messages;
    toolkit::LinkOpener& links;
    SilenceMeasurer& silence;
};

class frmPlayer : public toolkit::Window, private PlayList, private PlaybackObserver {
public:
    // The command line is the program's arguments joined by single blanks.
    frmPlayer(PlayerServices services, std::string commandLine);
    ~frmPlayer() override;

    // Heights of the control panel.
    static constexpr int32_t PanelExpanded = 4215;
    static constexpr int32_t PanelCollapsed = 2415;

    // --- layout and options panel
    void cmdShowOptions_Click();
    void Form_Resize();
    // Referring to the search window loads it, hidden.
    WinSeek& winSeek();
    // The search window as it stands, without loading it: for building its widgets.
    WinSeek& searchWindowUnloaded() { return winSeek_; }

    // --- start-up and shutdown
    void Form_Load();
    void Form_Unload();

    // --- play list: rows and editing, M3U files, list interaction, total length
    // Inserts one media file as a new row of DestinationList at InsertPos (0 appends and hands
    // back the new row's number), its columns filled from the file's ID3v1 tag through Vextag1,
    // or, with "Read Other Tags" ticked, from its richer tag (the ID3v1 tag filling its gaps),
    // with its length. Rows inserted into lstClipList at or before the playing row keep
    // CurrentIndex on it.
    void AddFileToList(const std::string& Filename, int32_t& InsertPos, toolkit::ListView& DestinationList);
    void mnuDeleteSelectedItem_Click();
    void mnuClear_Click();
    void mnuRandomOrder_Click();
    // Ticks or unticks "Read Other Tags" and reads the play list's tags again in the background.
    void mnuReadOtherTags_Click();
    // A name ending in "M3U" (any case) is read as a play list, its rows appended; any other
    // name becomes one row at InsertPos (0 appends).
    void OpenFile(const std::string& Filename, bool ClearList = false, int32_t InsertPos = 0);
    void LoadPlayList(const std::string& Filename, bool ClearList);
    // Writes every row's location, one a line; a failure is shown in a message box and leaves
    // an existing file as it was.
    void SavePlayList(const std::string& Filename);
    void mnuOpen_Click();
    void mnuSaveListAs_Click();
    // Renders the play list to one file on a thread of its own; chosen while that runs, cancels it.
    void mnuExportMix_Click();
    void lstClipList_DblClick();
    void lstClipList_KeyDown(toolkit::KeyEvent e);
    void lstClipList_MouseUp(toolkit::MouseEvent e);
    void lstClipList_ColumnClick(int column);
    bool lstClipList_StartDrag(toolkit::DragData& data);
    toolkit::DropEffect lstClipList_DragOver(const toolkit::DragData& data, int32_t x, int32_t y);
    void lstClipList_DragDrop(const toolkit::DragData& data, int32_t x, int32_t y);
    // The window's pseudo-random numbers in [0, 1): "Random Order" draws from it; it starts
    // from its initial sequence and random playback may reseed it.
    float nextRandom();
    std::mt19937 randomGenerator;
    int16_t LastSortColumn = 0;
    int32_t SortDirection = 0;  // 0 ascending, 1 descending
    // Connects the play list's menu items and list events; run once by the constructor.
    void wirePlayList();
    // total length
    void cmdCalculate_Click();

    // --- transport and song change
    void btnPlay_Click();
    void btnPause_Click();
    void btnStop_Click();
    void btnBack_Click();
    void btnNext_Click();
    void mnuPlaySelectedItem_Click();
    void mnuShowItemInPlay_Click();
    // Binds the transport, position, transition, audio and total-length controls to their
    // actions; run once by the constructor.
    void wirePlayback();

    // --- position bar
    void hscPosition_Change();
    void hscPosition_Scroll();
    // Seconds as mm:ss (see velorra::SegToMin).
    static std::string SegToMin(double seconds);

    // --- trimming the silence: each song's quiet lead-in and tail, measured in the background
    // while the option is on, trim it further; the measurements are cached across runs.
    void mnuTrimSilence_Click();
    // --- matching the loudness: each song plays at -18 LUFS (its peak kept at -1 dBFS at most),
    // by the core, from the same measurements; saved.
    void mnuMatchLoudness_Click();

    // --- transition choices
    void optTransition_Click(int16_t Index);
    void spinTransitionTime_Change();
    void spinCutFirst_Change();
    void spinCutLast_Change();

    // --- audio adjustments
    void hscVolume_Change();
    void vscVolume_Change(int16_t Index);
    void hscBalance_Change();
    void hscPitch_Change();
    void hscPitch_Scroll();

    // --- settings
    void GetSettings();
    void SaveSettings();

    // --- output device
    // Runs as the "Output &Device" submenu opens: lists the present devices' ids again into
    // cmbOutputDevices, keeping the chosen one, and makes one submenu entry for each, captioned
    // with its display name (numbered where names repeat).
    void mnuOutputDevice_Click();
    // An entry of the submenu: -1 "Default", else that entry of cmbOutputDevices. Channels
    // created from now on play on it.
    void mnuOutputDeviceItem_Click(int32_t Index);
    // The device id at cmbOutputDevices' selection (or a display name kept by older settings),
    // empty when nothing is selected.
    std::string chosenOutputDevice() const;

    // --- what the window tells an observer beyond it (the desktop adapter), after the change;
    // playback itself is told by the core.
    enum class Event {
        Rows,     // rows were added to or removed from the play list
        Shuffle,  // the shuffle box changed
    };
    std::function<void(Event)> onEvent;

    // --- file type association and About window
    // Registers this executable as the handler of .mp3 and .m3u files; nothing is reported.
    void mnuSetDefaultPlayer_Click();
    // Shows the About window beside this one, not modal, and brings it to the front; a closed one
    // is replaced by a new window.
    void mnuAbout_Click();
    // Builds the real widgets of each new About window; what it returns keeps them alive and is
    // released before that window goes. Unset, the About window has no widgets.
    std::function<std::shared_ptr<void>(frmAbout&)> bindAboutWindow;
    // The About window, from the first "&About" on, and what keeps its widgets alive.
    std::unique_ptr<frmAbout> About;
    std::shared_ptr<void> AboutWidgets;

    // Direct children of the window
    toolkit::ListView lstClipList{this};
    toolkit::Panel Picture1{this};
    toolkit::StatusBar StatusBar1{this};
    toolkit::ProgressBar ProgressBar1{this};
    vextag::Vextag Vextag1;

    // The control panel, top to bottom
    toolkit::Button btnBack{&Picture1}, btnStop{&Picture1}, btnPlay{&Picture1}, btnPause{&Picture1}, btnNext{&Picture1};
    toolkit::CheckBox chkRndPlay{&Picture1};
    toolkit::Label lblCurrentPosition{&Picture1}, lblMasterVolumeTit{&Picture1}, lblMasterVolume{&Picture1};
    toolkit::ScrollBar hscPosition{&Picture1, toolkit::Orientation::Horizontal};
    toolkit::ScrollBar hscVolume{&Picture1, toolkit::Orientation::Horizontal};
    toolkit::ProgressBar prgPosition{&Picture1}, prgMasterVolume{&Picture1};
    toolkit::Label lblTotalTit{&Picture1}, lblPositionTit{&Picture1}, lblTimeLeftTit{&Picture1};
    toolkit::Label lblTotal{&Picture1}, lblPosition{&Picture1}, lblTimeLeft{&Picture1};
    toolkit::Label lblCh1{&Picture1}, lblCh2{&Picture1};
    std::array<toolkit::ProgressBar, 2> prgVolume{{toolkit::ProgressBar{&Picture1}, toolkit::ProgressBar{&Picture1}}};
    std::array<toolkit::Label, 2> lblVolume{{toolkit::Label{&Picture1}, toolkit::Label{&Picture1}}};
    toolkit::Button cmdWinSeek{&Picture1};
    toolkit::Label lblStatusTit{&Picture1}, lblStatus{&Picture1};
    toolkit::Button cmdShowOptions{&Picture1};
    toolkit::Label lblCutFirstTit{&Picture1}, lblAndLast{&Picture1}, lblCutFirst{&Picture1}, lblCutLast{&Picture1};
    toolkit::ScrollBar spinCutFirst{&Picture1, toolkit::Orientation::Vertical};
    toolkit::ScrollBar spinCutLast{&Picture1, toolkit::Orientation::Vertical};
    toolkit::Label lblSecondsOfEach{&Picture1}, lblTitleTransitionTime{&Picture1}, lblTransitionTime{&Picture1};
    toolkit::ScrollBar spinTransitionTime{&Picture1, toolkit::Orientation::Vertical};
    toolkit::Label lblTransitionType{&Picture1};
    toolkit::OptionGroup optTransition;
    std::array<toolkit::OptionButton, 5> optTransitionButtons{
        {toolkit::OptionButton{&Picture1, optTransition}, toolkit::OptionButton{&Picture1, optTransition},
         toolkit::OptionButton{&Picture1, optTransition}, toolkit::OptionButton{&Picture1, optTransition},
         toolkit::OptionButton{&Picture1, optTransition}}};
    toolkit::Button cmdCalculate{&Picture1};
    toolkit::Label lblTitleTotLength{&Picture1}, Label2{&Picture1}, lblDuracionTotal{&Picture1}, lblCantDeTemas{&Picture1};

    // Hidden controls of the panel: the channel faders, balance, pitch and the output devices
    std::array<toolkit::ScrollBar, 2> vscVolume{{toolkit::ScrollBar{&Picture1, toolkit::Orientation::Vertical},
                                                 toolkit::ScrollBar{&Picture1, toolkit::Orientation::Vertical}}};
    toolkit::ScrollBar hscBalance{&Picture1, toolkit::Orientation::Horizontal};
    toolkit::Label Label1{&Picture1}, lblBalance{&Picture1};
    toolkit::ScrollBar hscPitch{&Picture1, toolkit::Orientation::Horizontal};
    toolkit::Label lblPitchTit{&Picture1}, lblPitch{&Picture1};
    toolkit::ListBox cmbOutputDevices{&Picture1};

    // Menus; "&File" is also the play list's pop-up menu
    toolkit::MenuItem mnuList{nullptr, "&File"};
    toolkit::MenuItem mnuScanDrive{&mnuList, "Scan Drive"};
    toolkit::MenuItem mnuOpen{&mnuList, "Open...", "Ctrl+O"};
    toolkit::MenuItem mnuBar1{&mnuList, "-"};
    toolkit::MenuItem mnuSaveListAs{&mnuList, "Save List As...", "Ctrl+S"};
    toolkit::MenuItem mnuExportMix{&mnuList, "Export &Mix..."};
    toolkit::MenuItem mnuBar2{&mnuList, "-"};
    toolkit::MenuItem mnuShowItemInPlay{&mnuList, "Show Item In Play"};
    toolkit::MenuItem mnuPlaySelectedItem{&mnuList, "Play Selected Item"};
    toolkit::MenuItem mnuBar3{&mnuList, "-"};
    toolkit::MenuItem mnuRandomOrder{&mnuList, "Random Order"};
    toolkit::MenuItem mnuBar4{&mnuList, "-"};
    toolkit::MenuItem mnuDeleteSelectedItem{&mnuList, "Delete Selected Item", "Del"};
    toolkit::MenuItem mnuClear{&mnuList, "Clear List"};
    toolkit::MenuItem mnuOptions{nullptr, "&Options"};
    toolkit::MenuItem mnuSetDefaultPlayer{&mnuOptions, "Set Velorra as Default Player"};
    toolkit::MenuItem mnuOutputDevice{&mnuOptions, "Output &Device"};
    toolkit::MenuItem mnuOutputDeviceDefault{&mnuOutputDevice, "Default"};
    // One entry below "Default" for each entry of cmbOutputDevices, made as the submenu opens.
    std::vector<std::unique_ptr<toolkit::MenuItem>> mnuOutputDeviceItems;
    // Ticked, a file's richer tag (ID3v2, Vorbis comments, MP4 atoms) gives its row's values,
    // the ID3v1 tag filling its gaps, and its length as it is added; saved.
    toolkit::MenuItem mnuReadOtherTags{&mnuOptions, "Read &Other Tags"};
    toolkit::MenuItem mnuTrimSilence{&mnuOptions, "Trim &Silence"};
    toolkit::MenuItem mnuMatchLoudness{&mnuOptions, "Match &Loudness"};
    toolkit::MenuItem mnuAbout{nullptr, "&About"};

    // The playback core; declared before CurrentIndex, which stands for its playing row.
    PlaybackCore playback;
    // The playing row, marked in the play list; rows are numbered in 32 bits. The list's editing
    // moves it through this name.
    class PlayingRow {
    public:
        explicit PlayingRow(PlaybackCore& core) : core_(core) {}
        PlayingRow(const PlayingRow&) = delete;
        PlayingRow& operator=(const PlayingRow&) = delete;
        operator int32_t() const { return core_.CurrentIndex(); }
        PlayingRow& operator=(int32_t index) {
            core_.setCurrentIndex(index);
            return *this;
        }
        PlayingRow& operator++() { return *this = core_.CurrentIndex() + 1; }
        PlayingRow& operator--() { return *this = core_.CurrentIndex() - 1; }

    private:
        PlaybackCore& core_;
    };
    PlayingRow CurrentIndex{playback};
    int16_t UpdatingPosition = 0;
    std::string PlayText, StopText, PauseText;
    int16_t ShowOptions = 0;

    const std::string& commandLine() const { return commandLine_; }
    const PlayerServices& services() const { return services_; }

private:
    void buildLayout();
    void buildMenus();
    void tell(Event e) {
        if (onEvent) onEvent(e);
    }
    void showMasterLevel();
    void showPositionRange();

    // --- the play list as the core reads it
    int32_t rowCount() const override;
    std::string location(int32_t row) const override;
    std::optional<double> knownLength(int32_t row) const override;
    void setLengths(int32_t row, std::optional<int32_t> fullSeconds, const std::string& trimmed) override;
    bool shuffle() const override;
    double shufflePick() override;

    // --- what the core tells
    void playStateChanged() override;
    void rowChanged() override;
    void songLoaded() override;
    void trimsChanged() override;
    void positionTick(int32_t position) override;
    void seeked(int32_t seconds) override;
    void faderMoved(int16_t index) override;
    void levelChanged() override;
    void nothingPlayable(int32_t failures) override;
    void totalProgress(double seconds, int32_t rows) override;
    void totalDone(double seconds, int32_t rows) override;

    PlayerServices services_;
    std::string commandLine_;
    WinSeek winSeek_{*this};
    // The export of the mix while it runs.
    std::shared_ptr<MixExport> mixExport_;
    // Last, so that it stops before the rows it fills go.
    TagRereader tagRereader_{services_.loop};
};

// The name a command line stands for: every double quote removed, the rest, blanks included,
// taken whole as one name.
std::string commandLineName(std::string commandLine);

}  // namespace velorra
