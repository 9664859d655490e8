#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "labels/labels_export.h"
#include "scripted_ui.h"
#include "window_fixture.h"
#include "test_files.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Info;
using test::ReadBytes;
using test::ScriptedUi;
using test::WriteBytes;

// One column of a stored record; std::nullopt is SQL NULL (a column never assigned).
using Field = std::optional<QString>;
// Every column of a stored record in the table's order: chNo1, relNam1, fOrB1, ..
// chNo4, relNam4, fOrB4 in the shipped schema.
using Record = std::vector<Field>;

// Names the instances of a data-driven test after their case.
const auto CaseName = [](const auto& info) { return std::string(info.param.name); };

const QString kSchema = QString::fromUtf8(MR640_LABELS_SCHEMA);
const QString kFailure = u"Error exporting to labels database\r\n"_s;

// A new labels database at path, made by the sqlite3 tool from the shipped schema.
void MakeDatabase(const QString& path)
{
    QProcess sqlite;
    sqlite.setStandardInputFile(kSchema);
    sqlite.start(u"sqlite3"_s, {path});
    ASSERT_TRUE(sqlite.waitForFinished()) << sqlite.errorString().toStdString();
    ASSERT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().toStdString();
    ASSERT_TRUE(QFileInfo(path).isFile());
}

// A connection of the test's own to an existing file; a plain open, so never on a path
// that must stay absent.
class Connection
{
public:
    explicit Connection(const QString& path) : name_(u"test.%1"_s.arg(++serial_))
    {
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name_);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=0"_s);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    }
    ~Connection()
    {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Exec(const QString& sql)
    {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        ASSERT_TRUE(query.exec(sql)) << sql.toStdString() << ": "
                                     << query.lastError().text().toStdString();
        while (query.next()) {
        }
    }

    std::vector<Record> Records()
    {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        EXPECT_TRUE(query.exec(u"SELECT * FROM TblForLabel ORDER BY rowid"_s))
            << query.lastError().text().toStdString();
        std::vector<Record> records;
        while (query.next()) {
            Record record;
            for (int c = 0; c < query.record().count(); ++c) {
                const QVariant value = query.value(c);
                record.push_back(value.isNull() ? Field() : Field(value.toString()));
            }
            records.push_back(record);
        }
        return records;
    }

private:
    static inline int serial_ = 0;
    QString name_;
};

std::vector<Record> RecordsOf(const QString& path)
{
    Connection db(path);
    return db.Records();
}

std::vector<ChannelRow> DefaultRows(int n)
{
    std::vector<ChannelRow> rows(static_cast<std::size_t>(n));
    FillDefaultRows(rows, 0);
    return rows;
}

// A unit whose names differ from the defaults, as an earlier export would have left them.
std::vector<ChannelRow> OldRows()
{
    auto rows = DefaultRows(384);
    for (ChannelRow& row : rows)
        row.relNam = u"Old "_s + row.Chan;
    rows[1].back = true;
    return rows;
}

// An exported labels database and the records it holds before the test's own export.
struct OldDatabase
{
    QTemporaryDir dir;
    QString path = dir.filePath(u"loggerlabels.sqlite"_s);
    std::vector<Record> before;

    OldDatabase()
    {
        MakeDatabase(path);
        ChannelTable old;
        old.ReplaceRows(OldRows());
        ScriptedUi ui;
        EXPECT_TRUE(ExportLabels(old, path, ui));
        before = RecordsOf(path);
        EXPECT_EQ(before.size(), 96u);
    }
};

bool Export(const std::vector<ChannelRow>& rows, const QString& path, ScriptedUi& ui)
{
    ChannelTable table;
    table.ReplaceRows(rows);
    return ExportLabels(table, path, ui);
}

// --- What is stored -----------------------------------------------------------------------

struct RecordCase
{
    const char* name;
    int rows;
    std::function<void(std::vector<ChannelRow>&)> edit;
    std::size_t records;
    QString message;
    std::size_t record; // the record checked
    Record expected;

    friend void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }
};

class LabelsRecords : public ::testing::TestWithParam<RecordCase>
{
};

TEST_P(LabelsRecords, AreTheTableFourChannelsToARecord)
{
    const RecordCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"loggerlabels.sqlite"_s);
    MakeDatabase(path);
    auto rows = DefaultRows(c.rows);
    if (c.edit)
        c.edit(rows);

    ScriptedUi ui;
    EXPECT_TRUE(Export(rows, path, ui));
    EXPECT_EQ(ui.Messages(), std::vector{Info(c.message)});
    const std::vector<Record> records = RecordsOf(path);
    ASSERT_EQ(records.size(), c.records);
    EXPECT_EQ(records[c.record], c.expected);
}

const std::nullopt_t null = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Export, LabelsRecords,
    ::testing::Values(
        RecordCase{"FreshUnitFirstRecord", 384, {}, 96,
                   u"384 channels exported to label database"_s, 0,
                   {u"AA01"_s, u"Spare AA01"_s, null, u"AA02"_s, u"Spare AA02"_s, null,
                    u"AA03"_s, u"Spare AA03"_s, null, u"AA04"_s, u"Spare AA04"_s, null}},
        RecordCase{"FreshUnitLastRecord", 384, {}, 96,
                   u"384 channels exported to label database"_s, 95,
                   {u"AH45"_s, u"Spare AH45"_s, null, u"AH46"_s, u"Spare AH46"_s, null,
                    u"AH47"_s, u"Spare AH47"_s, null, u"AH48"_s, u"Spare AH48"_s, null}},
        RecordCase{"FullLoggerLastRecord", 3072, {}, 768,
                   u"3072 channels exported to label database"_s, 767,
                   {u"HH45"_s, u"Spare HH45"_s, null, u"HH46"_s, u"Spare HH46"_s, null,
                    u"HH47"_s, u"Spare HH47"_s, null, u"HH48"_s, u"Spare HH48"_s, null}},
        RecordCase{"BackContactsMarkOnlyTheirPosition", 384,
                   [](auto& rows) {
                       rows[5].back = true;
                       rows[7].back = true;
                   },
                   96, u"384 channels exported to label database"_s, 1,
                   {u"AA05"_s, u"Spare AA05"_s, null, u"AA06"_s, u"Spare AA06"_s, u"B"_s,
                    u"AA07"_s, u"Spare AA07"_s, null, u"AA08"_s, u"Spare AA08"_s, u"B"_s}},
        RecordCase{"TextsAsTheTableHoldsThem", 768,
                   [](auto& rows) {
                       rows[384].relNam = u"  12 TPR  "_s;
                       rows[385].relNam = u""_s;
                       rows[386].relNam = QString();
                       rows[386].Chan = u" ba3"_s;
                       rows[387].relNam = u"caf\u00e9 \u20ac5"_s;
                       rows[387].back = true;
                   },
                   192, u"768 channels exported to label database"_s, 96,
                   {u"BA01"_s, u"  12 TPR  "_s, null, u"BA02"_s, u""_s, null, u" ba3"_s, u""_s,
                    null, u"BA04"_s, u"caf\u00e9 \u20ac5"_s, u"B"_s}},
        RecordCase{"QuotesAndSemicolonsStayText", 384,
                   [](auto& rows) {
                       rows[4].relNam = u"O'Brien \"2\""_s;
                       rows[5].relNam = u"x'); DELETE FROM"_s;
                       rows[6].relNam = u"; DROP TABLE x;"_s;
                       rows[7].relNam = u"?1 :a @b $c ?"_s;
                   },
                   96, u"384 channels exported to label database"_s, 1,
                   {u"AA05"_s, u"O'Brien \"2\""_s, null, u"AA06"_s, u"x'); DELETE FROM"_s, null,
                    u"AA07"_s, u"; DROP TABLE x;"_s, null, u"AA08"_s, u"?1 :a @b $c ?"_s, null}},
        // Not a whole number of units: the last record holds what there is.
        RecordCase{"ShortTableEndsInAShortRecord", 6,
                   [](auto& rows) { rows[5].back = true; }, 2,
                   u"6 channels exported to label database"_s, 1,
                   {u"AA05"_s, u"Spare AA05"_s, null, u"AA06"_s, u"Spare AA06"_s, u"B"_s, null,
                    null, null, null, null, null}}),
    CaseName);

TEST(LabelsExport, StoresTheRecordsInTableOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"loggerlabels.sqlite"_s);
    MakeDatabase(path);
    ScriptedUi ui;
    ASSERT_TRUE(Export(DefaultRows(3072), path, ui));

    const std::vector<Record> records = RecordsOf(path);
    ASSERT_EQ(records.size(), 768u);
    for (std::size_t k = 0; k < records.size(); ++k)
        for (int p = 0; p < 4; ++p)
            ASSERT_EQ(records[k][static_cast<std::size_t>(3 * p)],
                      ChannelIdFromNumber(static_cast<int>(4 * k) + p + 1))
                << "record " << k << " position " << p + 1;
}

TEST(LabelsExport, LeavesAFrontContactsFieldToTheColumnsDefault)
{
    // A labels database whose fOrB columns default to "F": a NULL written for a front
    // contact would show as NULL here.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"loggerlabels.sqlite"_s);
    WriteBytes(path, QByteArray()); // an empty file is an empty SQLite database
    {
        QString schema = QString::fromUtf8(ReadBytes(kSchema));
        schema.replace(QRegularExpression(u"(fOrB\\d\\s+TEXT)"_s), u"\\1 DEFAULT 'F'"_s);
        ASSERT_EQ(schema.count(u"DEFAULT"_s), 4);
        Connection(path).Exec(schema);
    }
    auto rows = DefaultRows(384);
    rows[1].back = true;
    ScriptedUi ui;
    EXPECT_TRUE(Export(rows, path, ui));
    const std::vector<Record> records = RecordsOf(path);
    ASSERT_EQ(records.size(), 96u);
    EXPECT_EQ(records[0], (Record{u"AA01"_s, u"Spare AA01"_s, u"F"_s, u"AA02"_s, u"Spare AA02"_s, u"B"_s,
                                  u"AA03"_s, u"Spare AA03"_s, u"F"_s, u"AA04"_s, u"Spare AA04"_s, u"F"_s}));
}

TEST(LabelsExport, ReplacesWhateverTheTableHeld)
{
    QTemporaryDir dir;
    const QString twice = dir.filePath(u"twice.sqlite"_s);
    const QString once = dir.filePath(u"once.sqlite"_s);
    MakeDatabase(twice);
    MakeDatabase(once);
    {
        Connection db(twice);
        for (int i = 0; i < 1000; ++i)
            db.Exec(u"INSERT INTO TblForLabel (chNo1, relNam1, fOrB1, fOrB2, fOrB3, fOrB4)"
                    " VALUES ('ZZ99', 'foreign', 'F', 'F', 'F', 'F')"_s);
    }
    auto rows = DefaultRows(384);
    rows[10].back = true;
    rows[20].relNam = u"21 TPR"_s;

    ScriptedUi ui;
    EXPECT_TRUE(Export(OldRows(), twice, ui));
    EXPECT_TRUE(Export(rows, twice, ui));
    EXPECT_TRUE(Export(rows, once, ui));
    EXPECT_EQ(ui.MessageTexts(), QStringList(3, u"384 channels exported to label database"_s));

    const std::vector<Record> records = RecordsOf(twice);
    EXPECT_EQ(records.size(), 96u);
    EXPECT_EQ(records, RecordsOf(once));
}

// The Labels button, against the database the README's command makes in the home folder.
class LabelsButton : public test::WindowTest
{
protected:
    LabelsButton() { qputenv("HOME", QFile::encodeName(home_.path())); }
    ~LabelsButton() override { qputenv("HOME", oldHome_); }

    QTemporaryDir home_;
    const QByteArray oldHome_ = qgetenv("HOME");
};

TEST_F(LabelsButton, ExportsTheTableToTheDatabaseTheReadmeMakes)
{
    QProcess shell;
    shell.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    shell.setWorkingDirectory(QFileInfo(kSchema).absolutePath() + u"/../.."_s);
    shell.start(u"sh"_s,
                {u"-c"_s,
                 u"mkdir -p ~/t/db && sqlite3 ~/t/db/loggerlabels.sqlite < src/labels/loggerlabels.sql"_s});
    ASSERT_TRUE(shell.waitForFinished());
    ASSERT_EQ(shell.exitCode(), 0);
    const QString path = home_.path() + u"/t/db/loggerlabels.sqlite"_s;
    ASSERT_EQ(LabelsDatabasePath(), path);

    FrmDips& w = Start();
    w.Table().setData(w.Table().index(5, FieldBack), Qt::Checked, Qt::CheckStateRole);
    w.SetModified(true);
    w.findChild<QAction*>(u"Toolbar1Labels"_s)->trigger();
    EXPECT_EQ(ui.Messages(), std::vector{Info(u"384 channels exported to label database"_s)});
    const std::vector<Record> records = RecordsOf(path);
    ASSERT_EQ(records.size(), 96u);
    EXPECT_EQ(records[1][3], u"AA06"_s);
    EXPECT_EQ(records[1][5], u"B"_s);
    EXPECT_TRUE(w.modified()); // the export is not a save

    // Without the database the button reports it and creates nothing.
    ui.ClearShown();
    ASSERT_TRUE(QFile::remove(path));
    w.findChild<QAction*>(u"Toolbar1Labels"_s)->trigger();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith(kFailure));
    EXPECT_FALSE(QFileInfo::exists(path));
}

struct PathCase
{
    const char* name;
    const char16_t* path; // inside a temporary folder

    friend void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }
};

// SQLite reads the name as a URI: characters that mean something there are part of the
// file name here.
class LabelsPath : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(LabelsPath, IsTheFileOfThatName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf16(GetParam().path));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    MakeDatabase(path);
    const QByteArray empty = ReadBytes(path);

    ScriptedUi ui;
    EXPECT_TRUE(Export(DefaultRows(384), path, ui)) << ui.MessageTexts().join(u' ').toStdString();
    EXPECT_EQ(RecordsOf(path).size(), 96u);
    EXPECT_NE(ReadBytes(path), empty);
    QStringList all;
    QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        all << it.next();
    EXPECT_EQ(all, QStringList{path});
}

INSTANTIATE_TEST_SUITE_P(Export, LabelsPath,
                         ::testing::Values(PathCase{"Space", u"with space.sqlite"},
                                           PathCase{"QuestionMark", u"what?.sqlite"},
                                           PathCase{"Hash", u"hash#1.sqlite"},
                                           PathCase{"Percent", u"per%41cent.sqlite"},
                                           PathCase{"QueryLike", u"a?mode=rwc"},
                                           PathCase{"NonAscii", u"caf\u00e9.sqlite"},
                                           PathCase{"OddFolder", u"odd ?#%/loggerlabels.sqlite"}),
                         CaseName);

// --- Failures -------------------------------------------------------------------------------

// A database that is not there is neither created nor written.
class LabelsMissing : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(LabelsMissing, NamesTheFileAndTheCommandThatMakesItAndCreatesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf16(GetParam().path));
    const QStringList namesBefore = QSqlDatabase::connectionNames();

    ScriptedUi ui;
    EXPECT_FALSE(Export(DefaultRows(384), path, ui));
    ASSERT_EQ(ui.Messages().size(), 1u);
    const QStringList lines = ui.Messages()[0].text.split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0] + u"\r\n"_s, kFailure);
    EXPECT_EQ(lines[1], u"The file "_s + path + u" does not exist. This command makes an empty labels database there:"_s);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_EQ(QSqlDatabase::connectionNames(), namesBefore);

    // The command does what it says: afterwards the export fills the file.
    EXPECT_EQ(QProcess::execute(u"sh"_s, {u"-c"_s, lines[2]}), 0) << lines[2].toStdString();
    ui.ClearShown();
    EXPECT_TRUE(Export(DefaultRows(384), path, ui));
}

INSTANTIATE_TEST_SUITE_P(Export, LabelsMissing,
                         ::testing::Values(PathCase{"File", u"loggerlabels.sqlite"},
                                           PathCase{"Folder", u"t/db/loggerlabels.sqlite"},
                                           PathCase{"QueryLike", u"loggerlabels.sqlite?mode=rwc"},
                                           PathCase{"Hash", u"loggerlabels.sqlite#"}),
                         CaseName);

// Another program holds the file; TblForLabel keeps the earlier export.
struct LockCase
{
    const char* name;
    std::vector<QString> statements; // run by the other connection

    friend void PrintTo(const LockCase& c, std::ostream* os) { *os << c.name; }
};

class LabelsLocked : public ::testing::TestWithParam<LockCase>
{
};

TEST_P(LabelsLocked, FailsAndKeepsTheEarlierRecords)
{
    OldDatabase db;
    std::vector<Record> during;
    ScriptedUi ui;
    {
        Connection other(db.path);
        for (const QString& sql : GetParam().statements)
            other.Exec(sql);
        EXPECT_FALSE(Export(DefaultRows(768), db.path, ui));
        during = other.Records();
        other.Exec(u"ROLLBACK"_s);
    }
    EXPECT_EQ(ui.Messages(), std::vector{Info(kFailure + u"database is locked"_s)});
    EXPECT_EQ(during, db.before);
    EXPECT_EQ(RecordsOf(db.path), db.before);
}

INSTANTIATE_TEST_SUITE_P(
    Export, LabelsLocked,
    ::testing::Values(
        // Nobody else may even read: the deletion cannot start.
        LockCase{"Exclusive", {u"BEGIN EXCLUSIVE"_s}},
        // A reader in the middle of its transaction: the records are written but cannot be
        // committed, and what was written is rolled back.
        LockCase{"ReaderInTransaction",
                 {u"BEGIN"_s, u"SELECT count(*) FROM TblForLabel"_s}}),
    CaseName);

// A file that holds no labels table is left exactly as it was.
struct ForeignFileCase
{
    const char* name;
    QByteArray bytes;         // the file's content, if made from bytes
    QString sql;              // else made by this statement
    QString description;

    friend void PrintTo(const ForeignFileCase& c, std::ostream* os) { *os << c.name; }
};

// A file without the labels table: the message names it and the command that adds the table.
const QString kNoTable = u"The file FILE has no table TblForLabel. This command makes it there:\r\n"
                         "sqlite3 FILE < SCHEMA"_s;

class LabelsForeignFile : public ::testing::TestWithParam<ForeignFileCase>
{
};

TEST_P(LabelsForeignFile, FailsAndStaysUntouched)
{
    const ForeignFileCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"loggerlabels.sqlite"_s);
    WriteBytes(path, c.bytes);
    if (!c.sql.isEmpty()) {
        Connection db(path);
        db.Exec(c.sql);
    }
    const QByteArray before = ReadBytes(path);

    ScriptedUi ui;
    EXPECT_FALSE(Export(DefaultRows(384), path, ui));
    const QString description = QString(c.description).replace(u"FILE"_s, path).replace(u"SCHEMA"_s, kSchema);
    EXPECT_EQ(ui.Messages(), std::vector{Info(kFailure + description)});
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{u"loggerlabels.sqlite"_s});

    // Where the message gives a command, it makes the table and the export then succeeds.
    if (c.description == kNoTable) {
        EXPECT_EQ(QProcess::execute(u"sh"_s, {u"-c"_s, description.split(u"\r\n"_s).last()}), 0);
        ui.ClearShown();
        EXPECT_TRUE(Export(DefaultRows(384), path, ui)) << ui.MessageTexts().join(u' ').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Export, LabelsForeignFile,
    ::testing::Values(
        ForeignFileCase{"OtherTablesOnly", {}, u"CREATE TABLE Labels (chNo1 TEXT)"_s, kNoTable},
        ForeignFileCase{"EmptyFile", {}, {}, kNoTable},
        ForeignFileCase{"NotADatabase", QByteArray(4096, 'x'), {},
                        u"file is not a database"_s}),
    CaseName);

// The database refuses part-way through, after the deletion and earlier records: none of
// it is kept.
struct RefusalCase
{
    const char* name;
    QString change; // made to the database after the earlier export
    std::function<void(std::vector<ChannelRow>&)> edit;
    QString description;

    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class LabelsRefused : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(LabelsRefused, KeepsTheEarlierRecords)
{
    const RefusalCase& c = GetParam();
    OldDatabase db;
    std::vector<Record> before;
    {
        Connection changed(db.path);
        changed.Exec(c.change);
        before = changed.Records();
    }
    ASSERT_EQ(before.size(), db.before.size());
    auto rows = DefaultRows(384);
    c.edit(rows);

    ScriptedUi ui;
    EXPECT_FALSE(Export(rows, db.path, ui));
    EXPECT_EQ(ui.Messages(), std::vector{Info(kFailure + c.description)});
    EXPECT_EQ(RecordsOf(db.path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Export, LabelsRefused,
    ::testing::Values(
        RefusalCase{"AValue",
                    u"CREATE TRIGGER refuse BEFORE INSERT ON TblForLabel"
                    " WHEN NEW.relNam1 = 'REFUSED' BEGIN SELECT RAISE(ABORT, 'name refused'); END"_s,
                    [](auto& rows) { rows[200].relNam = u"REFUSED"_s; }, u"name refused"_s},
        RefusalCase{"AMissingColumn", u"ALTER TABLE TblForLabel DROP COLUMN fOrB4"_s,
                    [](auto& rows) { rows[203].back = true; },
                    u"table TblForLabel has no column named fOrB4"_s}),
    CaseName);

TEST(LabelsExport, LeavesNoConnectionOrLockBehind)
{
    OldDatabase db;
    const QStringList namesBefore = QSqlDatabase::connectionNames();
    ScriptedUi ui;
    EXPECT_TRUE(Export(DefaultRows(384), db.path, ui));
    EXPECT_FALSE(Export(DefaultRows(384), db.dir.filePath(u"absent.sqlite"_s), ui));
    EXPECT_EQ(QSqlDatabase::connectionNames(), namesBefore);

    // Another program can take the file at once (this connection does not wait).
    Connection other(db.path);
    other.Exec(u"BEGIN EXCLUSIVE"_s);
    other.Exec(u"ROLLBACK"_s);
}

} // namespace
} // namespace mr640
