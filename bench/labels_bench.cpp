// The labels export against the same records inserted plainly: one prepared statement,
// one transaction, on a connection opened and closed the same way, both in memory where the
// commit's flush costs nothing; the export's flush is measured apart.

#include "bench_support.h"
#include "labels/labels_export.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

// An empty labels database made from the schema the project ships.
bool CreateDatabase(const QString& path)
{
    QFile::remove(path);
    QFile schemaFile(QStringLiteral(MR640_LABELS_SCHEMA));
    if (!schemaFile.open(QIODevice::ReadOnly))
        return false;
    const QString schema = QString::fromUtf8(schemaFile.readAll());
    bool created = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"bench.schema"_s);
        db.setDatabaseName(path);
        created = db.open() && QSqlQuery(db).exec(schema);
        db.close();
    }
    QSqlDatabase::removeDatabase(u"bench.schema"_s);
    return created;
}

int RecordCount(const QString& path)
{
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"bench.count"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(u"SELECT COUNT(*) FROM TblForLabel;"_s) && query.next())
                count = query.value(0).toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(u"bench.count"_s);
    return count;
}

bool PlainInsert(const QString& path, const std::vector<ChannelRow>& rows)
{
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"bench.plain"_s);
        db.setDatabaseName(path);
        if (db.open() && db.transaction()) {
            QSqlQuery query(db);
            done = query.exec(u"DELETE FROM TblForLabel;"_s) &&
                   query.prepare(u"INSERT INTO TblForLabel (chNo1, relNam1, fOrB1, chNo2, relNam2, "
                                 "fOrB2, chNo3, relNam3, fOrB3, chNo4, relNam4, fOrB4) VALUES "
                                 "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);"_s);
            for (std::size_t first = 0; done && first + 4 <= rows.size(); first += 4) {
                for (int p = 0; p < 4; ++p) {
                    const ChannelRow& row = rows[first + static_cast<std::size_t>(p)];
                    query.bindValue(3 * p, row.Chan);
                    query.bindValue(3 * p + 1, row.relNam);
                    query.bindValue(3 * p + 2, row.back ? QVariant(u"B"_s) : QVariant());
                }
                done = query.exec();
            }
            done = done && db.commit();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(u"bench.plain"_s);
    return done;
}

void AddLabels(int n)
{
    const std::string size = std::to_string(n);
    const QString name = u"labels-%1.sqlite"_s.arg(n);
    // The export runs in memory against the plain inserts, and on the disk to tell its
    // commit's flush.
    for (const bool disk : {false, true}) {
        const QString path = disk ? DiskPath(name) : ScratchPath(name);
        Add((disk ? "labels_export_disk/" : "labels_export/") + size, [=](State& state) {
            if (!CreateDatabase(path)) {
                state.SkipWithError("cannot create the labels database");
                return;
            }
            ChannelTable table;
            table.ReplaceRows(SiteRows(n));
            QuietUi ui;
            for (auto _ : state) {
                if (!ExportLabels(table, path, ui)) {
                    state.SkipWithError("ExportLabels failed");
                    break;
                }
            }
            if (RecordCount(path) != n / 4)
                state.SkipWithError("ExportLabels stored another number of records");
        }, disk ? Clock::Wall : Clock::Processor);
    }
    Add("labels_plain_insert/" + size, [=](State& state) {
        const QString path = ScratchPath(u"plain-"_s + name);
        if (!CreateDatabase(path)) {
            state.SkipWithError("cannot create the labels database");
            return;
        }
        const std::vector<ChannelRow> rows = SiteRows(n);
        for (auto _ : state) {
            if (!PlainInsert(path, rows)) {
                state.SkipWithError("plain insert failed");
                break;
            }
        }
    });
    const std::string what = "labels export " + size + " channels (" + std::to_string(n / 4) + " records)";
    Compare(what + " vs plain", "labels_export/" + size, "labels_plain_insert/" + size, 1.5);
    Flush(what, "labels_export_disk/" + size, "labels_export/" + size);
}

} // namespace

void RegisterLabelsBenchmarks()
{
    AddLabels(384);
    AddLabels(3072);
    Grows("labels export", "labels_export/384", "labels_export/3072");
    Grows("plain insert", "labels_plain_insert/384", "labels_plain_insert/3072");
}

} // namespace mr640::bench
