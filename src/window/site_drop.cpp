#include "site_drop.h"

#include "main_window.h"
#include "files/file_format.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace mr640 {

namespace {

class SiteDrop : public QObject
{
public:
    explicit SiteDrop(FrmDips& window) : QObject(&window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &window_ || (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop))
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DraggedSiteFile(*drop->mimeData());
        if (path.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // The save question and the reader's messages wait until the drop is over, so the
        // program the file came from is not held up by them.
        if (event->type() == QEvent::Drop)
            QMetaObject::invokeMethod(
                &window_, [window = &window_, path] { window->OpenSiteFile(path); }, Qt::QueuedConnection);
        return true;
    }

private:
    FrmDips& window_;
};

} // namespace

void AcceptSiteDrops(FrmDips& window)
{
    window.setAcceptDrops(true);
    window.installEventFilter(new SiteDrop(window));
}

QString DraggedSiteFile(const QMimeData& data)
{
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls[0].isLocalFile())
        return {};
    const QString path = urls[0].toLocalFile();
    return FileFormatOf(path) == FileFormat::None ? QString() : path;
}

} // namespace mr640
