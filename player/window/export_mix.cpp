// "Export Mix...": the play list rendered to one file with the transition and trims the
// listener hears, on a thread of its own. The window never waits for it: the progress bar and
// the status bar show how far it is, the item stays ticked while it runs and choosing it again
// cancels; playback and every other command go on.
#include "player/playlist/play_list_helpers.h"
#include "player/render/mix_render.h"
#include "player/window/frm_player.h"
#include "player/window/product.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace velorra {

namespace {

constexpr const char* ExportFilter = "Audio (*.flac;*.ogg;*.opus;*.mp3;*.wav)|*.flac;*.ogg;*.opus;*.mp3;*.wav";

}  // namespace

// The render and its thread; going away, it cancels the render and waits for the thread.
class MixExport {
public:
    using Done = std::function<void(const render::MixOutcome&)>;
    MixExport(render::MixJob job, render::MixProgress progress, Done done)
        : thread_([this, job = std::move(job), progress = std::move(progress), done = std::move(done)] {
              done(render::renderMix(job, cancelled_, progress));
          }) {}
    ~MixExport() {
        cancel();
        thread_.join();
    }
    MixExport(const MixExport&) = delete;
    MixExport& operator=(const MixExport&) = delete;
    void cancel() { cancelled_ = true; }

private:
    std::atomic<bool> cancelled_{false};
    std::thread thread_;  // last: it starts once the rest is made
};

void frmPlayer::mnuExportMix_Click() {
    if (mixExport_) {
        mixExport_->cancel();
        StatusBar1.setPanelText(2, "Cancelling the export...");
        return;
    }
    toolkit::FileDialogRequest request;
    request.title = "Export Mix";
    request.filter = ExportFilter;
    request.overwritePrompt = true;
    const auto name = services().dialogs.showSave(request);
    if (!name) return;
    if (!render::formatOfName(*name)) {
        services().messages.show("The mix cannot be exported as \"" + *name +
                                     "\": the name must end in .flac, .ogg, .opus, .mp3 or .wav.",
                                 product::Name);
        return;
    }
    render::MixJob job;
    for (int32_t row = 1; row <= rowCount(); ++row) job.songs.push_back(location(row));
    // The transition, trims and loudness match the listener hears now.
    job.settings = {playback.TransitionType, playback.TransitionTime, playback.CutFirst, playback.CutLast,
                    playback.TrimSilence(), playback.MatchLoudness()};
    job.destination = *name;

    // What the thread tells reaches the window through its loop, and only while the export lives.
    toolkit::EventLoop& loop = services().loop;
    auto running = std::make_shared<std::weak_ptr<MixExport>>();
    const auto progress = [this, &loop, running](double seconds, double expected) {
        loop.post([this, running, seconds, expected] {
            if (running->expired()) return;
            const double part = expected > 0 ? std::min(0.99, seconds / expected) : 0.0;
            ProgressBar1.setValue(static_cast<int32_t>(std::floor(part * 100)));
            StatusBar1.setPanelText(2, "Exporting the mix: " + std::to_string(static_cast<int>(part * 100)) + "%");
        });
    };
    const auto done = [this, &loop, running, destination = *name](const render::MixOutcome& outcome) {
        loop.post([this, running, outcome, destination] {
            if (running->expired()) return;
            mixExport_.reset();
            mnuExportMix.setChecked(false);
            ProgressBar1.setValue(0);
            ProgressBar1.setVisible(false);
            StatusBar1.setPanelText(2, webAddressPanel());
            if (outcome.written)
                StatusBar1.setPanelText(2, "Mix exported to " + destination);
            else if (outcome.cancelled)
                StatusBar1.setPanelText(2, "Export cancelled");
            else
                services().messages.show("The mix was not exported: " + outcome.failure + ".", product::Name);
        });
    };
    mnuExportMix.setChecked(true);
    ProgressBar1.setValue(0);
    ProgressBar1.setVisible(true);
    StatusBar1.setPanelText(2, "Exporting the mix: 0%");
    mixExport_ = std::make_shared<MixExport>(std::move(job), progress, done);
    *running = mixExport_;
}

}  // namespace velorra
