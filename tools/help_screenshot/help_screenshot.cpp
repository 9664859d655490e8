// Makes the picture of the import guide: the program's own "Select directory" dialog
// opened on an Instead configuration directory with its site directories listed, with the
// window manager's frame and title bar around it.
//
//   build/help_screenshot CONFIG_DIR picture.png
//
// Run it on an X server with a window manager; tools/help_screenshot/make_picture sets up
// both and the configuration directory, and runs it.

#include "dialogs/file_selector.h"
#include "platform/ui.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <cstdio>

namespace {

using namespace Qt::StringLiterals;

// Shows the dialog, photographs it with its frame once the window manager has framed it
// and closes it.
class Photographer : public mr640::Ui
{
public:
    explicit Photographer(QString target) : target_(std::move(target)) {}

    mr640::MessageButton ShowMessage(const mr640::MessageRequest&) override { return mr640::MessageButton::Ok; }
    std::optional<mr640::ChosenFile> ShowFileDialog(const mr640::FileDialogRequest&) override { return {}; }
    int RunModal(QDialog& dialog) override
    {
        dialog.show();
        if (!QTest::qWaitForWindowActive(&dialog))
            return Fail("the dialog was never shown");
        if (!QTest::qWaitFor([&] { return dialog.frameGeometry() != dialog.geometry(); }))
            return Fail("no window manager framed the dialog");
        QTest::qWait(300); // the frame's own drawing
        // The frame belongs to the window manager, so it is taken from the screen.
        const QRect frame = dialog.frameGeometry();
        const QPixmap picture = dialog.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        saved = picture.save(target_, "PNG");
        dialog.hide();
        return 0;
    }

    bool saved = false;

private:
    static int Fail(const char* why)
    {
        std::fprintf(stderr, "help_screenshot: %s\n", why);
        return 0;
    }

    QString target_;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: help_screenshot CONFIG_DIR picture.png\n");
        return 2;
    }
    const QString config = QString::fromLocal8Bit(argv[1]);
    if (!QDir(config).exists()) {
        std::fprintf(stderr, "help_screenshot: no directory %s\n", argv[1]);
        return 1;
    }
    Photographer photographer(QString::fromLocal8Bit(argv[2]));
    mr640::FrmFileSelector selector(photographer);
    selector.ShowSelectDirectory(config);
    if (!photographer.saved) {
        std::fprintf(stderr, "help_screenshot: the picture could not be made\n");
        return 1;
    }
    return 0;
}
