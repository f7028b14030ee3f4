#include <vextag/about_window.h>

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <vextag/vextag_widget.h>

namespace vextag {

AboutWindow::AboutWindow(LinkOpener& links, QWidget* parent) : QDialog(parent), links_(links) {
    setWindowTitle("About Vextag");

    auto* picture = new QLabel(this);
    picture->setObjectName("picLogo");
    picture->setPixmap(vextagIcon().scaled(2 * VextagWidget::IconPixels, 2 * VextagWidget::IconPixels));

    auto* description = new QLabel("Vextag 1.0.8\nAn ID3 tag editor control for reading and writing ID3v1 tags.", this);
    description->setObjectName("lblDescription");

    auto* ok = new QPushButton("&OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    auto* web = new QPushButton("&WWW", this);
    web->setObjectName("Command1");
    web->setToolTip(WebSite);
    auto* mail = new QPushButton("&E-Mail", this);
    mail->setObjectName("Command2");
    mail->setToolTip(MailLink);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(web, &QPushButton::clicked, this, [this] { links_.open(WebSite); });
    connect(mail, &QPushButton::clicked, this, [this] { links_.open(MailLink); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(description, 0, 1, 1, 3);
    layout->addWidget(web, 1, 1);
    layout->addWidget(mail, 1, 2);
    layout->addWidget(ok, 1, 3);
    setLayout(layout);
}

// The control's About-box member: the window lives only while it is shown.
void Vextag::ShowAbout() {
    DesktopLinkOpener links;
    AboutWindow window(links, QApplication::activeWindow());
    window.exec();
}

} // namespace vextag
