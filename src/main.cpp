#include "editor/main_window.h"
#include "platform/qt_ui.h"
#include "platform/settings_store.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    mr640::QtUi ui;
    mr640::SettingsStore settings;
    mr640::FrmDips window(ui, settings);
    ui.SetParent(&window);
    window.show();
    return app.exec();
}
