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

CompareCommand::CompareCommand(const ChannelTable& table, Ui& ui, const DirectorySettings& directories,
                               SiteWindow& window)
    : table_(table), ui_(ui), directories_(directories), window_(window)
{
}

void CompareCommand::CompareWithFile()
{
    window_.EndEdit(); // what is being typed is part of the site on screen
    if (const std::optional<ChosenFile> chosen =
            ui_.ShowFileDialog(OpenSiteDialog(u"Compare with"_s, directories_.filePath)))
        CompareWith(*chosen);
}

void CompareCommand::CompareWith(const ChosenFile& chosen)
{
    if (const std::optional<std::vector<ChannelRow>> rows =
            ReadSiteOfItsOwn(chosen, table_.Rows(), ui_))
        emit Compared(CompareSites(table_.Rows(), *rows), table_.rowCount(), chosen.fileTitle);
}

} // namespace mr640
