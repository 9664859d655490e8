// Print labels from the window to a real CUPS queue whose printer writes PDF files.

#include "dialog_play.h"
#include "editor/channel_ids.h"
#include "labels/label_renderer.h"
#include "window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <gtest/gtest.h>
#include <iostream>
#include <pwd.h>
#include <unistd.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::AtShown;
using test::Control;

const QString kQueue = u"MR640Labels"_s;

// Runs a program to its end; what it printed is shown only when it failed.
int Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const int status = process.waitForFinished(30000) ? process.exitCode() : -1;
    if (status != 0)
        std::cerr << program.toStdString() << ": " << process.readAll().toStdString() << '\n';
    return status;
}

// A scheduler of the test's own, in a temporary folder and on a socket of its own, with
// one queue on the cups-pdf backend. The system's CUPS is not touched; everything the
// queue printed is removed with it.
class CupsQueue
{
public:
    explicit CupsQueue(const QString& folder) : folder_(folder)
    {
        for (const char* sub : {"root/ppd", "spool", "cache", "state", "log"})
            QDir().mkpath(folder_ + u'/' + QLatin1StringView(sub));
        // cupsd drops to lp for its filters, which must reach the spool.
        Run(u"chown"_s, {u"-R"_s, u"root:lp"_s, folder_});
        Run(u"chmod"_s, {u"-R"_s, u"g+rwX"_s, folder_});
        test::WriteBytes(Path(u"root/cupsd.conf"_s),
                         "Listen " + QFile::encodeName(Socket()) +
                             "\nLogLevel warn\nWebInterface No\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n");
        QByteArray files;
        for (const char* key : {"ServerRoot root", "RequestRoot spool", "TempDir spool",
                                "CacheDir cache", "StateDir state", "ErrorLog log/error_log",
                                "AccessLog log/access_log", "PageLog log/page_log"}) {
            const QString pair = QString::fromLatin1(key);
            files += pair.section(u' ', 0, 0).toUtf8() + ' ' +
                     QFile::encodeName(Path(pair.section(u' ', 1))) + '\n';
        }
        test::WriteBytes(Path(u"root/cups-files.conf"_s),
                         files + "User lp\nGroup lp\nSystemGroup root\n");
        scheduler_.start(u"/usr/sbin/cupsd"_s, {u"-f"_s, u"-c"_s, Path(u"root/cupsd.conf"_s),
                                                u"-s"_s, Path(u"root/cups-files.conf"_s)});
        qputenv("CUPS_SERVER", QFile::encodeName(Socket()));
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(Socket()) && waited.elapsed() < 10000)
            QThread::msleep(50);
        ready_ = Run(u"lpadmin"_s, {u"-p"_s, kQueue, u"-E"_s, u"-v"_s, u"cups-pdf:/"_s, u"-P"_s,
                                    u"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"_s}) == 0;
        outputFolder_ = QFile::decodeName(getpwuid(geteuid())->pw_dir) + u"/PDF"_s;
        hadOutputFolder_ = QFileInfo::exists(outputFolder_);
        before_ = QDir(outputFolder_).entryList(QDir::Files);
    }
    ~CupsQueue()
    {
        Run(u"lpadmin"_s, {u"-x"_s, kQueue});
        scheduler_.terminate();
        scheduler_.waitForFinished();
        qunsetenv("CUPS_SERVER");
        for (const QString& name : Printed())
            QFile::remove(outputFolder_ + u'/' + name);
        if (!hadOutputFolder_)
            QDir().rmdir(outputFolder_);
    }

    bool Ready() const { return ready_; }
    // The files the queue printed so far, waiting up to a minute for the first.
    QStringList WaitForPrinted() const
    {
        QElapsedTimer waited;
        waited.start();
        while (Printed().isEmpty() && waited.elapsed() < 60000)
            QTest::qWait(200);
        QTest::qWait(500); // the backend may still be writing
        return Printed();
    }
    QString OutputFolder() const { return outputFolder_; }

private:
    QString Path(const QString& name) const { return folder_ + u'/' + name; }
    QString Socket() const { return Path(u"cups.sock"_s); }
    QStringList Printed() const
    {
        QStringList now = QDir(outputFolder_).entryList(QDir::Files);
        for (const QString& old : before_)
            now.removeAll(old);
        return now;
    }

    QString folder_;
    QProcess scheduler_;
    bool ready_ = false;
    QString outputFolder_;
    bool hadOutputFolder_ = false;
    QStringList before_;
};

constexpr int kDpi = 100;

// Page 1 of a PDF as a grey picture.
QImage FirstPage(const QString& pdf)
{
    const QString prefix = pdf + u".page"_s;
    EXPECT_EQ(Run(u"pdftoppm"_s, {u"-r"_s, QString::number(kDpi), u"-gray"_s, u"-f"_s, u"1"_s,
                                  u"-l"_s, u"1"_s, u"-singlefile"_s, pdf, prefix}),
              0);
    return QImage(prefix + u".pgm"_s);
}

QRect ToPixels(const QRectF& mm)
{
    const double scale = kDpi / 25.4;
    return QRectF(mm.topLeft() * scale, mm.size() * scale).toRect();
}

// The smallest rectangle holding every dark pixel of the image inside area.
QRect InkIn(const QImage& image, const QRect& area)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

class PrintToCups : public test::WindowTest
{
};

TEST_F(PrintToCups, PrintsTheLabelsOnTheQueueChosenWithItsCalibration)
{
    if (geteuid() != 0 || !QFileInfo::exists(u"/usr/sbin/cupsd"_s) ||
        !QFileInfo::exists(u"/usr/lib/cups/backend/cups-pdf"_s))
        GTEST_SKIP() << "needs root, cupsd and the cups-pdf backend (packages cups, "
                        "printer-driver-cups-pdf)";
    QTemporaryDir folder;
    CupsQueue queue(folder.path());
    ASSERT_TRUE(queue.Ready());

    FrmDips& w = Start();
    std::vector<ChannelRow> rows = DefaultRows(kChannelsPerUnit);
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r].relNam = u"TPR %1"_s.arg(r);
    w.Table().ReplaceRows(rows);
    AtShown(ui, [&](QDialog& d) {
        auto& printers = Control<QComboBox>(d, "CmbPrinter");
        ASSERT_GE(printers.findText(kQueue), 0);
        printers.setCurrentText(kQueue);
        Control<QDoubleSpinBox>(d, "SpnOffsetX").setValue(1.5);
        ui.AtModal([](QDialog& print) {
            print.accept();
            return print.result();
        });
        QTest::mouseClick(&Control<QPushButton>(d, "CmdPrint"), Qt::LeftButton);
    });
    w.findChild<QAction*>(u"MnuPrintLabels"_s)->trigger();

    const QStringList printed = queue.WaitForPrinted();
    ASSERT_EQ(printed.size(), 1);
    const QString file = queue.OutputFolder() + u'/' + printed.front();

    // What reached the printer is the labels as the program draws them, moved by the
    // queue's calibration: the same picture as the program's own PDF of that job.
    LabelJob job;
    job.sheet = *FindSheet(u"L7163"_s);
    job.labels = MakeLabels(rows, RowsInRange(rows, 1, kChannelsPerUnit), {});
    job.offsetX = 1.5;
    const QString own = folder.filePath(u"own.pdf"_s);
    QString error;
    ASSERT_TRUE(WriteLabelsPdf(LabelPrint(job), own, &error)) << error.toStdString();
    const QImage expected = FirstPage(own);
    const QImage got = FirstPage(file);
    ASSERT_EQ(got.size(), expected.size());
    // Glyphs differ in their pixels once the printer's filters have redrawn them; where the
    // text of each label lies may not differ by more than half a millimetre.
    for (int slot = 0; slot < job.sheet.LabelsPerPage(); ++slot) {
        const QRect area = ToPixels(job.sheet.Slot(slot).translated(job.offsetX, 0));
        const QRect want = InkIn(expected, area);
        ASSERT_FALSE(want.isEmpty()) << slot;
        const QRect have = InkIn(got, area);
        EXPECT_NEAR(have.left(), want.left(), 2) << slot;
        EXPECT_NEAR(have.top(), want.top(), 2) << slot;
        EXPECT_NEAR(have.bottom(), want.bottom(), 2) << slot;
    }
}

} // namespace
} // namespace mr640
