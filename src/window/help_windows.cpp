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
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

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
    if (const QScreen* screen = parent ? parent->screen() : nullptr)
        size = size.boundedTo(screen->availableGeometry().size() * 0.9);
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
    const QString help = CommandLineHelp();
    text->setPlainText(help);
    // Big enough for the whole text without scrolling, where the screen has room.
    const QFontMetrics metrics(text->font());
    const QStringList lines = help.split(u'\n');
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    constexpr int kFrame = 80; // margins, frames and a scroll bar
    RunReference(ui, parent, u"FrmCommandLine"_s, u"Command line"_s, text,
                 QSize(widest + kFrame, metrics.lineSpacing() * static_cast<int>(lines.size()) + kFrame));
}

void ShowKeyboardShortcuts(Ui& ui, QMainWindow& window)
{
    auto* list = new QTableWidget(0, 3);
    list->setObjectName(u"LstShortcuts"_s);
    list->setAccessibleName(u"Keyboard shortcuts"_s);
    list->setHorizontalHeaderLabels({u"Menu"_s, u"Command"_s, u"Keys"_s});
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    list->horizontalHeader()->setStretchLastSection(true);
    for (const QAction* action : window.menuBar()->actions()) {
        if (const QMenu* menu = action->menu())
            AddShortcuts(*list, Shown(menu->title()), *menu);
    }
    list->resizeColumnsToContents();
    // Every row and column in sight, where the screen has room.
    int width = 0;
    for (int column = 0; column < list->columnCount(); ++column)
        width += list->columnWidth(column);
    constexpr int kFrame = 80; // margins, frames, a scroll bar and the Close button's row
    const int height = list->horizontalHeader()->sizeHint().height() +
                       list->rowCount() * list->verticalHeader()->defaultSectionSize();
    RunReference(ui, &window, u"FrmShortcuts"_s, u"Keyboard shortcuts"_s, list,
                 QSize(width + kFrame, height + kFrame));
}

} // namespace mr640
