// The output device on a real sound server: a PulseAudio of the test's own with two null sinks,
// "First" (sink a, the default) and "Second" (sink b). A channel given a device's id is heard on
// that sink's monitor and not on the other's; an id no device has plays on the default output
// until a device of that id comes. However many channels play, the player holds one stream on
// the sound server. Two sinks of one description are two entries of the window's menu, each
// heard when chosen, and a display name kept by older settings chooses the first of them. A
// stream that rests after two silent seconds plays again with the next song.
#include "player/channel/gst/gst_media_service.h"
#include "player/channel/player.h"
#include "player/toolkit/qt/qt_event_loop.h"
#include "support/manual_loop.h"
#include "support/real_player.h"
#include "support/song_rows.h"
#include "support/temp_dir.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <sys/stat.h>

namespace velorra {
namespace {

class PrivatePulse {
public:
    explicit PrivatePulse(const std::string& runtime) {
        ::mkdir(runtime.c_str(), 0700);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
        server_ = QString::fromStdString("unix:" + runtime + "/pulse/native");
        env_.insert("PULSE_SERVER", server_);
        daemon_.setProcessEnvironment(env_);
        daemon_.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                     "--load=module-native-protocol-unix auth-anonymous=1",
                                     "--load=module-null-sink sink_name=a sink_properties=device.description=First",
                                     "--load=module-null-sink sink_name=b sink_properties=device.description=Second"});
        daemon_.waitForStarted();
        const QDeadlineTimer deadline(20000);
        while (daemon_.state() == QProcess::Running && !deadline.hasExpired() && run("pactl", {"info"}) != 0)
            QThread::msleep(50);
        up_ = run("pactl", {"set-default-sink", "a"}) == 0;
    }
    ~PrivatePulse() {
        daemon_.terminate();
        if (!daemon_.waitForFinished()) daemon_.kill();
    }

    bool up() const { return up_; }
    // Where this process's GStreamer finds the server.
    const QString& server() const { return server_; }

    // Adds a null sink of that name and description while the server runs.
    bool addSink(const std::string& name, const std::string& description) const {
        return run("pactl", {"load-module", "module-null-sink", QString::fromStdString("sink_name=" + name),
                             QString::fromStdString("sink_properties=device.description=" + description)}) == 0;
    }

    // The names of the sinks the streams of the server play on.
    std::vector<std::string> streamSinks() const {
        std::map<QString, std::string> sinks;  // by index
        for (const QString& line : lines("pactl", {"list", "short", "sinks"})) {
            const QStringList fields = line.split('\t');
            if (fields.size() > 1) sinks[fields[0]] = fields[1].toStdString();
        }
        std::vector<std::string> names;
        for (const QString& line : lines("pactl", {"list", "short", "sink-inputs"})) {
            const QStringList fields = line.split('\t');
            if (fields.size() > 1) names.push_back(sinks.count(fields[1]) ? sinks[fields[1]] : "?");
        }
        return names;
    }

    // Records a sink's monitor into a raw file (16-bit stereo at 44.1 kHz) while `during` runs,
    // once every recorder has begun to write (or after ten seconds).
    template <class During>
    void record(const std::vector<std::pair<QString, std::string>>& monitors, During during) {
        std::vector<std::unique_ptr<QProcess>> recorders;
        for (const auto& [monitor, file] : monitors) {
            auto p = std::make_unique<QProcess>();
            p->setProcessEnvironment(env_);
            p->setStandardOutputFile(QString::fromStdString(file));
            p->start("parec", {"-d", monitor, "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                               "--latency-msec=20"});
            p->waitForStarted();
            recorders.push_back(std::move(p));
        }
        const QDeadlineTimer deadline(10000);
        const auto writing = [&] {
            return std::all_of(monitors.begin(), monitors.end(),
                               [](const auto& m) { return QFileInfo(QString::fromStdString(m.second)).size() > 0; });
        };
        while (!writing() && !deadline.hasExpired()) QThread::msleep(20);
        during();
        for (auto& p : recorders) {
            p->terminate();
            p->waitForFinished();
        }
    }

    // The lines a program prints.
    QStringList lines(const QString& program, const QStringList& arguments) const {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(program, arguments);
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    int run(const QString& program, const QStringList& arguments) const {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(program, arguments);
        return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private:
    QProcessEnvironment env_;
    QString server_;
    QProcess daemon_;
    bool up_ = false;
};

// The root mean square of a raw recording, measured with numpy; -1 when it cannot be read. A
// monitor that recorded no bytes at all (its recorder started late on a busy machine) heard
// nothing: 0.
double rms(const std::string& file) {
    QProcess numpy;
    numpy.start("/usr/bin/python3",
                {"-c",
                 "import numpy, sys\n"
                 "a = numpy.fromfile(sys.argv[1], dtype='<i2').astype(float)\n"
                 "print(numpy.sqrt((a * a).mean()) if a.size else 0)",
                 QString::fromStdString(file)});
    if (!numpy.waitForFinished()) return -1;
    bool ok = false;
    const double value = numpy.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? value : -1;
}

struct OutputDeviceOnPulse : ::testing::Test {
    testing::TempDir dir{"velorra-pulse"};
    PrivatePulse pulse{dir.path("runtime")};
    std::string tone = dir.path("tone.wav");

    void SetUp() override {
        ASSERT_TRUE(pulse.up()) << "the private PulseAudio did not start";
        setenv("PULSE_SERVER", pulse.server().toUtf8().constData(), 1);
        media::writeWav(tone, media::tune(2), 10.0);
    }

    // The RMS heard on each of the sinks' monitors while `during` runs.
    template <class During>
    std::vector<double> heardOn(const std::vector<std::string>& sinks, During during) {
        std::vector<std::pair<QString, std::string>> monitors;
        for (const std::string& sink : sinks)
            monitors.emplace_back(QString::fromStdString(sink + ".monitor"), dir.path(sink + std::to_string(++takes_) + ".raw"));
        pulse.record(monitors, during);
        std::vector<double> heard;
        for (const auto& monitor : monitors) heard.push_back(rms(monitor.second));
        return heard;
    }

    // Plays the tone on two channels given `device` for two seconds, the second joining the
    // first after half a second; the RMS heard on the sinks' monitors. `streams` is how many
    // streams the sound server holds while both play.
    std::vector<double> heardOn(GstMediaService& service, const std::string& device,
                                const std::vector<std::string>& sinks, int& streams) {
        return heardOn(sinks, [&] {
            Player one(service), two(service);
            for (Player* channel : {&one, &two}) {
                channel->setOutputDevice(device);
                channel->setFilename(tone);
                channel->OpenFile();
            }
            one.PlayFile();
            QThread::msleep(500);
            two.PlayFile();
            QThread::msleep(1000);
            streams = static_cast<int>(pulse.lines("pactl", {"list", "short", "sink-inputs"}).size());
            QThread::msleep(500);
        });
    }

private:
    int takes_ = 0;
};

TEST_F(OutputDeviceOnPulse, TheChosenSinkCarriesTheSoundAndAnAbsentOneFallsBackToTheDefaultUntilItComes) {
    testing::ManualLoop loop;
    GstMediaService service(loop, AudioOutput::Device);
    const auto devices = service.outputDevices();
    const auto listed = [&](const std::string& id, const std::string& name) {
        return std::any_of(devices.begin(), devices.end(), [&](const auto& d) { return d.id == id && d.name == name; });
    };
    EXPECT_TRUE(listed("a", "First"));
    EXPECT_TRUE(listed("b", "Second"));

    // Both channels are mixed into the one stream the player keeps open.
    int streams = 0;
    const auto second = heardOn(service, "b", {"a", "b"}, streams);
    EXPECT_EQ(second[0], 0.0);
    EXPECT_GT(second[1], 300.0);
    EXPECT_EQ(streams, 1);

    // The next song change moves the stream.
    const auto unplugged = heardOn(service, "Unplugged Headset", {"a", "b"}, streams);
    EXPECT_GT(unplugged[0], 300.0);
    EXPECT_EQ(unplugged[1], 0.0);
    EXPECT_EQ(streams, 1);

    // Plugged in, the chosen device takes the next song.
    const auto absent = heardOn(service, "c", {"a"}, streams);
    EXPECT_GT(absent[0], 300.0);
    ASSERT_TRUE(pulse.addSink("c", "Third"));
    const auto plugged = heardOn(service, "c", {"a", "c"}, streams);
    EXPECT_EQ(plugged[0], 0.0);
    EXPECT_GT(plugged[1], 300.0);
    EXPECT_EQ(streams, 1);

    // Two silent seconds rest the stream, kept but not played; the next song wakes it.
    const QDeadlineTimer restBound(10000);
    while (!service.output().resting() && !restBound.hasExpired()) QThread::msleep(50);
    ASSERT_TRUE(service.output().resting());
    const auto woken = heardOn(service, "c", {"a", "c"}, streams);
    EXPECT_EQ(woken[0], 0.0);
    EXPECT_GT(woken[1], 300.0);
    EXPECT_EQ(streams, 1);
}

TEST_F(OutputDeviceOnPulse, TwoSinksOfOneNameAreTwoEntriesEachHeardWhenChosen) {
    ASSERT_TRUE(pulse.addSink("c", "Twin"));
    ASSERT_TRUE(pulse.addSink("d", "Twin"));
    media::writeWav(dir.path("next.wav"), media::tune(1), 10.0);
    toolkit::qt::QtEventLoop loop;
    GstMediaService service(loop, AudioOutput::Device);
    std::vector<std::string> twins;  // the sinks' names, in the order the monitor lists them
    for (const auto& device : service.outputDevices())
        if (device.name == "Twin") twins.push_back(device.id);
    ASSERT_EQ(twins.size(), 2u);
    EXPECT_NE(twins[0], twins[1]);

    testing::RealPlayer real{loop, service};
    real.settings.values["Velorra/BasicAudio/OutputDevice"] = "Twin";  // as settings kept it before ids
    frmPlayer& player = real.player;
    player.show();
    testing::addSongRow(player.lstClipList, tone);
    testing::addSongRow(player.lstClipList, dir.path("next.wav"));
    const auto playsOn = [&](const std::string& sink) {
        return testing::spinUntil([&] { return pulse.streamSinks() == std::vector<std::string>{sink}; }, 10000);
    };
    // Once the playing song has sounded for a second, past its rise.
    const auto sounding = [&] {
        return testing::spinUntil(
            [&] {
                const auto& channel = player.playback.Channels[static_cast<size_t>(player.playback.ActiveChannel)];
                return channel && channel->Position() >= 1;
            },
            15000);
    };
    const auto listen = [&] {
        return heardOn({twins[0], twins[1]}, [] { testing::spinUntil([] { return false; }, 1000); });
    };

    player.btnPlay.click();
    ASSERT_TRUE(playsOn(twins[0]));
    ASSERT_TRUE(sounding());
    const auto first = listen();
    EXPECT_GT(first[0], 300.0);
    EXPECT_EQ(first[1], 0.0);

    // The menu: "Default", First and Second, and the twins in the monitor's order.
    player.mnuOutputDevice.click();
    std::map<std::string, toolkit::MenuItem*> entries;
    for (toolkit::MenuItem* item : player.mnuOutputDevice.items()) entries[item->Caption()] = item;
    ASSERT_EQ(entries.size(), 5u);
    ASSERT_TRUE(entries.count("Twin") && entries.count("Twin (2)"));
    EXPECT_TRUE(entries["Twin"]->Checked());

    entries["Twin (2)"]->click();
    player.btnNext.click();
    ASSERT_TRUE(playsOn(twins[1]));
    ASSERT_TRUE(sounding());
    const auto second = listen();
    EXPECT_EQ(second[0], 0.0);
    EXPECT_GT(second[1], 300.0);

    player.unload();
    EXPECT_EQ(real.settings.values.at("Velorra/BasicAudio/OutputDevice"), twins[1]);
}

}  // namespace
}  // namespace velorra
