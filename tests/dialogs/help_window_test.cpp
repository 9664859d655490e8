#include "dialogs/help_window.h"
#include "scripted_ui.h"

#include <QDialog>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextList>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

QTextBrowser& View(QDialog& dialog)
{
    auto* view = dialog.findChild<QTextBrowser*>(u"Rtb1"_s);
    if (!view)
        throw std::runtime_error("no Rtb1");
    return *view;
}

TEST(HelpWindow, ShowsTheImportGuideRenderedWithItsListAndPicture)
{
    test::ScriptedUi ui;
    ui.AtModal([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), u"Help"_s);
        EXPECT_EQ(d.minimumSize(), QSize(605, 501));
        EXPECT_EQ(d.maximumSize(), QSize(605, 501));
        QTextBrowser& view = View(d);
        EXPECT_EQ(view.geometry(), QRect(4, 4, 597, 493));

        const QTextDocument& doc = *view.document();
        EXPECT_EQ(doc.metaInformation(QTextDocument::DocumentTitle), u"Import Instead* config"_s);
        const QString text = doc.toPlainText();
        EXPECT_TRUE(text.startsWith(u"Import Instead1 config"_s)) << text.toStdString();
        for (const QString& part : {u"[No sites found]"_s, u"\"Browse...\""_s, u"Limitations"_s,
                                    u"Channel names longer than 16 characters are truncated to 16 characters."_s,
                                    u"All trademarks are acknowledged"_s})
            EXPECT_TRUE(text.contains(part)) << part.toStdString();
        EXPECT_FALSE(text.contains(u'<')) << "the source is shown";

        QStringList bullets;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            if (b.textList())
                bullets.append(b.text());
        EXPECT_EQ(bullets, (QStringList{u"Channel names are limited to 16 characters."_s,
                                        u"Channel descriptions (e.g. \"Red road lights on\") are not supported."_s}));

        std::vector<QTextImageFormat> pictures;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (auto f = b.begin(); !f.atEnd(); ++f)
                if (f.fragment().charFormat().isImageFormat())
                    pictures.push_back(f.fragment().charFormat().toImageFormat());
        if (pictures.size() != 1) {
            ADD_FAILURE() << "pictures: " << pictures.size();
            return 0;
        }
        const QVariant picture = view.loadResource(QTextDocument::ImageResource, QUrl(pictures[0].name()));
        const QSize size = QImage::fromData(picture.toByteArray()).size();
        EXPECT_EQ(size, QSize(qRound(pictures[0].width()), qRound(pictures[0].height()))); // shown at its own size
        // The dialog's 463 by 280 pixels inside the window manager's frame and title bar.
        EXPECT_GT(size.width(), 463);
        EXPECT_GT(size.height(), 280 + 15);
        return 0;
    });
    FrmHelp(ui).ShowHelp(101);
}

TEST(HelpWindow, EachShowingStartsAtTheTopOfTheGuide)
{
    test::ScriptedUi ui;
    FrmHelp help(ui);
    auto scrolled = [](QDialog& d) {
        d.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
        QScrollBar* bar = View(d).verticalScrollBar();
        EXPECT_EQ(bar->value(), 0);
        EXPECT_GT(bar->maximum(), 0) << "the guide is longer than the window";
        bar->setValue(bar->maximum());
        return 0;
    };
    ui.AtModal(scrolled).AtModal(scrolled);
    help.ShowHelp(101);
    help.ShowHelp(101);
}

TEST(HelpWindow, AnUnknownDocumentIsAnError)
{
    test::ScriptedUi ui;
    EXPECT_THROW(FrmHelp(ui).ShowHelp(102), std::runtime_error);
}

} // namespace
} // namespace mr640
