// The real program on a real X server, driven from the keyboard as a person drives it:
// Xvfb started by the test on a free display, xdotool for the keys and for finding windows,
// and the files the program wrote checked byte for byte.

#include "close_request.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// How long anything the test waits for may take: generous, as a loaded machine needs, for
// every wait ends as soon as what it waits for is there.
constexpr int kWaitMs = 60000;
const QString kEditorTitle = u"^MR640 configuration editor$"_s;

// --- The files, spelled out byte by byte ----------------------------------------------

QByteArray ChannelId(int row)
{
    const int unit = row / 384;
    const int group = row % 384 / 48;
    const int input = row % 48 + 1;
    return QByteArray(1, char('A' + unit)) + char('A' + group) + char('0' + input / 10) +
           char('0' + input % 10);
}

struct Channel
{
    QByteArray name; // Windows-1252, as the grid holds it
    bool back = false;
};

// A unit of 384 channels named "Spare AAnn", with a few names of our own.
std::vector<Channel> Site()
{
    std::vector<Channel> rows(384);
    for (int r = 0; r < 384; ++r)
        rows[r].name = "Spare " + ChannelId(r);
    rows[0].name = "12 TPR";
    rows[2] = {QByteArray("caf\xE9 \x80") + '5', true}; // é and € are one byte each
    return rows;
}

QByteArray DipFile(const std::vector<Channel>& rows)
{
    QByteArray bytes("\xEE\xFF\xC0\xFF\x03\x00\x03\x00", 8);
    const auto count = static_cast<quint32>(rows.size());
    for (int shift = 0; shift < 32; shift += 8)
        bytes += char(count >> shift & 0xFF);
    bytes += QByteArray(4, '\0');
    for (const Channel& row : rows) {
        QByteArray record(40, '\0');
        record.replace(0, 16, row.name.leftJustified(16, ' ', true));
        record[17] = row.back ? 1 : 0;
        record[18] = 1;
        record.replace(19, 3, "UP ");
        record.replace(23, 3, "DN ");
        bytes += record;
    }
    return bytes;
}

QByteArray CsvFile(const std::vector<Channel>& rows)
{
    QByteArray bytes;
    for (std::size_t r = 0; r < rows.size(); ++r)
        bytes += ChannelId(static_cast<int>(r)) + ',' + rows[r].name + ',' +
                 (rows[r].back ? "Back" : "Front") + "\r\n";
    return bytes;
}

// An Instead record file's text: a 16-bit little-endian length and the bytes.
QByteArray InsText(const QByteArray& text)
{
    const auto n = static_cast<quint16>(text.size());
    return QByteArray(1, char(n & 0xFF)) + char(n >> 8) + text;
}

QByteArray SiteInfoFile(const QByteArray& name)
{
    // The name, then the rest of the record the import steps over.
    QByteArray bytes = "I3V2.0 Site Info file" + InsText(name);
    for (const char* text : {"FILLER", "Route", "Area", "Line"})
        bytes += InsText(text);
    bytes += QByteArray("\x01\x02\x03\x04\x05\x06") + InsText("Box") + InsText("Depot");
    bytes += QByteArray("12345678") + InsText("Eng") + InsText("Tel");
    bytes += QByteArray("ABCDEFGH") + InsText("Notes") + QByteArray("0123456789abcdef") + InsText("End");
    return bytes;
}

struct Allocation
{
    QByteArray name;
    qint16 backContact = 0;
};

QByteArray DChannelFile(const std::vector<Allocation>& allocations)
{
    const auto count = static_cast<quint16>(allocations.size());
    QByteArray bytes = "I3V2.0 DChannels" + QByteArray(1, char(count & 0xFF)) + char(count >> 8);
    for (const Allocation& a : allocations) {
        const auto back = static_cast<quint16>(a.backContact);
        bytes += InsText(a.name) + InsText("DI 1") + InsText("Card 1");
        bytes += QByteArray(1, char(back & 0xFF)) + char(back >> 8) + QByteArray(2, '\0');
    }
    return bytes;
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Compares whole files without printing kilobytes: the first byte that differs.
::testing::AssertionResult SameBytes(const QByteArray& actual, const QByteArray& expected)
{
    if (actual == expected)
        return ::testing::AssertionSuccess();
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure()
           << actual.size() << " bytes instead of " << expected.size()
           << ", first difference at offset " << at << ": \""
           << actual.mid(at, 24).toHex(' ').constData() << "\" instead of \""
           << expected.mid(at, 24).toHex(' ').constData() << '"';
}

// --- The X session --------------------------------------------------------------------

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString& tool : {u"Xvfb"_s, u"xdotool"_s, u"xclip"_s})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_FAIL() << tool.toStdString()
                             << " is not installed; the end-to-end test needs it (tools/setup.sh "
                                "lists xvfb, xdotool and xclip among the test packages)";
        ASSERT_TRUE(root_.isValid());
        for (const char* folder : {"home", "config", "runtime", "sites"})
            ASSERT_TRUE(QDir(root_.path()).mkdir(QString::fromLatin1(folder)));
        QFile::setPermissions(Path(u"runtime"_s),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        // -displayfd: the server takes the first free display and tells its number.
        // -noreset: a test that starts the program twice must not meet the server resetting
        // after the first one left, when it refuses connections.
        xvfb_.setProgram(u"Xvfb"_s);
        xvfb_.setArguments({u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s,
                            u"-nolisten"_s, u"tcp"_s, u"-noreset"_s});
        xvfb_.setProcessChannelMode(QProcess::SeparateChannels);
        xvfb_.start();
        ASSERT_TRUE(xvfb_.waitForStarted(kWaitMs)) << xvfb_.errorString().toStdString();
        const QDeadlineTimer deadline(kWaitMs);
        while (!xvfb_.canReadLine() && xvfb_.state() == QProcess::Running && !deadline.hasExpired())
            xvfb_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        const QByteArray number = xvfb_.readLine().trimmed();
        ASSERT_FALSE(number.isEmpty())
            << "Xvfb gave no display number: " << xvfb_.readAllStandardError().constData();
        display_ = ':' + number;

        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(u"DISPLAY"_s, QString::fromLatin1(display_));
        environment_.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        // The program's settings and Qt's own go to folders of this test, never the user's.
        environment_.insert(u"HOME"_s, Path(u"home"_s));
        environment_.insert(u"XDG_CONFIG_HOME"_s, Path(u"config"_s));
        environment_.insert(u"XDG_STATE_HOME"_s, Path(u"state"_s)); // recovery journals
        environment_.insert(u"XDG_RUNTIME_DIR"_s, Path(u"runtime"_s));
    }

    void TearDown() override
    {
        for (QProcess* process : {&clipboard_, &program_, &xvfb_}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->kill();
            process->waitForFinished(kWaitMs);
        }
    }

    QString Path(const QString& name) const { return root_.filePath(name); }

    void StartProgram(const QStringList& arguments = {})
    {
        program_.setProcessEnvironment(environment_);
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(QString::fromUtf8(MR640_PROGRAM), arguments);
        ASSERT_TRUE(program_.waitForStarted(kWaitMs)) << program_.errorString().toStdString();
    }

    // Starts the program and opens a dip file as a person does: Ctrl+O, the path typed into
    // the dialog, the count box answered with Enter. The main window; empty when it or a
    // step did not come.
    QString StartWithSite(const QString& dip)
    {
        StartProgram();
        const QString main = WaitForWindow(kEditorTitle);
        if (main.isEmpty())
            return {};
        Focus(main);
        Keys({u"ctrl+o"_s});
        ChooseInDialog(u"^Open config file$"_s, dip);
        // Opened once the title names the site.
        if (!AnswerBox(main, u"Return"_s) ||
            WaitForWindow(u"^"_s + QFileInfo(dip).baseName() + u" - MR640 configuration editor$"_s) != main)
            return {};
        return main;
    }

    // Runs xdotool to its end; its output, one window id a line for a search.
    QStringList Xdo(const QStringList& arguments, bool mustSucceed = true)
    {
        QProcess xdo;
        xdo.setProcessEnvironment(environment_);
        xdo.start(u"xdotool"_s, arguments);
        const bool finished = xdo.waitForFinished(kWaitMs);
        if (!finished)
            xdo.kill();
        if (mustSucceed) {
            EXPECT_TRUE(finished && xdo.exitCode() == 0)
                << "xdotool " << arguments.join(u' ').toStdString() << ": "
                << xdo.readAllStandardError().constData();
        }
        return QString::fromLocal8Bit(xdo.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    QStringList VisibleWindows(const QString& name)
    {
        return Xdo({u"search"_s, u"--onlyvisible"_s, u"--name"_s, name}, false);
    }

    // Every visible window with a name, for a failure's message.
    std::string Screen()
    {
        std::string all;
        for (const QString& id : VisibleWindows(u"."_s))
            all += " [" + Xdo({u"getwindowname"_s, id}, false).join(u' ').toStdString() + ']';
        return all.empty() ? " nothing" : all;
    }

    // Asks until the condition holds; false when it still does not after kWaitMs. Polled:
    // what the program does shows only on the X server, in its files and on the clipboard.
    static bool WaitUntil(const std::function<bool()>& condition)
    {
        const QDeadlineTimer deadline(kWaitMs);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(20);
        }
        return true;
    }

    // The window of that name, waiting until it is shown.
    QString WaitForWindow(const QString& name)
    {
        // Polled rather than xdotool's --sync: a search that meets a window being destroyed
        // (a box just answered) ends with an X error and no window, and is simply tried again.
        QStringList found;
        if (WaitUntil([&] { return !(found = VisibleWindows(name)).isEmpty(); }))
            return found.constFirst();
        ADD_FAILURE() << "no window named " << name.toStdString() << " appeared; on screen:" << Screen();
        return {};
    }

    // A message box: it carries the main window's title, so it is the window of that name
    // that is not the main window.
    QString WaitForBox(const QString& name, const QString& mainWindow)
    {
        QStringList found;
        if (WaitUntil([&] {
                found = VisibleWindows(name);
                found.removeAll(mainWindow);
                return !found.isEmpty();
            }))
            return found.constFirst();
        ADD_FAILURE() << "no box named " << name.toStdString()
                      << " appeared; on screen:" << Screen();
        return {};
    }

    // Answers the next message box over mainWindow with a key and waits until it has gone;
    // false when no box came.
    bool AnswerBox(const QString& mainWindow, const QString& key)
    {
        const QString box = WaitForBox(kEditorTitle, mainWindow);
        if (box.isEmpty())
            return false;
        Focus(box);
        Keys({key});
        WaitUntilGone(box);
        return true;
    }

    void WaitUntilGone(const QString& window)
    {
        if (!WaitUntil([&] { return !VisibleWindows(u"."_s).contains(window); }))
            ADD_FAILURE() << "window " << window.toStdString() << " stayed; on screen:" << Screen();
    }

    // Saves write a temporary file and rename it: a file that is there is whole.
    static bool WaitForFile(const QString& path)
    {
        return WaitUntil([&] { return QFileInfo::exists(path); });
    }

    // The file's content once it is expected, or as it is when the wait ends.
    static QByteArray WaitForContent(const QString& path, const QByteArray& expected)
    {
        QByteArray content;
        WaitUntil([&] { return (content = ReadAll(path)) == expected; });
        return content;
    }

    // Gives the keyboard to the window, as a window manager does when a window comes up or
    // gets back to the front; without one nothing holds the focus once a box has closed.
    void Focus(const QString& window) { Xdo({u"windowfocus"_s, u"--sync"_s, window}); }
    void Keys(const QStringList& keys) { Xdo(QStringList{u"key"_s, u"--delay"_s, u"20"_s} + keys); }
    void Type(const QString& text) { Xdo({u"type"_s, u"--delay"_s, u"20"_s, text}); }

    // Types a full file name into Qt's file dialog (over whatever it proposes) and accepts it.
    void ChooseInDialog(const QString& title, const QString& fullName)
    {
        const QString dialog = WaitForWindow(title);
        ASSERT_FALSE(dialog.isEmpty());
        Focus(dialog);
        Keys({u"ctrl+a"_s});
        Type(fullName);
        Keys({u"Return"_s});
        WaitUntilGone(dialog);
    }

    // What another program reads from the clipboard.
    QByteArray ReadClipboard()
    {
        QProcess xclip;
        xclip.setProcessEnvironment(environment_);
        xclip.start(u"xclip"_s, {u"-o"_s, u"-selection"_s, u"clipboard"_s});
        if (!xclip.waitForFinished(kWaitMs))
            xclip.kill();
        return xclip.readAllStandardOutput();
    }

    // Puts text on the clipboard as another program does: xclip holds it, in the
    // foreground, until the program takes the clipboard over or the test ends. False when
    // the clipboard does not hold the text.
    bool FillClipboard(const QByteArray& text)
    {
        clipboard_.kill();
        clipboard_.waitForFinished(kWaitMs);
        clipboard_.setProcessEnvironment(environment_);
        clipboard_.start(u"xclip"_s, {u"-quiet"_s, u"-i"_s, u"-selection"_s, u"clipboard"_s});
        clipboard_.write(text);
        clipboard_.waitForBytesWritten(kWaitMs);
        clipboard_.closeWriteChannel();
        if (WaitUntil([&] { return ReadClipboard() == text; }))
            return true;
        ADD_FAILURE() << "xclip did not take the clipboard: " << clipboard_.errorString().toStdString();
        return false;
    }

    // What the clipboard holds once it holds the text expected (the program has taken the
    // keys that copy it), or what it holds when the wait ends.
    QByteArray WaitForClipboard(const QByteArray& expected)
    {
        QByteArray held;
        WaitUntil([&] { return (held = ReadClipboard()) == expected; });
        return held;
    }

    void AskToClose(const QString& window)
    {
        ASSERT_TRUE(test::RequestClose(display_, window.toULong()))
            << "cannot open display " << display_.constData();
    }

    QTemporaryDir root_{QDir::tempPath() + u"/mr640-e2e-XXXXXX"_s};
    QProcess xvfb_;
    QProcess program_;
    QProcess clipboard_;
    QByteArray display_;
    QProcessEnvironment environment_;
};

TEST_F(EndToEnd, OpenEditSaveAsCsvAndSaveTheDipAtClose)
{
    const QString dip = Path(u"sites/north.dip"_s);
    const QString csv = Path(u"sites/north copy.csv"_s);
    std::vector<Channel> site = Site();
    const QByteArray original = DipFile(site);
    {
        QFile file(dip);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(original), original.size());
    }

    const QString main = StartWithSite(dip);
    ASSERT_FALSE(main.isEmpty());

    // Channel AA02's relay name: to its cell (Ctrl+Home passes over the Chan column to the
    // first relay name), F2, a name longer than the grid takes, Enter.
    Focus(main);
    Keys({u"ctrl+Home"_s, u"Down"_s, u"F2"_s});
    Type(u"Signal 12 TPR XYZ"_s);
    Keys({u"Return"_s});
    site[1].name = "Signal 12 TPR XY";

    // Save as CSV: a copy; the site itself stays unsaved.
    Keys({u"ctrl+shift+s"_s});
    ChooseInDialog(u"^Save site as\\.\\.\\.$"_s, csv);
    ASSERT_TRUE(WaitForFile(csv)) << "no CSV file written; on screen:" << Screen();
    EXPECT_TRUE(SameBytes(ReadAll(csv), CsvFile(site)));
    EXPECT_TRUE(SameBytes(ReadAll(dip), original));

    // Closing asks first. Cancel keeps the window, but the settings are written already.
    AskToClose(main);
    ASSERT_TRUE(AnswerBox(main, u"Escape"_s));
    EXPECT_EQ(program_.state(), QProcess::Running);
    EXPECT_TRUE(VisibleWindows(u"."_s).contains(main));
    // The window writes them once the box has gone: wait for the file, not for a time.
    const QByteArray filePath = "filePath=" + QFile::encodeName(Path(u"sites/"_s));
    QByteArray settings;
    EXPECT_TRUE(WaitUntil([&] {
        return (settings = ReadAll(Path(u"config/MR640Config/MR640Config.ini"_s))).contains(filePath);
    })) << settings.constData();
    EXPECT_TRUE(SameBytes(ReadAll(dip), original));

    // Yes saves the site into its dip file and the program ends.
    AskToClose(main);
    ASSERT_TRUE(AnswerBox(main, u"y"_s));
    ASSERT_TRUE(program_.waitForFinished(kWaitMs)) << "still running; on screen:" << Screen();
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0);
    EXPECT_TRUE(SameBytes(ReadAll(dip), DipFile(site)));
    EXPECT_EQ(QDir(Path(u"sites"_s)).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"north copy.csv"_s, u"north.dip"_s}));
}

// Text typed into a cell and not yet entered is part of the site: New and the close ask
// about it, Cancel leaves it being typed, Yes saves it, and after No it is gone.
TEST_F(EndToEnd, TextBeingTypedIsNeverLost)
{
    const QString dip = Path(u"sites/north.dip"_s);
    std::vector<Channel> site = Site();
    WriteAll(dip, DipFile(site));

    QString main = StartWithSite(dip);
    ASSERT_FALSE(main.isEmpty());
    // The window manager, the desktop and screen readers know the program by its name.
    EXPECT_TRUE(Xdo({u"search"_s, u"--class"_s, u"^MR640Config$"_s}).contains(main));

    Focus(main);
    Keys({u"ctrl+Home"_s, u"Down"_s, u"F2"_s});
    Type(u"Kept"_s);
    Keys({u"ctrl+n"_s});
    ASSERT_TRUE(AnswerBox(main, u"Escape"_s)); // Cancel: still typing
    Focus(main);
    Type(u" 12"_s);
    AskToClose(main);
    ASSERT_TRUE(AnswerBox(main, u"y"_s));
    ASSERT_TRUE(program_.waitForFinished(kWaitMs)) << "still running; on screen:" << Screen();
    site[1].name = "Kept 12";
    EXPECT_TRUE(SameBytes(ReadAll(dip), DipFile(site)));

    // A site without a file: New after typing, answered No, leaves only defaults.
    StartProgram();
    main = WaitForWindow(kEditorTitle);
    ASSERT_FALSE(main.isEmpty());
    Focus(main);
    Keys({u"ctrl+Home"_s, u"Down"_s, u"F2"_s});
    Type(u"Lost"_s);
    Keys({u"ctrl+n"_s});
    ASSERT_TRUE(AnswerBox(main, u"n"_s));

    // Save as into a folder that does not exist: the dialog says so and stays open; a name
    // of no format is said too, and nothing is written.
    Focus(main);
    Keys({u"ctrl+shift+s"_s});
    const QString dialog = WaitForWindow(u"^Save site as\\.\\.\\.$"_s);
    ASSERT_FALSE(dialog.isEmpty());
    for (const QString& refused : {Path(u"nosuch/fresh.dip"_s), Path(u"sites/north.rev3"_s)}) {
        Focus(dialog);
        Keys({u"ctrl+a"_s});
        Type(refused);
        Keys({u"Return"_s});
        const QString refusal = WaitForBox(u"^Save site as\\.\\.\\.$"_s, dialog);
        ASSERT_FALSE(refusal.isEmpty()) << refused.toStdString();
        Focus(refusal);
        Keys({u"Return"_s});
        WaitUntilGone(refusal);
        EXPECT_TRUE(VisibleWindows(u"."_s).contains(dialog));
    }
    Focus(dialog);
    Keys({u"Escape"_s});
    WaitUntilGone(dialog);
    EXPECT_EQ(QDir(Path(u"sites"_s)).entryList(QDir::Files), QStringList{u"north.dip"_s});

    // Yes, then a CSV name: the copy is written, but the site is not saved, so the window stays.
    Focus(main);
    Keys({u"ctrl+Home"_s, u"Down"_s, u"Down"_s, u"F2"_s});
    Type(u"Typed"_s);
    Keys({u"Return"_s});
    AskToClose(main);
    ASSERT_TRUE(AnswerBox(main, u"y"_s));
    ChooseInDialog(u"^Save site as\\.\\.\\.$"_s, Path(u"sites/copy.csv"_s));
    ASSERT_TRUE(WaitForFile(Path(u"sites/copy.csv"_s)));

    // The close went no further: the window still takes keys, and Ctrl+S asks for a file.
    Focus(main);
    Keys({u"ctrl+s"_s});
    ChooseInDialog(u"^Save site as\\.\\.\\.$"_s, Path(u"sites/fresh.dip"_s));
    EXPECT_EQ(program_.state(), QProcess::Running);
    std::vector<Channel> fresh(384);
    for (int r = 0; r < 384; ++r)
        fresh[r].name = "Spare " + ChannelId(r);
    fresh[2].name = "Typed";
    EXPECT_TRUE(SameBytes(WaitForContent(Path(u"sites/fresh.dip"_s), DipFile(fresh)), DipFile(fresh)));
    AskToClose(main); // saved: no question
    ASSERT_TRUE(program_.waitForFinished(kWaitMs)) << "still running; on screen:" << Screen();
}

// Help, the version and a wrong command line are answered on the terminal, with no window
// and no display; a file named on the command line opens as Open opens it.
TEST_F(EndToEnd, TheCommandLineOpensAFileOrAnswersOnTheTerminal)
{
    struct Case
    {
        QStringList arguments;
        int status;
        QString out; // the start of standard output
        QString err; // the start of standard error
    };
    const Case cases[] = {
        {{u"--version"_s}, 0, u"MR640Config 1.0\n"_s, {}},
        {{u"--help"_s}, 0, u"Usage: "_s, {}},
        {{u"north.dip"_s, u"south.dip"_s}, 2, {}, u"mr640config: Too many arguments.\n"_s},
        {{u"--bogus"_s}, 2, {}, u"mr640config: Unknown option 'bogus'.\n"_s},
    };
    QProcessEnvironment terminal = environment_;
    terminal.remove(u"DISPLAY"_s);
    for (const Case& c : cases) {
        QProcess run;
        run.setProcessEnvironment(terminal);
        run.start(QString::fromUtf8(MR640_PROGRAM), c.arguments);
        ASSERT_TRUE(run.waitForFinished(kWaitMs));
        const QString out = QString::fromLocal8Bit(run.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(run.readAllStandardError());
        const std::string shown = c.arguments.join(u' ').toStdString() + ": " + out.toStdString() + err.toStdString();
        EXPECT_EQ(run.exitCode(), c.status) << shown;
        EXPECT_TRUE(c.out.isEmpty() ? out.isEmpty() : out.startsWith(c.out)) << shown;
        EXPECT_TRUE(c.err.isEmpty() ? err.isEmpty() : err.startsWith(c.err)) << shown;
        if (c.status != 0) {
            EXPECT_TRUE(err.endsWith(u"Try 'mr640config --help'.\n"_s)) << shown;
        }
    }

    WriteAll(Path(u"sites/north.dip"_s), DipFile(Site()));
    StartProgram({Path(u"sites/north.dip"_s)});
    // The window and, over it, the count box, which was made after it.
    QStringList shown;
    WaitUntil([&] { return (shown = VisibleWindows(kEditorTitle)).size() >= 2; });
    ASSERT_EQ(shown.size(), 2) << "on screen:" << Screen();
    const QString box = shown[0].toULong() > shown[1].toULong() ? shown[0] : shown[1];
    Focus(box);
    Keys({u"Return"_s});
    const QString main = WaitForWindow(u"^north - MR640 configuration editor$"_s);
    ASSERT_FALSE(main.isEmpty());
    AskToClose(main); // opened, not modified: no question
    ASSERT_TRUE(program_.waitForFinished(kWaitMs)) << "still running; on screen:" << Screen();
    EXPECT_EQ(program_.exitCode(), 0);
}

// The import as a new user makes it: the File menu, the site list, the guide, Open, the
// report of a cut name, then Save, which asks for a file, and the dip file checked.
TEST_F(EndToEnd, ImportAnInsteadSiteAndSaveItAsDip)
{
    const QString config = Path(u"instead/config"_s);
    WriteAll(config + u"/s1/SiteInfo.cfg"_s, SiteInfoFile("Ashford"));
    WriteAll(config + u"/s1/DChannel.cfg"_s,
             DChannelFile({{"12 TPR", 0}, {" spare ", 1}, {"  ABCDEFGHIJKLMNOPQRS", -1}}));
    WriteAll(config + u"/s2/SiteInfo.cfg"_s, SiteInfoFile("Dover"));
    WriteAll(Path(u"config/MR640Config/MR640Config.ini"_s),
             "[Directories]\ninsPath=" + QFile::encodeName(config) + '\n');
    const QString dip = Path(u"sites/ashford.dip"_s);

    StartProgram();
    const QString main = WaitForWindow(kEditorTitle);
    ASSERT_FALSE(main.isEmpty());
    Focus(main);
    Keys({u"alt+f"_s, u"i"_s});
    const QString selector = WaitForWindow(u"^Import site$"_s);
    ASSERT_FALSE(selector.isEmpty());

    // Help... is the last in the tab order; Esc closes the guide.
    Focus(selector);
    Keys({u"Tab"_s, u"Tab"_s, u"Tab"_s, u"Tab"_s, u"space"_s});
    const QString help = WaitForWindow(u"^Help$"_s);
    ASSERT_FALSE(help.isEmpty());
    Focus(help);
    Keys({u"Escape"_s});
    WaitUntilGone(help);

    // Back to the list, whose first site (by name) is selected: Enter opens it.
    Focus(selector);
    Keys({u"Tab"_s, u"Return"_s});
    WaitUntilGone(selector);
    ASSERT_TRUE(AnswerBox(main, u"Return"_s)); // the cut report
    ASSERT_TRUE(AnswerBox(main, u"Return"_s)); // the count
    ASSERT_EQ(WaitForWindow(u"^Ashford - MR640 configuration editor$"_s), main);

    // The import has no file: Save asks for one.
    Focus(main);
    Keys({u"ctrl+s"_s});
    ChooseInDialog(u"^Save site as\\.\\.\\.$"_s, dip);
    ASSERT_TRUE(WaitForFile(dip)) << "no dip file written; on screen:" << Screen();
    std::vector<Channel> expected(384);
    for (int r = 0; r < 384; ++r)
        expected[r].name = "Spare " + ChannelId(r);
    expected[0].name = "12 TPR";
    expected[1].back = true;
    expected[2] = {"ABCDEFGHIJKLMNOP", true};
    EXPECT_TRUE(SameBytes(ReadAll(dip), DipFile(expected)));

    AskToClose(main); // saved: no question
    ASSERT_TRUE(program_.waitForFinished(kWaitMs)) << "still running; on screen:" << Screen();
    EXPECT_EQ(program_.exitCode(), 0);
}

// Editing as in a spreadsheet: names pasted from another program over whole rows and over
// one cell, undone and redone, copied back out, replaced all at once and undone to the
// saved site, which then closes without a question.
TEST_F(EndToEnd, PasteUndoCopyAndReplaceLikeASpreadsheet)
{
    const QString dip = Path(u"sites/north.dip"_s);
    std::vector<Channel> site = Site();
    WriteAll(dip, DipFile(site));
    const QString main = StartWithSite(dip);
    ASSERT_FALSE(main.isEmpty());
    // The relay-name cell of a channel, from the first one down.
    auto toName = [](int row) { return QStringList{u"ctrl+Home"_s} + QStringList(row, u"Down"_s); };
    const QStringList toAA05 = toName(4);
    const QStringList toAA10 = toName(9);

    // Rows AA05 and AA06 selected whole (Shift+End), an "id, name, contact" block pasted:
    // the 20-character name is cut, and a box says so.
    ASSERT_TRUE(FillClipboard("AA05\tSignal 14\tBack\r\nAA06\tTwenty characters 20\tFront\r\n"));
    Focus(main);
    Keys(toAA05 + QStringList{u"shift+End"_s, u"shift+Down"_s, u"ctrl+v"_s});
    ASSERT_TRUE(AnswerBox(main, u"Return"_s));
    site[4] = {"Signal 14", true};
    site[5].name = "Twenty character";

    // A column of two names pasted at one relay-name cell goes down from it; Ctrl+Z takes
    // the whole paste back, Ctrl+Y brings it again, and a copy shows each state.
    ASSERT_TRUE(FillClipboard("North TPR\r\nSouth TPR\r\n"));
    Focus(main);
    Keys(toAA10 + QStringList{u"ctrl+v"_s, u"ctrl+z"_s});
    const QStringList copyAA10 =
        toAA10 + QStringList{u"shift+Down"_s, u"shift+Right"_s, u"ctrl+c"_s};
    Keys(copyAA10);
    const QByteArray spares = "Spare AA10\tFront\r\nSpare AA11\tFront\r\n";
    EXPECT_EQ(WaitForClipboard(spares), spares);
    Keys(QStringList{u"ctrl+y"_s} + copyAA10);
    const QByteArray pasted = "North TPR\tFront\r\nSouth TPR\tFront\r\n";
    EXPECT_EQ(WaitForClipboard(pasted), pasted);
    site[9].name = "North TPR";
    site[10].name = "South TPR";
    Keys({u"ctrl+s"_s});
    EXPECT_TRUE(SameBytes(WaitForContent(dip, DipFile(site)), DipFile(site)));

    // Ctrl+H, the texts typed, Replace All by its mnemonic; one Ctrl+Z undoes it.
    Keys({u"ctrl+h"_s});
    const QString find = WaitForWindow(u"^Find and replace$"_s);
    ASSERT_FALSE(find.isEmpty());
    Focus(find);
    Type(u"TPR"_s);
    Keys({u"Tab"_s});
    Type(u"Relay"_s);
    Keys({u"alt+a"_s, u"Escape"_s});
    WaitUntilGone(find);
    Focus(main);
    Keys(copyAA10);
    const QByteArray replaced = "North Relay\tFront\r\nSouth Relay\tFront\r\n";
    EXPECT_EQ(WaitForClipboard(replaced), replaced);
    Keys(QStringList{u"ctrl+z"_s} + copyAA10);
    EXPECT_EQ(WaitForClipboard(pasted), pasted);

    // Back at the saved site: the close asks nothing.
    AskToClose(main);
    ASSERT_TRUE(program_.waitForFinished(kWaitMs)) << "still running; on screen:" << Screen();
    EXPECT_EQ(program_.exitCode(), 0);
    EXPECT_TRUE(SameBytes(ReadAll(dip), DipFile(site)));
}

// A spreadsheet cell holding a line break, pasted as a relay name, becomes one line: the
// CSV written from it opens again as the same table, with no question about its lines.
TEST_F(EndToEnd, ANameWithALineBreakComesBackWholeFromCsv)
{
    const QString csv = Path(u"sites/two.csv"_s);
    QDir().mkpath(Path(u"sites"_s));
    StartProgram();
    const QString main = WaitForWindow(kEditorTitle);
    ASSERT_FALSE(main.isEmpty());
    ASSERT_TRUE(FillClipboard("\"two\r\nlines\"\tBack\r\n"));
    Focus(main);
    Keys({u"ctrl+Home"_s, u"ctrl+v"_s, u"ctrl+shift+s"_s});
    ChooseInDialog(u"^Save site as\\.\\.\\.$"_s, csv);
    ASSERT_TRUE(WaitForFile(csv));
    EXPECT_TRUE(ReadAll(csv).startsWith("AA01,two lines,Back\r\nAA02,Spare AA02,Front\r\n"));

    // A new site, not saved, and the CSV opened: only the count is shown.
    Focus(main);
    Keys({u"ctrl+n"_s});
    ASSERT_TRUE(AnswerBox(main, u"n"_s));
    Focus(main);
    Keys({u"ctrl+o"_s});
    ChooseInDialog(u"^Open config file$"_s, csv);
    ASSERT_TRUE(AnswerBox(main, u"Return"_s)) << "on screen:" << Screen();
    Focus(main);
    Keys({u"ctrl+Home"_s, u"shift+Right"_s, u"ctrl+c"_s});
    EXPECT_EQ(WaitForClipboard("two lines\tBack\r\n"), "two lines\tBack\r\n");
    AskToClose(main);
    ASSERT_TRUE(program_.waitForFinished(kWaitMs)) << "still running; on screen:" << Screen();
}

} // namespace
} // namespace mr640
