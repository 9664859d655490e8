// The small dialogs of site versions: who records them, and a line of text for one.

#include "version_dialogs.h"

#include "dialog_parts.h"
#include "platform/ui.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mr640 {

using namespace Qt::StringLiterals;

FrmAuthor::FrmAuthor(Ui& ui, const Author& start, QWidget* parent) : QDialog(parent), ui_(ui)
{
    setObjectName(u"FrmAuthor"_s);
    setWindowTitle(u"Who records versions"_s);
    auto* layout = new QVBoxLayout(this);
    AddHint(*layout,
            u"Each version of a site that a save records names the engineer who made it. Give "
            u"your name and e-mail once: they are kept in the settings."_s,
            u"LblAuthorHint"_s);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    name_ = AddField(*form, u"AuthorName"_s, u"&Name:"_s, start.name);
    email_ = AddField(*form, u"AuthorEmail"_s, u"&E-mail:"_s, start.email);
    AddButtons(*this, *layout, u"Author"_s);
    resize(420, sizeHint().height());
}

Author FrmAuthor::Engineer() const
{
    return {name_->text().trimmed(), email_->text().trimmed()};
}

void FrmAuthor::accept()
{
    const Author engineer = Engineer();
    QString problem;
    if (engineer.name.isEmpty() || engineer.email.isEmpty())
        problem = u"Give both your name and your e-mail: each version names who recorded it."_s;
    else if (const QString both = engineer.name + engineer.email;
             both.contains(u'<') || both.contains(u'>'))
        problem = u"A name or e-mail cannot hold \"<\" or \">\" in a version."_s;
    if (!problem.isEmpty()) {
        ui_.ShowMessage({problem, MessageIcon::Exclamation, MessageButtons::Ok, windowTitle()});
        return;
    }
    QDialog::accept();
}

FrmVersionText::FrmVersionText(const QString& title, const QString& prompt, const QString& hint,
                               QWidget* parent)
    : QDialog(parent)
{
    setObjectName(u"FrmVersionText"_s);
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    AddHint(*layout, hint, u"LblVersionTextHint"_s);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    text_ = AddField(*form, u"VersionText"_s, prompt, {});
    AddButtons(*this, *layout, u"VersionText"_s);
    resize(460, sizeHint().height());
}

QString FrmVersionText::Text() const
{
    return text_->text().simplified();
}

} // namespace mr640
