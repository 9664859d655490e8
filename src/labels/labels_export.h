#pragma once

#include <QString>

namespace mr640 {

class ChannelTable;
class Ui;

// The labels database: ~/t/db/loggerlabels.sqlite in the user's home directory.
QString LabelsDatabasePath();

// The schema of the labels database shipped with the program: under share/mr640config
// beside the installed program, else in the source tree it was built from.
QString LabelsSchemaPath();

// Replaces the whole content of TblForLabel in the SQLite file at databasePath with the
// table, four channels to a record (chNo1, relNam1, fOrB1 .. chNo4, relNam4, fOrB4); a back
// contact writes "B" into its fOrB column, a front contact leaves the column's default.
// The file is opened read-write and never created; when it is missing, or holds no
// TblForLabel, the failure names it and the one command that makes it from the schema. All
// of it is one transaction: on any failure TblForLabel keeps its previous content. Ends with one box through ui,
// "N channels exported to label database" or "Error exporting to labels database" and the
// database's description, and answers whether the export succeeded. The table is only
// read; the connection is closed and removed before the box is shown.
bool ExportLabels(const ChannelTable& table, const QString& databasePath, Ui& ui);

} // namespace mr640
