// The visual part on real widgets: the fixed-size icon control, the About window with its links,
// and the property bag over a real QSettings file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <sys/stat.h>

#include <vextag/about_window.h>
#include <vextag/settings_property_bag.h>
#include <vextag/vextag_widget.h>

#include "support/temp_dir.h"

namespace vextag {
namespace {

class RecordingLinks : public LinkOpener {
public:
    void open(const std::string& link) override { opened.push_back(link); }
    std::vector<std::string> opened;
};

TEST(VextagWidget, StaysAt570TwipsWhateverTheHostDoes) {
    QWidget host;
    host.resize(400, 300);
    auto* widget = new VextagWidget(&host);
    host.show();
    const int side = twipsToPixels(VextagWidget::SizeTwips, widget->logicalDpiX());
    EXPECT_EQ(twipsToPixels(570, 96), 38);
    EXPECT_EQ(twipsToPixels(570, 144), 57);
    EXPECT_EQ(widget->size(), QSize(side, side));

    widget->resize(200, 100);
    EXPECT_EQ(widget->size(), QSize(side, side));
    widget->setGeometry(10, 20, 5, 500);
    EXPECT_EQ(widget->size(), QSize(side, side));
    EXPECT_EQ(widget->pos(), QPoint(10, 20));
    EXPECT_EQ(host.size(), QSize(400, 300)) << "the host is left as it was";

    const QPixmap icon = vextagIcon();
    EXPECT_EQ(icon.size(), QSize(38, 38));
    const QImage shown = widget->grab().toImage();
    EXPECT_EQ(shown.pixelColor(19, 19), icon.toImage().pixelColor(19, 19));
    EXPECT_GT(shown.pixelColor(4, 19).alpha(), 0) << "the icon is drawn";
}

TEST(VextagAbout, HasItsControlsAndOpensTheMakersLinks) {
    RecordingLinks links;
    AboutWindow window(links);
    window.show();
    EXPECT_EQ(window.windowTitle(), "About Vextag");
    auto* description = window.findChild<QLabel*>("lblDescription");
    auto* ok = window.findChild<QPushButton*>("cmdOK");
    auto* web = window.findChild<QPushButton*>("Command1");
    auto* mail = window.findChild<QPushButton*>("Command2");
    ASSERT_TRUE(description && ok && web && mail);
    EXPECT_TRUE(description->text().contains("1.0.8"));
    EXPECT_TRUE(description->text().contains("ID3 tag editor control"));
    EXPECT_EQ(ok->text(), "&OK");
    EXPECT_EQ(web->text(), "&WWW");
    EXPECT_EQ(mail->text(), "&E-Mail");

    web->click();
    mail->click();
    EXPECT_EQ(links.opened, (std::vector<std::string>{"https://velorra.org/", "mailto:team@velorra.org"}));
    EXPECT_TRUE(window.isVisible()) << "the links leave the window open";
    ok->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST(VextagAbout, ShowAboutIsModalOverTheHostAndReturnsWhenOkIsPressed) {
    QWidget host;
    auto* widget = new VextagWidget(&host);
    host.show();
    QString seenTitle;
    bool wasModal = false;
    QWidget* over = nullptr;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        seenTitle = modal->windowTitle();
        wasModal = modal->isModal();
        over = modal->parentWidget();
        if (auto* ok = modal->findChild<QPushButton*>("cmdOK")) ok->click();
    });
    poll.start(10);
    widget->ShowAbout();
    poll.stop();
    EXPECT_EQ(seenTitle, "About Vextag");
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(over, &host);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(VextagSettingsBag, SavesTheControlInQSettingsAndReportsStoreFailures) {
    velorra::testing::TempDir dir;
    const QString file = QString::fromStdString(dir.path("host.ini"));
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.beginGroup("Vextag1");
        SettingsPropertyBag bag(settings);
        Vextag tag;
        tag.writeProperties(bag);
        EXPECT_TRUE(settings.allKeys().isEmpty()) << "defaults are not stored";
        tag.setSong("Café");
        tag.setFilename("/music/x.mp3");
        tag.setTrim(false);
        tag.writeProperties(bag);
        EXPECT_EQ(settings.allKeys().size(), 3);
    }
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.beginGroup("Vextag1");
        SettingsPropertyBag bag(settings);
        Vextag tag;
        tag.readProperties(bag);
        EXPECT_EQ(tag.Song(), "Café");
        EXPECT_EQ(tag.Filename(), "/music/x.mp3");
        EXPECT_FALSE(tag.Trim());
        EXPECT_EQ(tag.Artist(), "");
    }
    // A settings path that is a directory cannot be written.
    const QString blocked = QString::fromStdString(dir.path("blocked.ini"));
    ASSERT_EQ(::mkdir(blocked.toLocal8Bit().constData(), 0755), 0);
    QSettings settings(blocked, QSettings::IniFormat);
    SettingsPropertyBag bag(settings);
    Vextag tag;
    tag.setSong("x");
    EXPECT_THROW(tag.writeProperties(bag), PropertyBagError);
}

} // namespace
} // namespace vextag
