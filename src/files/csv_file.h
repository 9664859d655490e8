#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class QIODevice;

namespace mr640 {

struct ChannelRow;
class ChannelTable;
class Ui;

// A .csv channel file holds one line per channel: the channel id, the relay name and
// "Back" or "Front", separated by commas. It carries no state texts. The program writes
// Windows-1252 and reads UTF-8 as well, and quotes a field as spreadsheets do.

// The whole file for these rows in Windows-1252: per row the channel id, the first 16
// characters of the relay name as held and the contact, each line ending in CR LF. A name
// holding a comma or a double quote is written as one quoted field, its quotes doubled.
QByteArray EncodeCsv(const std::vector<ChannelRow>& rows);

// Writes every row of the table to path through the atomic save path. Shows nothing:
// on failure answers false with the reason in *error (may be null), and an existing file
// is left byte for byte as it was. The caller reports the failure.
bool WriteCsvFile(const QString& path, const ChannelTable& table, QString* error);

// What ParseCsvLine makes of a line.
enum class CsvVerdict {
    Ok,       // store the line under its channel
    Continue, // skip the line and read the next
    Abort,    // stop reading
    Overflow, // field 1 is a number beyond the 32-bit range: an error that ends the load,
              // described by OverflowDescription()
};

// Checks one line against the channel expected next; fields is SplitFields(line, ','),
// element 0 unused. Asks the person about a line with fewer than two fields, a line whose
// first field names no channel and a channel out of sequence (question icon, OK and
// Cancel, no title of its own); any answer but OK counts as Cancel. Sets channel to the
// number field 1 names whenever the line has at least two fields, except on Overflow.
CsvVerdict ParseCsvLine(const QString& line, const QStringList& fields, int& channel,
                        int expected, Ui& ui);

enum class CsvReadOutcome {
    // Read to the end, or stopped by Cancel at a prompt or by the channel maximum; the
    // reader has shown "N channels imported" (N: the last channel stored).
    Completed,
    // An error stopped the load: the file could not be opened or read, a channel number
    // overflowed, or a channel below 1 was accepted. Nothing was shown about it; *error
    // holds the description for the caller's report.
    Failed,
};

// Whether the count message of a load says how many of the table's earlier rows the file
// left as they were (it does after the user chose to update the open site).
enum class CsvUpdate { Quiet, ReportKeptRows };

// Reads the lines of a CSV file into the table, which is not cleared first: rows the
// file does not mention keep their names and contacts, state texts are never touched,
// and the table only grows (to the size of the highest channel stored, at most 3072
// rows, added rows getting their defaults). CR LF, a lone LF and a lone CR each end a
// line. A file that starts with the UTF-8 byte order mark, or that is valid UTF-8 holding
// a character beyond ASCII, is read as UTF-8, any other as Windows-1252; but a file laid out
// exactly as EncodeCsv writes a table (CR LF, every channel of whole units in order, names
// of at most 16 bytes) is this program's own and read as Windows-1252. A field that
// starts with a double quote and ends with its closing quote is read whole, commas, line
// ends and doubled quotes inside it included; lines without quotes split at every comma.
// A name is stored as the table keeps it: control characters as spaces, characters the
// site files cannot hold as "?", at most 16 characters; the count message says how many
// characters and names that changed. A file of up to 1 MiB, or a pipe, is read whole; a
// larger file a piece at a time, where a line of any length is used only as far as its
// fields are and is never held whole. A pipe is read once, front to back.
// The rows stored before the load stopped, for whatever reason, stay; the table
// receives them in one step, so its view refreshes once. An open failure leaves the
// table untouched.
CsvReadOutcome ReadCsvFile(const QString& path, ChannelTable& table, Ui& ui, QString* error,
                           CsvUpdate update = CsvUpdate::Quiet);

// The same from a device open for reading, which is read whole before the first line
// (a file is not); read errors carry the device's error text.
CsvReadOutcome ReadCsv(QIODevice& device, ChannelTable& table, Ui& ui, QString* error,
                       CsvUpdate update = CsvUpdate::Quiet);

} // namespace mr640
