// The small dialogs of a library shared with a team: where the team keeps it, and a login.

#include "team_dialogs.h"

#include "dialog_parts.h"
#include "platform/ui.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mr640 {

using namespace Qt::StringLiterals;

FrmShare::FrmShare(Ui& ui, const QString& library, const QString& place,
                   std::function<void(const QString&)> share, QWidget* parent)
    : QDialog(parent), ui_(ui), share_(std::move(share))
{
    setObjectName(u"FrmShare"_s);
    setWindowTitle(u"Share this library"_s);
    auto* layout = new QVBoxLayout(this);
    AddHint(*layout,
            u"Where does the team keep the library %1? A folder on this computer or a shared "
            u"drive (an empty folder becomes the team's library), or the address of a git "
            u"server: file://, ssh://, user@host:path, git:// or https://."_s.arg(library),
            u"LblShareHint"_s);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    place_ = AddField(*form, u"TeamPlace"_s, u"&Where:"_s, place);
    place_->setPlaceholderText(u"ssh://server/sites.git"_s);
    AddButtons(*this, *layout, u"Share"_s);
    resize(520, sizeHint().height());
}

void FrmShare::accept()
{
    try {
        share_(place_->text());
    } catch (const HistoryError& error) {
        ui_.ShowMessage({u"The library could not be shared: %1."_s.arg(error.Message()),
                         MessageIcon::Exclamation, MessageButtons::Ok, windowTitle()});
        return;
    }
    QDialog::accept();
}

FrmLogin::FrmLogin(const QString& url, const QString& user, bool refused, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(u"FrmLogin"_s);
    setWindowTitle(u"Log in to the team library"_s);
    auto* layout = new QVBoxLayout(this);
    AddHint(*layout,
            (refused ? u"The user name or password was refused. "_s : QString()) +
                u"The team library at %1 asks for your user name and password. The password "
                u"goes to this connection only and is not kept."_s.arg(url),
            u"LblLoginHint"_s);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    user_ = AddField(*form, u"LoginUser"_s, u"&User name:"_s, user);
    password_ = AddField(*form, u"LoginPassword"_s, u"&Password:"_s, {});
    password_->setEchoMode(QLineEdit::Password);
    if (!user.isEmpty())
        password_->setFocus();
    AddButtons(*this, *layout, u"Login"_s);
    resize(460, sizeHint().height());
}

Login FrmLogin::Entered() const
{
    return {user_->text().trimmed(), password_->text()};
}

} // namespace mr640
