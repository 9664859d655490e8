// The bare Qt Widgets program the editor's start-up is measured against: a main window with
// a table of 384 rows, nothing more. Its size comes from the command line (WIDTHxHEIGHT),
// so it matches the editor's window.

#include "plain_model.h"

#include <QApplication>
#include <QMainWindow>
#include <QTableView>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto* view = new QTableView(&window);
    auto* model = new mr640::bench::PlainModel;
    model->setParent(view);
    view->setModel(model);
    window.setCentralWidget(view);
    const QStringList size = QApplication::arguments().value(1).split(u'x');
    if (size.size() == 2)
        window.resize(size[0].toInt(), size[1].toInt());
    window.show();
    return app.exec();
}
