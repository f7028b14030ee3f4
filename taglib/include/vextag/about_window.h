// "About Vextag": the control's name, version and maker, with links to the maker's site and mail.
#pragma once

#include <QDialog>

#include <vextag/export.h>
#include <vextag/link_opener.h>

namespace vextag {

class VEXTAG_API AboutWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* WebSite = "https://velorra.org/";
    static constexpr const char* MailLink = "mailto:team@velorra.org";

    // `links` must outlive the window.
    AboutWindow(LinkOpener& links, QWidget* parent = nullptr);
    ~AboutWindow() override;
};

} // namespace vextag
