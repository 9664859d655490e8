#include "window_fixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Info;
using test::Question;

class SiteDrop : public test::WindowTest
{
protected:
    // Drags the data over the grid and drops it there, as from a file manager; whether
    // the window took it. The drop opens its file once the event loop runs.
    bool Drop(const QMimeData& data)
    {
        QWidget* grid = Window().Grid().viewport();
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid, &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }

    static std::unique_ptr<QMimeData> Files(const QStringList& paths)
    {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(path.contains(u"://"_s) ? QUrl(path) : QUrl::fromLocalFile(path));
        data->setUrls(urls);
        return data;
    }
};

TEST_F(SiteDrop, ADroppedSiteFileOpensAfterTheSaveQuestion)
{
    FrmDips& w = Start();
    w.SetModified(true);
    ui.Answer(MessageButton::Cancel).Answer(MessageButton::No);
    const QString north = MakeDip(u"north.dip"_s, 768);
    EXPECT_TRUE(Drop(*Files({north})));
    EXPECT_EQ(w.Table().rowCount(), 384);
    EXPECT_TRUE(Drop(*Files({north})));
    const MessageRequest question = Question(u"Save this site before closing?"_s, MessageButtons::YesNoCancel);
    EXPECT_EQ(ui.Messages(), (std::vector{question, question, Info(u"768 channels loaded"_s)}));
    EXPECT_EQ(w.Table().rowCount(), 768);
    EXPECT_EQ(w.currentFile(), north);
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
}

TEST_F(SiteDrop, AnythingElseIsRefusedAndChangesNothing)
{
    FrmDips& w = Start();
    const QString north = MakeDip(u"north.dip"_s, 768);
    QMimeData text;
    text.setText(north);
    EXPECT_FALSE(Drop(text));
    for (const QStringList& paths : {QStringList{MakeDip(u"north.txt"_s, 768)}, QStringList{MakeDip(u"north.dipx"_s, 768)},
                                     QStringList{north, MakeDip(u"south.dip"_s, 768)},
                                     QStringList{u"https://example.org/north.dip"_s}}) {
        EXPECT_FALSE(Drop(*Files(paths))) << paths.join(u' ').toStdString();
    }
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(w.Table().rowCount(), 384);
    EXPECT_TRUE(w.currentFile().isEmpty());
}

} // namespace
} // namespace mr640
