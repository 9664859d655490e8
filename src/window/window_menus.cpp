#include "window_menus.h"

#include "dialogs/help_window.h"
#include "help_windows.h"
#include "labels/labels_export.h"
#include "main_window.h"
#include "platform/settings_store.h"
#include "platform/ui.h"
#include "recent_sites.h"
#include "editor/shared_routines.h"

#include <QMenu>
#include <QMenuBar>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr int kImportGuide = 101;

} // namespace

void AddFileMenuEnd(FrmDips& window, QMenu& file, SettingsStore& settings, Ui& ui)
{
    new RecentSites(window, file, settings, ui);
    file.addSeparator()->setObjectName(u"MnuQuitSep"_s);
    QAction* quit = file.addAction(u"&Quit"_s);
    quit->setObjectName(u"MnuQuit"_s);
    quit->setShortcut(QKeySequence(u"Ctrl+Q"_s));
    quit->setMenuRole(QAction::QuitRole);
    QObject::connect(quit, &QAction::triggered, &window, &QWidget::close);
}

void AddHelpMenu(FrmDips& window, Ui& ui, const SettingsStore& settings)
{
    QMenu* help = window.menuBar()->addMenu(u"&Help"_s);
    help->setObjectName(u"MnuHelp"_s);
    QAction* guide = help->addAction(u"&Import guide"_s);
    guide->setObjectName(u"MnuImportGuide"_s);
    QObject::connect(guide, &QAction::triggered, &window, [&ui] { FrmHelp(ui).ShowHelp(kImportGuide); });
    QAction* commandLine = help->addAction(u"&Command line"_s);
    commandLine->setObjectName(u"MnuCommandLine"_s);
    QObject::connect(commandLine, &QAction::triggered, &window,
                     [&ui, &window] { ShowCommandLineHelp(ui, &window); });
    QAction* shortcuts = help->addAction(u"&Keyboard shortcuts"_s);
    shortcuts->setObjectName(u"MnuShortcuts"_s);
    QObject::connect(shortcuts, &QAction::triggered, &window,
                     [&ui, &window] { ShowKeyboardShortcuts(ui, window); });
    help->addSeparator()->setObjectName(u"MnuAboutSep"_s);
    QAction* about = help->addAction(u"&About MR640Config"_s);
    about->setObjectName(u"MnuAbout"_s);
    about->setMenuRole(QAction::AboutRole);
    QObject::connect(about, &QAction::triggered, &window, [&ui, &settings] {
        ui.ShowMessage({AboutText(settings.FileName()), MessageIcon::Information, MessageButtons::Ok,
                        u"About MR640Config"_s});
    });
}

QString AboutText(const QString& settingsFile)
{
    return u"MR640Config %1"_s.arg(QLatin1StringView(MR640_VERSION)) + kCrLf +
           u"Editor of the digital-input channel table of the MR640 relay data logger."_s + kCrLf +
           kCrLf + u"Qt %1 (built with %2)"_s.arg(QLatin1StringView(qVersion()), QLatin1StringView(QT_VERSION_STR)) +
           kCrLf + u"Settings: "_s + settingsFile + kCrLf + u"Labels database: "_s +
           LabelsDatabasePath();
}

} // namespace mr640
