#include "labels_export.h"

#include "editor/channel_table.h"
#include "editor/shared_routines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kChannelsPerRecord = 4;

// A label program that holds the file for a moment gets this long to let go; a file held
// longer fails the export instead of freezing the window.
constexpr int kBusyTimeoutMs = 2000;

// Each export has a connection of its own, removed when it ends.
QString NextConnectionName()
{
    static int serial = 0;
    return u"mr640.labels.export.%1"_s.arg(++serial);
}

// SQLite reads the name as a URI, so a '?', '#' or '%' in the path must not end or escape
// it. mode=rw opens an existing file only; a plain open would create an empty one.
QString ReadWriteUri(const QString& path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return u"file:"_s + QString::fromLatin1(QUrl::toPercentEncoding(absolute, "/"))
        + u"?mode=rw"_s;
}

// SQLite's own words where it gave any ("database is locked", "no such table: ..."),
// else the driver's ("Driver not loaded").
QString Describe(const QSqlError& error)
{
    const QString text = error.databaseText();
    return text.isEmpty() ? error.driverText() : text;
}

// A path as one shell word.
QString ShellWord(const QString& path)
{
    static const QRegularExpression plain(u"^[A-Za-z0-9_./+-]+$"_s);
    if (plain.match(path).hasMatch())
        return path;
    return u'\'' + QString(path).replace(u"'"_s, u"'\\''"_s) + u'\'';
}

// The file is not there: say where it should be and the one command that makes it.
QString MissingDatabase(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return u"The file %1 does not exist. This command makes an empty labels database there:"_s.arg(absolute) +
           kCrLf + u"mkdir -p %1 && sqlite3 %2 < %3"_s.arg(ShellWord(QFileInfo(absolute).path()),
                                                         ShellWord(absolute), ShellWord(LabelsSchemaPath()));
}

// The file holds no labels table: say which file and the one command that adds it.
QString MissingTable(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return u"The file %1 has no table TblForLabel. This command makes it there:"_s.arg(absolute) + kCrLf +
           u"sqlite3 %1 < %2"_s.arg(ShellWord(absolute), ShellWord(LabelsSchemaPath()));
}

// The driver binds a null QString as SQL NULL; an empty relay name is an empty text.
QVariant TextValue(const QString& text)
{
    return text.isNull() ? QVariant(u""_s) : QVariant(text);
}

// The INSERT of a record of positions channels (1 to 4), whose back contacts are the bits
// of backs (bit p - 1 for position p): the columns in the order they are assigned, a front
// contact's fOrB column left out so that it keeps the column's default.
QString InsertStatement(qsizetype positions, unsigned backs)
{
    QStringList columns;
    for (qsizetype p = 1; p <= positions; ++p) {
        columns << u"chNo%1"_s.arg(p) << u"relNam%1"_s.arg(p);
        if (backs & 1u << (p - 1))
            columns << u"fOrB%1"_s.arg(p);
    }
    return u"INSERT INTO TblForLabel (%1) VALUES (%2);"_s.arg(
        columns.join(u", "), QStringList(columns.size(), u"?"_s).join(u", "));
}

// Deletes every old record and adds one per four rows; the description of the first
// error, if any. Columns are named and values bound.
std::optional<QString> ReplaceRecords(QSqlDatabase& db, const std::vector<ChannelRow>& rows)
{
    QSqlQuery deletion(db);
    if (!deletion.exec(u"DELETE FROM TblForLabel;"_s))
        return Describe(deletion.lastError());

    // One statement for each count of positions and set of back contacts (sixteen at most
    // for full records), each prepared when first needed.
    std::map<unsigned, QSqlQuery> prepared;
    const QVariant back(u"B"_s);
    const auto count = static_cast<qsizetype>(rows.size());
    for (qsizetype first = 0; first < count; first += kChannelsPerRecord) {
        // A short table would end in a short record: its missing positions stay unassigned.
        const qsizetype positions = std::min(kChannelsPerRecord, count - first);
        const auto row = [&](qsizetype p) -> const ChannelRow& {
            return rows[static_cast<std::size_t>(first + p - 1)];
        };
        unsigned backs = 0;
        for (qsizetype p = 1; p <= positions; ++p)
            backs |= row(p).back ? 1u << (p - 1) : 0u;
        const unsigned key = static_cast<unsigned>(positions) << 4 | backs;

        auto it = prepared.find(key);
        if (it == prepared.end()) {
            QSqlQuery insert(db);
            if (!insert.prepare(InsertStatement(positions, backs)))
                return Describe(insert.lastError());
            it = prepared.emplace(key, std::move(insert)).first;
        }
        QSqlQuery& insert = it->second;
        int value = 0;
        for (qsizetype p = 1; p <= positions; ++p) {
            insert.bindValue(value++, TextValue(row(p).Chan));
            insert.bindValue(value++, TextValue(row(p).relNam));
            if (row(p).back)
                insert.bindValue(value++, back);
        }
        if (!insert.exec())
            return Describe(insert.lastError());
    }
    return std::nullopt;
}

// The whole export on the named connection, inside one transaction; the description of
// the error that ended it, if any.
std::optional<QString> ExportOn(const QString& connection, const QString& databasePath,
                                const ChannelTable& table)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
    db.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1"_s.arg(kBusyTimeoutMs));
    db.setDatabaseName(ReadWriteUri(databasePath));
    if (!db.open())
        return QFileInfo::exists(databasePath) ? Describe(db.lastError()) : MissingDatabase(databasePath);
    if (!db.transaction())
        return Describe(db.lastError());

    std::optional<QString> failure = ReplaceRecords(db, table.Rows());
    if (failure == u"no such table: TblForLabel"_s)
        failure = MissingTable(databasePath);
    if (!failure && !db.commit())
        failure = Describe(db.lastError());
    if (failure)
        db.rollback(); // a failed COMMIT leaves the transaction open
    db.close();
    return failure;
}

} // namespace

QString LabelsDatabasePath()
{
    return QDir::homePath() + u"/t/db/loggerlabels.sqlite"_s;
}

QString LabelsSchemaPath()
{
    const QString installed = QCoreApplication::applicationDirPath() + u"/../share/mr640config/loggerlabels.sql"_s;
    if (QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return QString::fromUtf8(MR640_SCHEMA_SOURCE);
}

bool ExportLabels(const ChannelTable& table, const QString& databasePath, Ui& ui)
{
    const QString connection = NextConnectionName();
    const std::optional<QString> failure = ExportOn(connection, databasePath, table);
    // Only now is no QSqlDatabase of this connection left, so it can go.
    QSqlDatabase::removeDatabase(connection);

    if (failure) {
        ShowInfo(ui, ErrorReport(u"Error exporting to labels database"_s, *failure));
        return false;
    }
    ShowInfo(ui, u"%1 channels exported to label database"_s.arg(table.Rows().size()));
    return true;
}

} // namespace mr640
