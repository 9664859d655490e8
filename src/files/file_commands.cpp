// The commands on the site's files: Open, Save, Save as, Export to card and Reload.

#include "file_commands.h"

#include "checks/site_problems.h"
#include "csv_file.h"
#include "dip_file.h"
#include "card/card_commands.h"
#include "editor/channel_count.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/settings.h"
#include "editor/shared_routines.h"
#include "file_format.h"
#include "history/site_versions.h"
#include "site_dialogs.h"
#include "site_file.h"
#include "site_window.h"
#include "platform/file_stamp.h"
#include "platform/read_back.h"
#include "platform/ui.h"

#include <QFileInfo>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const QString kBothFormats = u"MR640 dip files (*.dip)|*.dip|CSV files (*.csv)|*.csv"_s;
const QString kDipOnly = u"MR640 dip files (*.dip)|*.dip"_s;
constexpr int kOpenFlags =
    FileDialogFlag::FileMustExist | FileDialogFlag::PathMustExist | FileDialogFlag::HideReadOnly;
constexpr int kSaveFlags = FileDialogFlag::PathMustExist | FileDialogFlag::OverwritePrompt;

bool HoldsOnlyDefaults(const ChannelTable& table)
{
    return table.Rows() == DefaultRows(table.rowCount());
}

// Where the card copy first differs from the dip bytes meant for it, in the user's terms.
QString PlaceOfDifference(qint64 offset, qint64 meantSize)
{
    if (offset < kDipHeaderSize)
        return u"in the file's header"_s;
    if (offset >= meantSize)
        return u"after the last channel"_s;
    return u"at channel "_s +
           ChannelIdFromNumber(static_cast<int>((offset - kDipHeaderSize) / kDipRecordSize) + 1);
}

// Reads the card copy back from the card itself; a match shows nothing and answers true,
// anything else warns and leaves the file there to be looked at.
bool CheckCardCopy(Ui& ui, const ChosenFile& chosen, const QByteArray& meant)
{
    const ReadBack back = ReadBackFile(chosen.fullName, meant);
    QString text;
    if (back.outcome == ReadBack::Outcome::Differs)
        text =
            u"The card copy of %1 does not match what was written (first difference %2). The card may be faulty."_s
                .arg(chosen.fileTitle, PlaceOfDifference(back.firstDifference, meant.size()));
    else if (back.outcome == ReadBack::Outcome::Failed)
        text = u"The card copy of %1 could not be read back (%2). The card may be faulty."_s.arg(
            chosen.fileTitle, back.error);
    else
        return true;
    ShowWarning(ui, text);
    return false;
}

} // namespace

// A name whose last three characters are neither "dip" nor "csv" selects no format; the
// command then reads or writes nothing, and says so.
void ReportNoFormat(Ui& ui, const ChosenFile& chosen, const QString& notDone)
{
    ShowInfo(ui, chosen.fileTitle + u" was not "_s + notDone + u"."_s + kCrLf +
                     u"The file name must end in \"dip\" or \"csv\"."_s);
}

void ReportSaveFailure(Ui& ui, const QString& path, const QString& reason)
{
    ShowWarning(ui, ErrorReport(u"Error occurred while saving."_s, path + kCrLf + reason));
}

// The open dialog of a dip or CSV site file.
FileDialogRequest OpenSiteDialog(const QString& title, const QString& folder)
{
    FileDialogRequest request;
    request.kind = FileDialogKind::Open;
    request.title = title;
    request.filter = kBothFormats;
    request.flags = kOpenFlags;
    request.initialDirectory = folder;
    return request;
}

FileCommands::FileCommands(ChannelTable& table, Ui& ui, DirectorySettings& directories,
                           SiteFile& siteFile, SiteProblems& problems, CardCommands& cards,
                           SiteVersions& versions, SiteWindow& window)
    : table_(table), ui_(ui), directories_(directories), siteFile_(siteFile), problems_(problems),
      cards_(cards), versions_(versions), window_(window)
{
}

bool FileCommands::QuerySave()
{
    if (!window_.modified())
        return true;
    switch (ui_.ShowMessage({u"Save this site before closing?"_s, MessageIcon::Question,
                             MessageButtons::YesNoCancel, QString(kAppTitle)})) {
    case MessageButton::Yes:
        // Only a save of the whole site lets the caller go on: a cancelled or failed save,
        // or a CSV copy that leaves out the state texts, would lose the edits.
        SaveSite();
        return !window_.modified();
    case MessageButton::No:
        return true;
    default:
        return false;
    }
}

bool FileCommands::SaveSite()
{
    window_.EndEdit();
    if (siteFile_.currentFileTitle().isEmpty())
        return SaveSiteAs();
    if (!siteFile_.MayOverwriteSiteFile() || !siteFile_.WriteSiteFile(siteFile_.currentFile()))
        return false;
    window_.MarkSaved();
    emit SiteFileUsed(siteFile_.currentFile());
    versions_.Saved(siteFile_.currentFile(), EncodeDip(table_.Rows()));
    return true;
}

void FileCommands::OpenSite()
{
    window_.EndEdit();
    if (!QuerySave())
        return;
    const std::optional<ChosenFile> chosen =
        cards_.ChooseOpenFile(OpenSiteDialog(u"Open config file"_s, directories_.filePath));
    if (chosen)
        OpenChosenFile(*chosen);
}

void FileCommands::OpenSiteFile(const QString& path)
{
    window_.EndEdit();
    if (!QuerySave())
        return;
    const QFileInfo file(path);
    OpenChosenFile({file.absoluteFilePath(), file.fileName()});
}

void FileCommands::OpenChosenFile(const ChosenFile& chosen)
{
    switch (FileFormatOf(chosen.fullName)) {
    case FileFormat::Dip: {
        // Taken before the read, so a change made while reading counts as a change.
        const FileStamp stamp = StampOfFile(chosen.fullName);
        // A file that was refused or could not be read is not adopted: a later Save would
        // otherwise write this site over it.
        if (ReadDipFile(chosen.fullName, table_, ui_) != DipReadOutcome::Loaded)
            return;
        window_.ShowChannelCount();
        siteFile_.AdoptDialogFile(chosen);
        siteFile_.RememberSiteFile(stamp);
        window_.SetModified(false);
        window_.StartHistory();
        emit SiteFileUsed(chosen.fullName);
        break;
    }
    case FileFormat::Csv: {
        // Over a site of its own the user says whether the file is a site of its own or
        // an update of the open one; a new site starts from the default rows.
        CsvUpdate update = CsvUpdate::Quiet;
        ChannelTable fresh;
        fresh.ReplaceRows(DefaultRows(kChannelsPerUnit));
        ChannelTable* target = &table_;
        if (!HoldsOnlyDefaults(table_)) {
            const MessageButton answer = ui_.ShowMessage(
                {u"Open "_s + chosen.fileTitle + u" as a new site, or update the open site with it?"_s,
                 MessageIcon::Question, MessageButtons::NewSiteUpdateCancel, QString(kAppTitle)});
            if (answer == MessageButton::NewSite)
                target = &fresh;
            else if (answer == MessageButton::Update)
                update = CsvUpdate::ReportKeptRows;
            else
                return;
        }
        QString error;
        const CsvReadOutcome outcome = ReadCsvFile(chosen.fullName, *target, ui_, &error, update);
        // A new site that did not load leaves the open one as it was.
        if (target == &fresh && outcome == CsvReadOutcome::Completed)
            table_.ReplaceRows(fresh.Rows());
        // Rows stored before an error stay, so the count list follows the table either way.
        window_.ShowChannelCount();
        if (outcome == CsvReadOutcome::Failed) {
            window_.StartHistory();
            ShowInfo(ui_, ErrorReport(u"Error occurred while loading."_s, error));
            return;
        }
        siteFile_.SetSiteWithoutFile(FileStem(chosen.fileTitle));
        window_.SetModified(false);
        window_.StartHistory();
        emit SiteFileUsed(chosen.fullName);
        break;
    }
    case FileFormat::None:
        // Nothing was read, and yet the site as it stands counts as unmodified.
        window_.MarkSaved();
        ReportNoFormat(ui_, chosen, u"opened"_s);
        break;
    }
}

bool FileCommands::SaveSiteAs()
{
    window_.EndEdit();
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.title = u"Save site as..."_s;
    request.filter = kBothFormats;
    request.filterIndex = 1;
    request.defaultExtension = u".dip"_s;
    request.flags = kSaveFlags;
    request.initialDirectory = directories_.filePath;
    request.fileName = siteFile_.siteName();
    request.endings = QStringList{u"dip"_s, u"csv"_s};
    const std::optional<ChosenFile> chosen = ui_.ShowFileDialog(request);
    if (!chosen)
        return false;

    switch (FileFormatOf(chosen->fullName)) {
    case FileFormat::Dip:
        if (!siteFile_.WriteSiteFile(chosen->fullName))
            return false;
        siteFile_.AdoptDialogFile(*chosen);
        window_.MarkSaved();
        emit SiteFileUsed(chosen->fullName);
        versions_.Saved(chosen->fullName, EncodeDip(table_.Rows()));
        return true;
    case FileFormat::Csv: {
        // A copy for a spreadsheet or another editor: the site keeps its own file and
        // its unsaved state.
        QString error;
        if (WriteCsvFile(chosen->fullName, table_, &error)) {
            emit SiteFileUsed(chosen->fullName);
            versions_.Saved(chosen->fullName, EncodeCsv(table_.Rows()));
            return true;
        }
        ReportSaveFailure(ui_, chosen->fullName, error);
        return false;
    }
    case FileFormat::None:
        ReportNoFormat(ui_, *chosen, u"saved"_s);
        break;
    }
    return false;
}

void FileCommands::ExportToCard()
{
    // What goes to the card is what the screen shows, recorded first if the person wants.
    window_.EndEdit();
    if (!problems_.MayExport(siteFile_.siteName()))
        return;
    const std::optional<ExportMark> mark = versions_.BeforeExport([this] { return SaveSite(); });
    if (!mark)
        return;
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.title = u"Save to CompactFlash card"_s;
    request.filter = kDipOnly;
    request.defaultExtension = u".dip"_s;
    request.flags = kSaveFlags;
    request.initialDirectory = directories_.cfPath;
    request.fileName = siteFile_.siteName() + u".dip"_s;
    request.endings = QStringList{u"dip"_s};
    const std::optional<ChosenFile> chosen = cards_.ChooseExportFile(request);
    if (!chosen || chosen->fullName.isEmpty())
        return;

    directories_.cfPath = DirectoryOf(chosen->fullName);
    // The card gets a fresh file holding exactly this table, put in the old one's place in
    // one step: a program stopped at any moment leaves the old file or the new one.
    if (QString error; !WriteDipFile(chosen->fullName, table_, &error)) {
        ReportSaveFailure(ui_, chosen->fullName, error);
        return;
    }
    const QByteArray written = EncodeDip(table_.Rows());
    // Exported over the site's own file: that is this program's change, not another's.
    if (chosen->fullName == siteFile_.currentFile())
        siteFile_.RememberSiteFile(StampOfWritten(chosen->fullName, written));
    if (CheckCardCopy(ui_, *chosen, written)) {
        versions_.Exported(*mark, written, chosen->fullName);
        cards_.Exported(*chosen);
    }
}

void FileCommands::ReloadSiteFile()
{
    window_.EndEdit();
    if (siteFile_.currentFileTitle().isEmpty())
        return;
    // What the person is asked is whether to lose the edits: saving them first would write
    // over the very file they mean to load.
    if (window_.modified() &&
        ui_.ShowMessage({u"Discard your changes to "_s + siteFile_.siteName() +
                             u" and load it again from disk?"_s,
                         MessageIcon::Exclamation, MessageButtons::YesNo, QString(kAppTitle),
                         MessageButton::No}) !=
            MessageButton::Yes)
        return;
    OpenChosenFile({siteFile_.currentFile(), siteFile_.currentFileTitle()});
}

} // namespace mr640
