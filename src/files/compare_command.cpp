// Compare with: the site on screen against the site a dip or CSV file holds.

#include "compare_command.h"

#include "csv_file.h"
#include "dip_file.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/settings.h"
#include "editor/shared_routines.h"
#include "editor/site_compare.h"
#include "file_format.h"
#include "platform/ui.h"
#include "site_dialogs.h"
#include "site_window.h"

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

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
    void ShowCount(const MessageRequest& request, int count) override
    {
        person_.ShowCount(request, count);
    }

private:
    Ui& person_;
    bool stopped_ = false;
};

// The site a file holds, read as Open reads it (its messages and prompts go to the person)
// but into rows of its own, as into a new window; nothing when the file was refused, could
// not be read or the person stopped the reading at a prompt.
std::optional<std::vector<ChannelRow>> ReadSiteOfItsOwn(const ChosenFile& chosen, Ui& ui)
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
        return own.Rows();
    }
    case FileFormat::None:
        break;
    }
    ReportNoFormat(ui, chosen, u"compared"_s);
    return std::nullopt;
}

} // namespace

CompareCommand::CompareCommand(const ChannelTable& table, Ui& ui, const DirectorySettings& directories,
                               SiteWindow& window)
    : table_(table), ui_(ui), directories_(directories), window_(window)
{
    recompare_.setSingleShot(true);
    recompare_.setInterval(0);
    connect(&recompare_, &QTimer::timeout, this, &CompareCommand::Recompare);
    // Every way the table changes; the timer makes the signals of one pass one comparison.
    const auto changed = [this] {
        if (file_)
            recompare_.start();
    };
    connect(&table_, &QAbstractItemModel::dataChanged, this, changed);
    connect(&table_, &QAbstractItemModel::modelReset, this, changed);
    connect(&table_, &QAbstractItemModel::rowsInserted, this, changed);
    connect(&table_, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(&table_, &QAbstractItemModel::layoutChanged, this, changed);
}

void CompareCommand::CompareWithFile()
{
    window_.EndEdit(); // what is being typed is part of the site on screen
    if (const std::optional<ChosenFile> chosen =
            ui_.ShowFileDialog(OpenSiteDialog(u"Compare with"_s, directories_.filePath)))
        CompareWith(*chosen);
    else
        End();
}

void CompareCommand::CompareWith(const ChosenFile& chosen)
{
    std::optional<std::vector<ChannelRow>> rows = ReadSiteOfItsOwn(chosen, ui_);
    if (!rows) {
        End();
        return;
    }
    file_ = FileSide{std::move(*rows), FileFormatOf(chosen.fullName) != FileFormat::Csv,
                     chosen.fileTitle};
    recompare_.stop();
    emit Compared(Compare(), table_.rowCount(), file_->fileName);
}

SiteComparison CompareCommand::Follow(std::vector<ChannelRow> rows)
{
    file_ = FileSide{std::move(rows), true, {}};
    recompare_.stop();
    return Compare();
}

void CompareCommand::Forget()
{
    file_.reset();
    recompare_.stop();
}

void CompareCommand::End()
{
    Forget();
    emit Ended();
}

SiteComparison CompareCommand::Compare() const
{
    SiteComparison comparison = CompareSites(table_.Rows(), file_->rows);
    // A CSV file's state texts are the defaults its reader gives, not the site's.
    if (!file_->stateTexts)
        std::erase_if(comparison.differences, [](const FieldDifference& d) {
            return d.field == FieldStUp || d.field == FieldStDn;
        });
    return comparison;
}

void CompareCommand::Recompare()
{
    if (file_)
        emit Recompared(Compare(), table_.rowCount());
}

} // namespace mr640
