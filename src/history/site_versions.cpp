// The versions of the site on screen: recorded by Save, marked by Export and Mark as
// issued, read by the History window.

#include "site_versions.h"

#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "files/dip_file.h"
#include "files/file_format.h"
#include "files/site_file.h"
#include "files/site_window.h"
#include "platform/settings_store.h"
#include "platform/ui.h"
#include "site_library.h"
#include "version_dialogs.h"
#include "version_summary.h"

#include <QFileInfo>

#include <utility>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

QString FileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

bool Unset(const QString& text)
{
    return text.trimmed().isEmpty();
}

} // namespace

SiteVersions::SiteVersions(ChannelTable& table, Ui& ui, SettingsStore& settings,
                           const SiteFile& siteFile, SiteWindow& window, QWidget& dialogParent)
    : table_(table), ui_(ui), settings_(settings), siteFile_(siteFile), window_(window),
      dialogParent_(dialogParent)
{
}

SiteVersions::~SiteVersions() = default;

SiteHistory* SiteVersions::HistoryOf(const QString& path)
{
    if (!history_ || history_->SitePath() != path) {
        history_.reset();
        history_ = SiteHistory::Find(path);
    }
    return history_ ? &*history_ : nullptr;
}

bool SiteVersions::IsLastVersion(const QString& path, const QByteArray& bytes)
{
    try {
        SiteHistory* history = HistoryOf(path);
        return history && history->At(u"HEAD"_s).bytes == bytes;
    } catch (const HistoryError&) {
        return false; // no version yet, or none that can be read
    }
}

Author SiteVersions::Engineer(const QString& path)
{
    Author engineer = SettingsAuthor(settings_);
    if (!Unset(engineer.name) && !Unset(engineer.email))
        return engineer;
    try {
        const Author git = GitAuthor(path);
        if (Unset(engineer.name))
            engineer.name = git.name;
        if (Unset(engineer.email))
            engineer.email = git.email;
    } catch (const HistoryError&) {
        // git's own settings are only what the dialog offers first
    }
    FrmAuthor dialog(ui_, engineer, &dialogParent_);
    if (ui_.RunModal(dialog) != QDialog::Accepted)
        throw HistoryError(u"no engineer was named to record it"_s);
    engineer = dialog.Engineer();
    settings_.Save(u"Author"_s, u"Name"_s, engineer.name);
    settings_.Save(u"Author"_s, u"Email"_s, engineer.email);
    return engineer;
}

void SiteVersions::LibraryChanged()
{
    history_.reset();
    emit Changed();
}

void SiteVersions::Saved(const QString& path, const QByteArray& bytes)
{
    RecordOptions options{std::exchange(description_, {}), {}};
    const bool restoring = restored_ && restored_->path == path;
    if (restoring && restored_->bytes == bytes)
        options.restoredFrom = restored_->when;
    try {
        SiteHistory* history = HistoryOf(path);
        if (!history)
            return;
        RecordOutcome outcome;
        // The engineer is asked for only when there is a version to record.
        const Author settings = SettingsAuthor(settings_);
        if ((!Unset(settings.name) && !Unset(settings.email)) || !IsLastVersion(path, bytes))
            outcome = history->Record(bytes, Engineer(path), options);
        if (restoring)
            restored_.reset();
        if (outcome.recorded)
            emit Changed();
        else if (!options.description.isEmpty())
            ShowInfo(ui_, u"%1 holds no change since its last version: no version was recorded, "
                          u"and the description was not kept."_s.arg(FileName(path)));
    } catch (const HistoryError& error) {
        ShowWarning(ui_, u"%1 was saved, but its version could not be recorded: %2."_s.arg(
                             FileName(path), error.Reason()));
    }
}

void SiteVersions::SaveWithDescription(const std::function<bool()>& save)
{
    FrmVersionText dialog(u"Save with a description"_s, u"&Description:"_s,
                          u"A line that follows the summary of the version this save records: "
                          u"a works order, a reason."_s,
                          &dialogParent_);
    if (ui_.RunModal(dialog) != QDialog::Accepted)
        return;
    description_ = dialog.Text();
    save();
    description_.clear(); // a save that did not complete keeps it for no other
}

std::optional<ExportMark> SiteVersions::BeforeExport(const std::function<bool()>& save)
{
    if (siteFile_.currentFileTitle().isEmpty())
        return ExportMark::None;
    const QString path = siteFile_.currentFile();
    try {
        if (!HistoryOf(path))
            return ExportMark::None;
    } catch (const HistoryError&) {
        // A library that cannot be opened holds no version of the screen: the question
        // stands, and the save then says why it records nothing.
    }
    const auto showsLastVersion = [&] {
        return !window_.modified() && IsLastVersion(path, EncodeDip(table_.Rows()));
    };
    if (showsLastVersion())
        return ExportMark::Version;
    switch (ui_.ShowMessage(
        {u"Save %1 and record this version before exporting it?"_s.arg(siteFile_.currentFileTitle()),
         MessageIcon::Question, MessageButtons::YesNoCancel, QString(kAppTitle)})) {
    case MessageButton::Yes:
        if (!save())
            return std::nullopt;
        // A version that could not be recorded was warned of: what goes out is unmarked.
        return showsLastVersion() ? ExportMark::Version : ExportMark::None;
    case MessageButton::No:
        return ExportMark::None;
    default:
        return std::nullopt;
    }
}

void SiteVersions::Exported(ExportMark mark, const QByteArray& bytes, const QString& cardPath)
{
    if (mark != ExportMark::Version)
        return;
    const QString path = siteFile_.currentFile();
    try {
        if (SiteHistory* history = HistoryOf(path)) {
            history->MarkExported(bytes, cardPath, Engineer(path));
            emit Changed();
        }
    } catch (const HistoryError& error) {
        ShowWarning(
            ui_, u"%1 went to the card, but its version could not be marked as exported: %2."_s.arg(
                     FileName(path), error.Reason()));
    }
}

bool SiteVersions::MayKeepHistory()
{
    if (siteFile_.currentFileTitle().isEmpty())
        return false;
    try {
        return HistoryOf(siteFile_.currentFile()) == nullptr;
    } catch (const HistoryError&) {
        return false; // a repository holds it, though not one that can be opened
    }
}

void SiteVersions::KeepHistoryOfFolder()
{
    if (!MayKeepHistory())
        return;
    const QString folder = QFileInfo(siteFile_.currentFile()).absolutePath();
    if (ui_.ShowMessage({u"Keep the history of the sites in %1?"_s.arg(folder) + kCrLf +
                             u"The folder becomes a site library (a git repository): its site "
                             u"files are recorded now, and each save of a site in it records a "
                             u"version."_s,
                         MessageIcon::Question, MessageButtons::YesNo, QString(kAppTitle)}) !=
        MessageButton::Yes)
        return;
    try {
        const LibraryMade made = KeepHistory(folder, Engineer(siteFile_.currentFile()));
        history_.reset();
        emit Changed();
        QString text = u"The history of the sites in %1 is kept."_s.arg(made.folder) + kCrLf;
        text += made.recorded.isEmpty()
                    ? u"No site was recorded."_s
                    : Counted(made.recorded.size(), u"site"_s, u"sites"_s) + u" recorded: "_s +
                          made.recorded.join(u", "_s) + u'.';
        if (!made.problems.isEmpty())
            text += kCrLf + u"Not recorded:"_s + kCrLf + made.problems.join(kCrLf);
        ui_.ShowMessage({text,
                         made.problems.isEmpty() ? MessageIcon::Information
                                                 : MessageIcon::Exclamation,
                         MessageButtons::Ok, QString(kAppTitle)});
    } catch (const HistoryError& error) {
        ShowWarning(
            ui_, u"The history of the sites in %1 is not kept: %2."_s.arg(folder, error.Reason()));
    }
}

QString SiteVersions::SiteName() const
{
    return siteFile_.currentFileTitle().isEmpty() ? siteFile_.siteName()
                                                  : siteFile_.currentFileTitle();
}

SiteHistory& SiteVersions::History()
{
    if (siteFile_.currentFileTitle().isEmpty())
        throw HistoryError(
            u"the site on screen has no file yet: save it in a site library to keep its versions"_s);
    const QString path = siteFile_.currentFile();
    SiteHistory* history = HistoryOf(path);
    if (!history) {
        HistoryError error(u"the site is in no site library: \"Keep history of this folder...\" "
                           u"in the File menu makes its folder one"_s);
        error.About(path, {});
        throw error;
    }
    return *history;
}

std::vector<ChannelRow> SiteVersions::RowsOf(const SiteVersion& version)
{
    SiteHistory& history = History();
    std::optional<std::vector<ChannelRow>> rows =
        ReadSiteBytes(history.At(version.id).bytes, FileFormatOf(history.SitePath()));
    if (!rows) {
        HistoryError error(u"the version holds no site this program reads"_s);
        error.About(history.SitePath(), version.shortId);
        throw error;
    }
    return std::move(*rows);
}

void SiteVersions::OpenVersion(const SiteVersion& version)
{
    window_.EndEdit();
    try {
        std::vector<ChannelRow> rows = RowsOf(version);
        if (!window_.QuerySave())
            return;
        table_.ReplaceRows(std::move(rows));
        window_.ShowChannelCount();
        window_.SetModified(true);
        window_.StartHistory();
        restored_ = Restored{siteFile_.currentFile(), EncodeDip(table_.Rows()), version.when};
    } catch (const HistoryError& error) {
        ShowWarning(ui_, u"The version %1 could not be opened: %2."_s.arg(version.shortId,
                                                                          error.Message()));
    }
}

void SiteVersions::MarkIssued(const SiteVersion& version)
{
    FrmVersionText dialog(u"Mark as issued"_s, u"&Text:"_s,
                          u"The version %1 is tagged as issued, with this line: a works order, "
                          u"who approved it."_s.arg(version.shortId),
                          &dialogParent_);
    if (ui_.RunModal(dialog) != QDialog::Accepted)
        return;
    try {
        SiteHistory& history = History();
        history.MarkIssued(version.id, dialog.Text(), Engineer(history.SitePath()));
        emit Changed();
    } catch (const HistoryError& error) {
        ShowWarning(ui_, u"The version %1 could not be marked as issued: %2."_s.arg(
                             version.shortId, error.Reason()));
    }
}

} // namespace mr640
