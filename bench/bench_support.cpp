#include "bench_support.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

struct ScratchFolders
{
    QString inMemory;
    QString onDisk;
};

ScratchFolders& Folders()
{
    static ScratchFolders folders;
    return folders;
}

// Notes the first paint of a widget.
class PaintProbe : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
    bool painted = false;
};

} // namespace

bool ShowUntilPainted(QWidget& window, QWidget& table)
{
    PaintProbe probe;
    table.installEventFilter(&probe);
    window.show();
    for (int round = 0; round < 1000 && !probe.painted; ++round)
        QApplication::processEvents();
    table.removeEventFilter(&probe);
    return probe.painted;
}

MessageButton QuietUi::ShowMessage(const MessageRequest& request)
{
    lastMessage = request.text;
    switch (request.buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageButton::No;
    default:
        return MessageButton::Ok;
    }
}

std::optional<ChosenFile> QuietUi::ShowFileDialog(const FileDialogRequest&)
{
    if (!nextFile)
        return std::nullopt;
    return ChosenFile{*nextFile, QFileInfo(*nextFile).fileName()};
}

int QuietUi::RunModal(QDialog&)
{
    return QDialog::Rejected;
}

std::vector<ChannelRow> SiteRows(int n)
{
    std::vector<ChannelRow> rows(static_cast<std::size_t>(n));
    FillDefaultRows(rows, 0);
    for (int r = 0; r < n; ++r) {
        ChannelRow& row = rows[static_cast<std::size_t>(r)];
        if (r % 5 != 4)
            row.relNam = u"%1 TPR %2"_s.arg(r / 48 + 1).arg(r % 48 + 1);
        row.back = r % 3 == 0;
    }
    return rows;
}

QString ScratchPath(const QString& name)
{
    return Folders().inMemory + u'/' + name;
}

QString DiskPath(const QString& name)
{
    return Folders().onDisk + u'/' + name;
}

bool ScratchInMemory()
{
    return Folders().inMemory != Folders().onDisk;
}

void SetScratchFolders(const QString& inMemory, const QString& onDisk)
{
    Folders() = {inMemory, onDisk};
}

void WriteOrSkip(State& state, const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        state.SkipWithError("cannot write the scratch file");
}

// Asks the kernel to forget the file's cached pages, so the next read comes from the disk:
// the first open of a file in a session. Pages not yet written to the disk cannot be
// forgotten, so they are written first.
void DropCache(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        ::fdatasync(file.handle());
        ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_DONTNEED);
    }
}

// The baseline of a read: the whole file through a plain QFile.
void RawRead(State& state, const QString& path, bool cold)
{
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            DropCache(path);
            state.ResumeTiming();
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("raw read failed");
            break;
        }
        QByteArray bytes = file.readAll();
        DoNotOptimize(bytes.data());
    }
}

} // namespace mr640::bench
