#include "help_windows.h"

#include "cli/commands.h"
#include "platform/ui.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// A menu's or command's text as shown, without the '&' that marks its Alt letter.
QString Shown(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i; // "&&" shows one '&'
        shown += text[i];
    }
    return shown;
}

// Adds a row for each action of menu, and of the menus inside it, that has keys.
void AddShortcuts(QTableWidget& list, const QString& place, const QMenu& menu)
{
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            continue;
        if (const QMenu* inner = action->menu()) {
            AddShortcuts(list, place + u" > "_s + Shown(inner->title()), *inner);
            continue;
        }
        if (action->shortcuts().isEmpty())
            continue;
        QStringList keys;
        for (const QKeySequence& key : action->shortcuts())
            keys.append(key.toString(QKeySequence::NativeText));
        const int row = list.rowCount();
        list.insertRow(row);
        list.setItem(row, 0, new QTableWidgetItem(place));
        list.setItem(row, 1, new QTableWidgetItem(Shown(action->text())));
        list.setItem(row, 2, new QTableWidgetItem(keys.join(u", "_s)));
    }
}

// A window titled title over parent holding content and a Close button.
void RunReference(Ui& ui, QWidget* parent, const QString& name, const QString& title,
                  QWidget* content, QSize size)
{
    QDialog window(parent);
    window.setObjectName(name);
    window.setWindowTitle(title);
    content->setParent(&window);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    buttons->setObjectName(u"ReferenceButtons"_s);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(u"CmdClose"_s);
    close->setText(u"&Close"_s);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(content);
    layout->addWidget(buttons);
    window.resize(size);
    ui.RunModal(window);
}

} // namespace

void ShowCommandLineHelp(Ui& ui, QWidget* parent)
{
    auto* text = new QPlainTextEdit;
    text->setObjectName(u"TxtCommandLine"_s);
    text->setAccessibleName(u"Command line"_s);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap); // the help is laid out in columns
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setPlainText(CommandLineHelp());
    const QFontMetrics metrics(text->font());
    RunReference(ui, parent, u"FrmCommandLine"_s, u"Command line"_s, text,
                 QSize(metrics.horizontalAdvance(QString(84, u'x')), metrics.lineSpacing() * 34));
}

void ShowKeyboardShortcuts(Ui& ui, QMainWindow& window)
{
    auto* list = new QTableWidget(0, 3);
    list->setObjectName(u"LstShortcuts"_s);
    list->setAccessibleName(u"Keyboard shortcuts"_s);
    list->setHorizontalHeaderLabels({u"Menu"_s, u"Command"_s, u"Keys"_s});
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    for (const QAction* action : window.menuBar()->actions()) {
        if (const QMenu* menu = action->menu())
            AddShortcuts(*list, Shown(menu->title()), *menu);
    }
    list->resizeColumnsToContents();
    RunReference(ui, &window, u"FrmShortcuts"_s, u"Keyboard shortcuts"_s, list, QSize(460, 480));
}

} // namespace mr640
