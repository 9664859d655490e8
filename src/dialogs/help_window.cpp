#include "help_window.h"

#include "form_dialog.h"
#include "platform/ui.h"
#include "platform/windows1252.h"

#include <QFile>
#include <QTextBrowser>

#include <stdexcept>

namespace mr640 {

using namespace Qt::StringLiterals;

void FrmHelp::ShowHelp(int helpID)
{
    // The documents are kept in Windows-1252, one byte to a character.
    QFile resource(u":/help/%1.html"_s.arg(helpID));
    if (!resource.open(QIODevice::ReadOnly))
        throw std::runtime_error("There is no help document " + std::to_string(helpID) + ".");
    const QString document = FromWindows1252(resource.readAll());

    FormDialog window(u"FrmHelp"_s, QSize(605, 501));
    window.setWindowTitle(u"Help"_s);
    auto* rtb1 = new QTextBrowser(&window);
    rtb1->setObjectName(u"Rtb1"_s);
    rtb1->setAccessibleName(u"Help"_s);
    rtb1->setGeometry(TwipRect(60, 60, 8955, 7395));
    rtb1->setOpenLinks(false);
    rtb1->setHtml(document);
    ui_.RunModal(window);
}

} // namespace mr640
