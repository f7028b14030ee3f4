// The output device on a real sound server: a PulseAudio of the test's own with two null sinks,
// "First" (the default) and "Second". A channel given a device's display name is heard on that
// sink's monitor and not on the other's; a name no device carries plays on the default output.
// However many channels play, the player holds one stream on the sound server.
#include "player/channel/gst/gst_media_service.h"
#include "player/channel/player.h"
#include "support/manual_loop.h"
#include "support/temp_dir.h"
#include "tools/media/wav_writer.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
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

    // Records a sink's monitor into a raw file (16-bit stereo at 44.1 kHz) while `during` runs.
    template <class During>
    void record(const std::vector<std::pair<QString, std::string>>& monitors, During during) {
        std::vector<std::unique_ptr<QProcess>> recorders;
        for (const auto& [monitor, file] : monitors) {
            auto p = std::make_unique<QProcess>();
            p->setProcessEnvironment(env_);
            p->setStandardOutputFile(QString::fromStdString(file));
            p->start("parec", {"-d", monitor, "--raw", "--format=s16le", "--rate=44100", "--channels=2"});
            p->waitForStarted();
            recorders.push_back(std::move(p));
        }
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

    // Plays the tone on two channels given `device` for two seconds, the second joining the
    // first after half a second; the RMS heard on First's and Second's monitors. `streams` is how
    // many streams the sound server holds while both play.
    std::pair<double, double> heardOn(GstMediaService& service, const std::string& device, int& streams) {
        const std::string first = dir.path(device + "-first.raw"), second = dir.path(device + "-second.raw");
        pulse.record({{"a.monitor", first}, {"b.monitor", second}}, [&] {
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
        return {rms(first), rms(second)};
    }
};

TEST_F(OutputDeviceOnPulse, TheChosenSinkCarriesTheSoundAndAnAbsentOneFallsBackToTheDefault) {
    testing::ManualLoop loop;
    GstMediaService service(loop, AudioOutput::Device);
    const auto names = service.outputDevices();
    EXPECT_NE(std::find(names.begin(), names.end(), "First"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Second"), names.end());

    // Both channels are mixed into the one stream the player keeps open.
    int streams = 0;
    const auto [firstHeard, secondHeard] = heardOn(service, "Second", streams);
    EXPECT_GT(secondHeard, 300.0);
    EXPECT_EQ(firstHeard, 0.0);
    EXPECT_EQ(streams, 1);

    // The next song change moves the stream.
    const auto [defaultHeard, otherHeard] = heardOn(service, "Unplugged Headset", streams);
    EXPECT_GT(defaultHeard, 300.0);
    EXPECT_EQ(otherHeard, 0.0);
    EXPECT_EQ(streams, 1);
}

}  // namespace
}  // namespace velorra
