#include <vextag/about_window.h>

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <vextag/vextag_c.h>
#include <vextag/vextag_widget.h>

namespace vextag {

AboutWindow::AboutWindow(LinkOpener& links, QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Vextag");

    auto* picture = new QLabel(this);
    picture->setObjectName("picLogo");
    picture->setPixmap(vextagIcon().scaled(2 * VextagWidget::IconPixels, 2 * VextagWidget::IconPixels));

    auto* description = new QLabel(
        QString("Vextag %1\nAn ID3 tag editor control for reading and writing ID3v1 tags.").arg(vextag_version()), this);
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
    connect(web, &QPushButton::clicked, this, [&links] { links.open(WebSite); });
    connect(mail, &QPushButton::clicked, this, [&links] { links.open(MailLink); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(description, 0, 1, 1, 3);
    layout->addWidget(web, 1, 1);
    layout->addWidget(mail, 1, 2);
    layout->addWidget(ok, 1, 3);
    setLayout(layout);
}

AboutWindow::~AboutWindow() = default;

} // namespace vextag
