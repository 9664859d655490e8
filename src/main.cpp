#include "editor/main_window.h"
#include "platform/qt_ui.h"
#include "platform/settings_store.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The program's own name, before any window exists: the window class, the desktop and
    // screen readers take it from here, and the settings store lives under it.
    QApplication::setApplicationName(QStringLiteral("MR640Config"));
    QApplication::setOrganizationName(QStringLiteral("MR640Config"));
    QApplication::setDesktopFileName(QStringLiteral("mr640config"));
    QApplication app(argc, argv);
    mr640::QtUi ui;
    mr640::SettingsStore settings;
    mr640::FrmDips window(ui, settings);
    ui.SetParent(&window);
    window.show();
    return app.exec();
}
