// The dialogs' translations of the program's requests.
#include "player/toolkit/qt/qt_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace velorra::toolkit::qt {
namespace {

TEST(DialogsTest, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(nameFilters("Media Files|*.mp3;*.wav|M3U Play List|*.m3u|All Files|*.*"),
              (QStringList{"Media Files (*.mp3 *.wav)", "M3U Play List (*.m3u)", "All Files (*)"}));
    EXPECT_TRUE(nameFilters("").isEmpty());
    EXPECT_TRUE(nameFilters("Label without pattern").isEmpty());
}

TEST(DialogsTest, MailAddressesGetMailtoAndWebLinksStayLinks) {
    EXPECT_EQ(linkUrl("someone@example.com").toString(), "mailto:someone@example.com");
    EXPECT_EQ(linkUrl("mailto:someone@example.com").toString(), "mailto:someone@example.com");
    EXPECT_EQ(linkUrl("http://www.example.com/").toString(), "http://www.example.com/");
    EXPECT_EQ(linkUrl("www.example.com").scheme(), "http");
}

// Runs `answer` on the dialog that opens next, as the user would.
template <class Dialog>
void whenShown(std::function<void(Dialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) answer(*d);
    });
}

TEST(DialogsTest, OpenDialogShowsTheRequestAndReturnsThePathAsBytes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString song = dir.filePath(QStringLiteral("Canci\u00f3n.mp3"));
    QFile(song).open(QIODevice::WriteOnly);
    FileDialogRequest request{"Open", "Media Files|*.mp3;*.wav|Anything (*.*)|*.*", 2,
                              QFile::encodeName(dir.path()).toStdString(), "", true, false};
    QStringList shownFilters, shownLabels;
    QString selectedFilter;
    QFileDialog::FileMode mode{};
    whenShown<QFileDialog>([&](QFileDialog& d) {
        shownFilters = d.nameFilters();
        if (const auto* types = d.findChild<QComboBox*>("fileTypeCombo"))
            for (int i = 0; i < types->count(); ++i) shownLabels.append(types->itemText(i));
        selectedFilter = d.selectedNameFilter();
        mode = d.fileMode();
        d.selectFile(song);
        static_cast<QDialog&>(d).accept();  // the OK button
    });
    const std::optional<std::string> path = QtFileDialogs().showOpen(request);
    EXPECT_EQ(shownFilters, (QStringList{"Media Files (*.mp3 *.wav)", "Anything (*.*) (*)"}));
    // The user reads each label once, as written, whether or not it names its patterns itself.
    EXPECT_EQ(shownLabels, (QStringList{"Media Files", "Anything (*.*)"}));
    EXPECT_EQ(selectedFilter, "Anything (*.*)");
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, QFile::encodeName(song).toStdString());
}

TEST(DialogsTest, CancellingASaveDialogReturnsNothing) {
    bool confirmsOverwrite = false;
    whenShown<QFileDialog>([&](QFileDialog& d) {
        confirmsOverwrite = !d.testOption(QFileDialog::DontConfirmOverwrite);
        d.reject();
    });
    FileDialogRequest request;
    request.filter = "M3U Play List|*.m3u";
    request.overwritePrompt = true;
    EXPECT_FALSE(QtFileDialogs().showSave(request).has_value());
    EXPECT_TRUE(confirmsOverwrite);
}

TEST(DialogsTest, MessageBoxShowsTextAndTitleWithOk) {
    QString text, title;
    QMessageBox::StandardButtons shownButtons;
    whenShown<QMessageBox>([&](QMessageBox& box) {
        text = box.text();
        title = box.windowTitle();
        shownButtons = box.standardButtons();
        box.accept();
    });
    QtMessageBoxes().show("List is full", "Velorra");
    EXPECT_EQ(text, "List is full");
    EXPECT_EQ(title, "Velorra");
    EXPECT_EQ(shownButtons, QMessageBox::Ok);
}

}  // namespace
}  // namespace velorra::toolkit::qt
