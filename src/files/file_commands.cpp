// The file commands of the main window: Open, Save as and Export to card.

#include "csv_file.h"
#include "dip_file.h"
#include "file_format.h"
#include "editor/channel_count.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "platform/file_stamp.h"
#include "platform/read_back.h"
#include "platform/ui.h"
#include "window/channel_grid.h"
#include "window/disk_change_bar.h"
#include "window/main_window.h"

#include <QFile>
#include <QFileInfo>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const QString kBothFormats = u"MR640 dip files (*.dip)|*.dip|CSV files (*.csv)|*.csv"_s;
const QString kDipOnly = u"MR640 dip files (*.dip)|*.dip"_s;
constexpr int kOpenFlags =
    FileDialogFlag::FileMustExist | FileDialogFlag::PathMustExist | FileDialogFlag::HideReadOnly;
constexpr int kSaveFlags = FileDialogFlag::PathMustExist | FileDialogFlag::OverwritePrompt;

// A name whose last three characters are neither "dip" nor "csv" selects no format; the
// command then reads or writes nothing, and says so.
void ReportNoFormat(Ui& ui, const ChosenFile& chosen, const QString& notDone)
{
    ShowInfo(ui, chosen.fileTitle + u" was not "_s + notDone + u"."_s + kCrLf +
                     u"The file name must end in \"dip\" or \"csv\"."_s);
}

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

// Reads the card copy back from the card itself; a match shows nothing, anything else
// warns and leaves the file there to be looked at.
void CheckCardCopy(Ui& ui, const ChosenFile& chosen, const QByteArray& meant)
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
        return;
    ui.ShowMessage({text, MessageIcon::Exclamation, MessageButtons::Ok, QString(kAppTitle)});
}

// The open dialog of a dip or CSV site file.
FileDialogRequest OpenDialog(const QString& title, const QString& folder)
{
    FileDialogRequest request;
    request.kind = FileDialogKind::Open;
    request.title = title;
    request.filter = kBothFormats;
    request.flags = kOpenFlags;
    request.initialDirectory = folder;
    return request;
}

// Passes every box on to the person and notes a question answered with neither OK nor
// Yes: a reading the person stopped.
class StopNotingUi : public Ui
{
public:
    explicit StopNotingUi(Ui& person) : person_(person) {}
    bool Stopped() const { return stopped_; }

    MessageButton ShowMessage(const MessageRequest& request) override
    {
        const MessageButton answer = person_.ShowMessage(request);
        if (request.buttons != MessageButtons::Ok && answer != MessageButton::Ok &&
            answer != MessageButton::Yes)
            stopped_ = true;
        return answer;
    }
    std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest& request) override
    {
        return person_.ShowFileDialog(request);
    }
    int RunModal(QDialog& dialog) override { return person_.RunModal(dialog); }
    void AtLine(int line) override { person_.AtLine(line); }

private:
    Ui& person_;
    bool stopped_ = false;
};

// The site a file holds, read as Open reads it (its messages and prompts go to the person)
// but into rows of its own, as into a new window; nothing when the file was refused, could
// not be read or the person stopped the reading at a prompt. A CSV file carries no state
// texts, so its channels keep those of the site on screen.
std::optional<std::vector<ChannelRow>>
ReadSiteOfItsOwn(const ChosenFile& chosen, const std::vector<ChannelRow>& screen, Ui& ui)
{
    ChannelTable own;
    own.ReplaceRows(DefaultRows(kChannelsPerUnit));
    switch (FileFormatOf(chosen.fullName)) {
    case FileFormat::Dip:
        if (ReadDipFile(chosen.fullName, own, ui) != DipReadOutcome::Loaded)
            return std::nullopt;
        return own.Rows();
    case FileFormat::Csv: {
        StopNotingUi noting(ui);
        QString error;
        if (ReadCsvFile(chosen.fullName, own, noting, &error) == CsvReadOutcome::Failed) {
            ShowInfo(ui, ErrorReport(u"Error occurred while loading."_s, error));
            return std::nullopt;
        }
        if (noting.Stopped())
            return std::nullopt;
        std::vector<ChannelRow> rows = own.Rows();
        for (std::size_t r = 0; r < std::min(rows.size(), screen.size()); ++r) {
            rows[r].stUp = screen[r].stUp;
            rows[r].stDn = screen[r].stDn;
        }
        return rows;
    }
    case FileFormat::None:
        break;
    }
    ReportNoFormat(ui, chosen, u"compared"_s);
    return std::nullopt;
}

} // namespace

void FrmDips::OpenSite()
{
    grid_->EndEdit();
    if (!QuerySave())
        return;
    const std::optional<ChosenFile> chosen =
        ui_.ShowFileDialog(OpenDialog(u"Open config file"_s, directories_.filePath));
    if (chosen)
        OpenChosenFile(*chosen);
}

void FrmDips::OpenSiteFile(const QString& path)
{
    grid_->EndEdit();
    if (!QuerySave())
        return;
    const QFileInfo file(path);
    OpenChosenFile({file.absoluteFilePath(), file.fileName()});
}

void FrmDips::OpenChosenFile(const ChosenFile& chosen)
{
    switch (FileFormatOf(chosen.fullName)) {
    case FileFormat::Dip: {
        // Taken before the read, so a change made while reading counts as a change.
        const FileStamp stamp = StampOfFile(chosen.fullName);
        // A file that was refused or could not be read is not adopted: a later Save would
        // otherwise write this site over it.
        if (ReadDipFile(chosen.fullName, table_, ui_) != DipReadOutcome::Loaded)
            return;
        SelectCountEntry(ChannelCountPosition(table_.rowCount()));
        AdoptDialogFile(chosen);
        RememberSiteFile(stamp);
        modified_ = false;
        StartHistory();
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
        SelectCountEntry(ChannelCountPosition(table_.rowCount()));
        if (outcome == CsvReadOutcome::Failed) {
            StartHistory();
            ShowInfo(ui_, ErrorReport(u"Error occurred while loading."_s, error));
            return;
        }
        SetSiteWithoutFile(FileStem(chosen.fileTitle));
        modified_ = false;
        StartHistory();
        emit SiteFileUsed(chosen.fullName);
        break;
    }
    case FileFormat::None:
        // Nothing was read, and yet the site as it stands counts as unmodified.
        MarkSaved();
        ReportNoFormat(ui_, chosen, u"opened"_s);
        break;
    }
}

bool FrmDips::SaveSiteAs()
{
    grid_->EndEdit();
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.title = u"Save site as..."_s;
    request.filter = kBothFormats;
    request.filterIndex = 1;
    request.defaultExtension = u".dip"_s;
    request.flags = kSaveFlags;
    request.initialDirectory = directories_.filePath;
    request.fileName = siteName_;
    request.endings = QStringList{u"dip"_s, u"csv"_s};
    const std::optional<ChosenFile> chosen = ui_.ShowFileDialog(request);
    if (!chosen)
        return false;

    switch (FileFormatOf(chosen->fullName)) {
    case FileFormat::Dip:
        if (!WriteSiteFile(chosen->fullName))
            return false;
        AdoptDialogFile(*chosen);
        MarkSaved();
        emit SiteFileUsed(chosen->fullName);
        return true;
    case FileFormat::Csv: {
        // A copy for a spreadsheet or another editor: the site keeps its own file and
        // its unsaved state.
        QString error;
        if (WriteCsvFile(chosen->fullName, table_, &error)) {
            emit SiteFileUsed(chosen->fullName);
            return true;
        }
        ShowInfo(ui_, ErrorReport(u"Error occurred while saving."_s, error));
        return false;
    }
    case FileFormat::None:
        ReportNoFormat(ui_, *chosen, u"saved"_s);
        break;
    }
    return false;
}

void FrmDips::ExportToCard()
{
    // What goes to the card is what the screen shows.
    grid_->EndEdit();
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.title = u"Save to CompactFlash card"_s;
    request.filter = kDipOnly;
    request.defaultExtension = u".dip"_s;
    request.flags = kSaveFlags;
    request.initialDirectory = directories_.cfPath;
    request.fileName = siteName_ + u".dip"_s;
    request.endings = QStringList{u"dip"_s};
    const std::optional<ChosenFile> chosen = ui_.ShowFileDialog(request);
    if (!chosen || chosen->fullName.isEmpty())
        return;

    directories_.cfPath = DirectoryOf(chosen->fullName);
    // The card gets a fresh file holding exactly this table.
    QFile old(chosen->fullName);
    if (QFileInfo::exists(chosen->fullName) && !old.remove()) {
        ShowInfo(ui_, ErrorReport(u"Error occurred while saving."_s, old.errorString()));
        return;
    }
    if (!WriteDipFile(chosen->fullName, table_, ui_))
        return;
    const QByteArray written = EncodeDip(table_.Rows());
    // Exported over the site's own file: that is this program's change, not another's.
    if (chosen->fullName == currentFile_)
        RememberSiteFile(StampOfWritten(currentFile_, written));
    CheckCardCopy(ui_, *chosen, written);
}

void FrmDips::CompareWithFile()
{
    grid_->EndEdit(); // what is being typed is part of the site on screen
    if (const std::optional<ChosenFile> chosen =
            ui_.ShowFileDialog(OpenDialog(u"Compare with"_s, directories_.filePath)))
        CompareWith(*chosen);
}

void FrmDips::CompareWith(const ChosenFile& chosen)
{
    if (const std::optional<std::vector<ChannelRow>> rows =
            ReadSiteOfItsOwn(chosen, table_.Rows(), ui_))
        ShowComparison(*rows, chosen.fileTitle);
}

bool FrmDips::WriteSiteFile(const QString& path)
{
    if (!WriteDipFile(path, table_, ui_))
        return false;
    RememberSiteFile(StampOfWritten(path, EncodeDip(table_.Rows())));
    return true;
}

void FrmDips::RememberSiteFile(const FileStamp& stamp)
{
    siteFileStamp_ = stamp;
    noticedChange_ = {};
    diskBar_->hide();
}

bool FrmDips::MayOverwriteSiteFile()
{
    // A file that was deleted is simply written again.
    if (ChangeOnDisk(siteFileStamp_, currentFile_) != DiskChange::Changed)
        return true;
    return ui_.ShowMessage(
               {currentFileTitle_ +
                    u" was changed by another program since it was opened. Overwrite it?"_s,
                MessageIcon::Exclamation, MessageButtons::YesNo, QString(kAppTitle)}) ==
           MessageButton::Yes;
}

void FrmDips::NoticeChangeOnDisk()
{
    if (currentFileTitle_.isEmpty())
        return;
    FileStamp now;
    if (ChangeOnDisk(siteFileStamp_, currentFile_, &now) != DiskChange::Changed ||
        now == noticedChange_)
        return;
    noticedChange_ = now;
    diskBar_->ShowNote(currentFileTitle_ + u" was changed by another program."_s);
}

void FrmDips::ReloadSiteFile()
{
    grid_->EndEdit();
    if (!currentFileTitle_.isEmpty() && QuerySave())
        OpenChosenFile({currentFile_, currentFileTitle_});
}

} // namespace mr640
