// Makes the picture of the import guide: the program's own "Select directory" dialog
// opened on an Instead configuration directory with its site directories listed.
//
//   build/help_screenshot src/dialogs/help/select_directory.png
//
// Run it on a desktop or under Xvfb so the dialog is drawn with real fonts.

#include "dialogs/file_selector.h"
#include "platform/ui.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTest>

#include <cstdio>

namespace {

using namespace Qt::StringLiterals;

// Shows the dialog, photographs it once it is drawn and closes it.
class Photographer : public mr640::Ui
{
public:
    explicit Photographer(QString target) : target_(std::move(target)) {}

    mr640::MessageButton ShowMessage(const mr640::MessageRequest&) override { return mr640::MessageButton::Ok; }
    std::optional<mr640::ChosenFile> ShowFileDialog(const mr640::FileDialogRequest&) override { return {}; }
    int RunModal(QDialog& dialog) override
    {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            return 0;
        QTest::qWait(200);
        saved = dialog.grab().save(target_, "PNG");
        dialog.hide();
        return 0;
    }

    bool saved = false;

private:
    QString target_;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: help_screenshot picture.png\n");
        return 2;
    }
    // A folder of a fixed name, so the picture shows no random part.
    QDir top(QDir::temp().filePath(u"Program Files"_s));
    if (top.exists()) {
        std::fprintf(stderr, "help_screenshot: %s is in the way\n", qPrintable(top.path()));
        return 1;
    }
    const QString config = top.path() + u"/Sentinel/config"_s;
    for (const QString& site : {u"Ashford"_s, u"Bromley South"_s, u"Dartford"_s, u"Orpington"_s})
        QDir().mkpath(config + u'/' + site);

    Photographer photographer(QString::fromLocal8Bit(argv[1]));
    mr640::FrmFileSelector selector(photographer);
    selector.ShowSelectDirectory(config);
    top.removeRecursively();
    if (!photographer.saved) {
        std::fprintf(stderr, "help_screenshot: the picture could not be made\n");
        return 1;
    }
    return 0;
}
