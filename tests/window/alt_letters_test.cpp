// Every dialog and window of the program gives each of its controls an Alt letter of its own:
// the walk opens each as the person does and fails on a letter that two of them share.

#include "card/card_chooser.h"
#include "dialog_play.h"
#include "history/team_dialogs.h"
#include "history/version_dialogs.h"
#include "platform/qt_ui.h"
#include "window/conflict_window.h"
#include "window/edit_commands.h"
#include "window/find_dialog.h"
#include "window/history_window.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTimer>

#include <functional>
#include <map>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// The letters of the controls one Alt key reaches at a time: a window's, or one menu's.
class LetterSet
{
public:
    explicit LetterSet(QString where) : where_(std::move(where)) {}

    void Add(const QString& text)
    {
        const QChar letter = test::AltLetter(text);
        if (letter.isNull())
            return;
        const auto [at, fresh] = taken_.emplace(letter, text);
        EXPECT_TRUE(fresh) << where_.toStdString() << ": Alt+" << QString(letter).toStdString()
                           << " is \"" << at->second.toStdString() << "\" and \"" << text.toStdString()
                           << '"';
    }
    std::size_t Count() const { return taken_.size(); }

private:
    QString where_;
    std::map<QChar, QString> taken_;
};

// The letters of a menu's commands, and of the menus inside it; how many there are.
std::size_t ExpectMenuLetters(const QList<QAction*>& actions, const QString& where)
{
    LetterSet menu(where);
    std::size_t count = 0;
    for (const QAction* action : actions) {
        menu.Add(action->text());
        if (const QMenu* inner = action->menu())
            count += ExpectMenuLetters(inner->actions(), where + u" > "_s + action->text());
    }
    return count + menu.Count();
}

// The letters of the window root as one set (its buttons, labels with a buddy, group boxes,
// tabs and menu bar), and of each of its menus as one; how many letters there are.
std::size_t ExpectLettersOfTheirOwn(QWidget& root, const QString& where)
{
    LetterSet window(where);
    std::size_t menus = 0;
    for (QWidget* control : root.findChildren<QWidget*>()) {
        if (control->window() != &root) // another window, or a menu popping up
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            window.Add(button->text());
        else if (auto* label = qobject_cast<QLabel*>(control); label && label->buddy())
            window.Add(label->text()); // the buddy has no text of its own
        else if (auto* group = qobject_cast<QGroupBox*>(control))
            window.Add(group->title());
        else if (auto* tabs = qobject_cast<QTabBar*>(control))
            for (int i = 0; i < tabs->count(); ++i)
                window.Add(tabs->tabText(i));
        else if (auto* bar = qobject_cast<QMenuBar*>(control))
            for (const QAction* title : bar->actions()) {
                window.Add(title->text());
                if (title->menu())
                    menus += ExpectMenuLetters(title->menu()->actions(), where + u" > "_s + title->text());
            }
        if (control->contextMenuPolicy() == Qt::ActionsContextMenu)
            menus += ExpectMenuLetters(control->actions(), where + u" context menu"_s);
    }
    return window.Count() + menus;
}

// Shows a window of its own, made of arguments, and looks at it.
template <typename Window, typename... Arguments>
void LookAt(const std::function<void(QWidget&)>& look, Arguments&&... arguments)
{
    Window shown(std::forward<Arguments>(arguments)...);
    shown.show();
    look(shown);
}

using AltLetters = test::WindowTest;

TEST_F(AltLetters, EveryDialogGivesEachControlALetterOfItsOwn)
{
    FrmDips& w = Start();
    using Look = std::function<void(QWidget&)>;
    // The next modal dialog, shown; the one a button of it opens; the one a command opens.
    const auto modal = [&](const Look& look) { test::AtShown(ui, [look](QDialog& d) { look(d); }); };
    const auto within = [&](const char* button, const Look& look) {
        return [&, button, look](QWidget& outer) {
            modal(look);
            test::Control<QAbstractButton>(static_cast<QDialog&>(outer), button).click();
        };
    };
    const auto menu = [&](const char* action) {
        return [&, action](const Look& look) {
            modal(look);
            w.findChild<QAction*>(QString::fromLatin1(action))->trigger();
        };
    };
    // A question as the program's own message box shows it.
    const auto box = [](MessageButtons buttons) {
        return [buttons](const Look& look) {
            QtUi person;
            QTimer::singleShot(0, [&look] {
                QWidget* shown = QApplication::activeModalWidget();
                look(*shown);
                shown->close();
            });
            person.ShowMessage({u"Recover?"_s, MessageIcon::Question, buttons, {}});
        };
    };
    const QString compared = MakeDip(u"other.dip"_s);

    const struct
    {
        const char* name;
        int letters; // at least: the walk found the controls
        std::function<void(const Look&)> open;
    } dialogs[] = {
        {"main window", 40, [&](const Look& look) { look(w); }},
        {"Find and replace", 9, [&](const Look& look) {
             w.Edit().ShowReplace();
             look(w.Edit().FindWindow());
         }},
        {"Compare", 1, [&](const Look& look) {
             w.CompareWith({compared, u"other.dip"_s});
             look(*w.findChild<QDialog*>(u"FrmCompare"_s));
         }},
        {"Import site", 4, menu("MnuImport")},
        {"Select directory", 2, [&](const Look& look) { menu("MnuImport")(within("CmdDirSelect", look)); }},
        {"Help", 0, menu("MnuImportGuide")},
        {"Command line", 1, menu("MnuCommandLine")},
        {"Keyboard shortcuts", 1, menu("MnuShortcuts")},
        {"Print labels", 22, menu("MnuPrintLabels")},
        {"New label sheet", 15, [&](const Look& look) { menu("MnuPrintLabels")(within("CmdNewSheet", look)); }},
        {"save question", 2, box(MessageButtons::YesNoCancel)},
        {"CSV over a site", 2, box(MessageButtons::NewSiteUpdateCancel)},
        {"recovery question", 4, box(MessageButtons::RecoverCompareDiscardLater)},
        {"card written", 1, box(MessageButtons::EjectClose)},
        {"History", 5, [&](const Look& look) { LookAt<FrmHistory>(look, w.Versions(), ui, &w); }},
        {"Who records versions", 4,
         [&](const Look& look) { LookAt<FrmAuthor>(look, ui, Author(), &w); }},
        {"a line for a version", 3, [&](const Look& look) {
             LookAt<FrmVersionText>(look, u"Mark as issued"_s, u"&Text:"_s, QString(), &w);
         }},
        {"Share this library", 3, [&](const Look& look) {
             LookAt<FrmShare>(look, ui, u"/sites"_s, QString(), [](const QString&) {}, &w);
         }},
        {"Log in to the team library", 4, [&](const Look& look) {
             LookAt<FrmLogin>(look, u"https://example.org/sites.git"_s, QString(), false, &w);
         }},
        {"Conflicts", 4, [&](const Look& look) {
             const SiteConflict conflict{u"north.dip"_s, {16, FieldRelNam, u"a"_s, u"b"_s, u"c"_s}};
             LookAt<FrmConflicts>(look, std::vector{conflict}, u"Ann"_s, &w);
         }},
        {"card chooser", 3, [&](const Look& look) {
             LookAt<FrmCardChooser>(look, FrmCardChooser::Purpose::Export, std::vector{CardEntry{}}, &w);
         }},
    };
    for (const auto& dialog : dialogs) {
        int letters = -1; // not seen
        dialog.open([&](QWidget& shown) {
            letters = static_cast<int>(ExpectLettersOfTheirOwn(shown, QString::fromLatin1(dialog.name)));
        });
        EXPECT_GE(letters, dialog.letters) << dialog.name;
    }
}

} // namespace
} // namespace mr640
