// Print labels from the window to a real CUPS queue whose printer writes PDF files.

#include "dialog_play.h"
#include "editor/channel_ids.h"
#include "labels/label_renderer.h"
#include "window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>
#include <iostream>
#include <pwd.h>
#include <unistd.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

const QString kQueue = u"MR640Labels"_s;
constexpr int kDpi = 100;

// Runs a shell command to its end; what it printed is shown only when it failed.
int Shell(const QString& command)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(u"sh"_s, {u"-c"_s, command});
    const int status = process.waitForFinished(30000) ? process.exitCode() : -1;
    if (status != 0)
        std::cerr << command.toStdString() << ": " << process.readAll().toStdString() << '\n';
    return status;
}

// A scheduler of the test's own in a temporary folder, on a socket of its own, with one
// queue on the cups-pdf backend, which writes to ~/PDF of the job's user. The system's CUPS
// is not touched, and what the queue printed goes with it.
class CupsQueue
{
public:
    explicit CupsQueue(const QString& folder)
        : folder_(folder), output_(QFile::decodeName(getpwuid(geteuid())->pw_dir) + u"/PDF"_s)
    {
        hadOutput_ = QFileInfo::exists(output_);
        before_ = QDir(output_).entryList(QDir::Files);
        qputenv("CUPS_SERVER", QFile::encodeName(folder_ + u"/cups.sock"_s));
        // cupsd runs its filters as lp, which must reach the spool.
        ready_ = Shell(uR"(cd '%1' && mkdir -p root spool cache state log && chown -R root:lp . &&
            chmod -R g+rwX . && printf 'Listen %1/cups.sock\nLogLevel warn\n<Location />\nOrder allow,deny\nAllow all\n</Location>\n' > root/cupsd.conf &&
            printf 'ServerRoot %1/root\nRequestRoot %1/spool\nTempDir %1/spool\nCacheDir %1/cache\nStateDir %1/state\nErrorLog %1/log/error_log\nUser lp\nGroup lp\n' > root/cups-files.conf &&
            (/usr/sbin/cupsd -f -c "$PWD/root/cupsd.conf" -s "$PWD/root/cups-files.conf" >/dev/null 2>&1 & echo $! > cupsd.pid) &&
            for i in $(seq 100); do [ -S cups.sock ] && break; sleep 0.1; done &&
            lpadmin -p %2 -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd)"_s.arg(
                     folder_, kQueue)) == 0;
    }
    ~CupsQueue()
    {
        Shell(u"lpadmin -x %1; kill $(cat '%2/cupsd.pid')"_s.arg(kQueue, folder_));
        qunsetenv("CUPS_SERVER");
        for (const QString& name : Printed())
            QFile::remove(output_ + u'/' + name);
        if (!hadOutput_)
            QDir().rmdir(output_);
    }
    bool Ready() const { return ready_; }
    // The files the queue printed, once its jobs are done and what they wrote has stopped
    // growing (a loaded machine may take its time); a minute at most.
    QStringList WaitForPrinted() const
    {
        qint64 lastSize = -1;
        for (int waited = 0; waited < 300; ++waited) {
            const QStringList printed = Printed();
            const qint64 size = printed.isEmpty() ? -1 : PrintedSize(printed);
            if (size > 0 && size == lastSize && NoJobsLeft())
                return printed;
            lastSize = size;
            QTest::qWait(200);
        }
        return Printed();
    }
    QString Output() const { return output_; }

private:
    static bool NoJobsLeft()
    {
        QProcess lpstat;
        lpstat.start(u"lpstat"_s, {u"-o"_s, kQueue});
        return lpstat.waitForFinished(10000) && lpstat.exitCode() == 0 &&
               lpstat.readAllStandardOutput().trimmed().isEmpty();
    }
    qint64 PrintedSize(const QStringList& printed) const
    {
        qint64 size = 0;
        for (const QString& name : printed)
            size += QFileInfo(output_ + u'/' + name).size();
        return size;
    }
    QStringList Printed() const
    {
        QStringList now = QDir(output_).entryList(QDir::Files);
        for (const QString& old : before_)
            now.removeAll(old);
        return now;
    }

    QString folder_;
    QString output_;
    bool hadOutput_ = false;
    QStringList before_;
    bool ready_ = false;
};

QImage FirstPage(const QString& pdf)
{
    EXPECT_EQ(Shell(u"pdftoppm -r %1 -gray -f 1 -l 1 -singlefile '%2' '%2'"_s.arg(kDpi).arg(pdf)),
              0);
    return QImage(pdf + u".pgm"_s);
}

// The smallest rectangle (pixels) holding the ink of the page inside area (mm).
QRect InkIn(const QImage& page, const QRectF& area)
{
    const QRect pixels = QRectF(area.topLeft() * kDpi / 25.4, area.size() * kDpi / 25.4).toRect();
    QRect ink;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
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
    test::AtShown(ui, [&](QDialog& d) {
        test::Control<QComboBox>(d, "CmbPrinter").setCurrentText(kQueue);
        ASSERT_EQ(test::Control<QComboBox>(d, "CmbPrinter").currentText(), kQueue);
        test::Control<QDoubleSpinBox>(d, "SpnOffsetX").setValue(1.5);
        ui.AtModal([](QDialog& print) {
            print.accept();
            return print.result();
        });
        QTest::mouseClick(&test::Control<QPushButton>(d, "CmdPrint"), Qt::LeftButton);
    });
    w.findChild<QAction*>(u"MnuPrintLabels"_s)->trigger();
    const QStringList printed = queue.WaitForPrinted();
    ASSERT_EQ(printed.size(), 1);

    // The printer's filters redraw the glyphs, but the text of each label lies within half
    // a millimetre of where the program's own PDF of the job, calibration included, has it.
    LabelJob job;
    job.sheet = *FindSheet(u"L7163"_s);
    job.labels = MakeLabels(rows, RowsInRange(rows, 1, kChannelsPerUnit), {});
    job.offsetX = 1.5;
    const QString own = folder.filePath(u"own.pdf"_s);
    QString error;
    ASSERT_TRUE(WriteLabelsPdf(LabelPrint(job), own, &error)) << error.toStdString();
    const QImage expected = FirstPage(own);
    const QImage got = FirstPage(queue.Output() + u'/' + printed.front());
    for (int slot = 0; slot < job.sheet.LabelsPerPage(); ++slot) {
        const QRectF area = job.sheet.Slot(slot).translated(job.offsetX, 0);
        const QRect want = InkIn(expected, area);
        const QRect have = InkIn(got, area);
        ASSERT_FALSE(want.isEmpty()) << slot;
        EXPECT_NEAR(have.left(), want.left(), 2) << slot;
        EXPECT_NEAR(have.top(), want.top(), 2) << slot;
        EXPECT_NEAR(have.bottom(), want.bottom(), 2) << slot;
    }

    // A queue added since is offered the next time the dialog opens, and the first label
    // has moved past the 96 labels printed: 6 sheets and 12 labels of a 7th.
    const QString second = kQueue + u"Second"_s;
    ASSERT_EQ(
        Shell(u"lpadmin -p %1 -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"_s.arg(
            second)),
        0);
    test::AtShown(ui, [&](QDialog& d) {
        EXPECT_GE(test::Control<QComboBox>(d, "CmbPrinter").findText(second), 0);
        EXPECT_EQ(test::Control<QComboBox>(d, "CmbPrinter").currentText(), kQueue);
        EXPECT_EQ(test::Control<QSpinBox>(d, "SpnFirst").value(), 13);
    });
    w.findChild<QAction*>(u"MnuPrintLabels"_s)->trigger();
    Shell(u"lpadmin -x %1"_s.arg(second));
}

} // namespace
} // namespace mr640
