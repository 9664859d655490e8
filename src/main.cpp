#include "editor/channel_count.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "platform/qt_ui.h"

#include <QApplication>
#include <QTableView>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    mr640::QtUi ui;
    mr640::ChannelTable table;
    mr640::SetChannelCount(table, 384, mr640::FillAllRows, ui);
    QTableView view;
    view.setObjectName(QStringLiteral("SGGrid1"));
    view.setWindowTitle(QString(mr640::kAppTitle));
    view.setModel(&table);
    view.resize(520, 640);
    view.show();
    return app.exec();
}
