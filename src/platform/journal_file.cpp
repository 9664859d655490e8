#include "journal_file.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <sys/file.h>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// A frame: this mark, the record's length, its checksum, the record. The mark lets a reader
// count the records of a damaged end.
constexpr char kMark[4] = {'\xA5', 'M', 'J', '\x5A'};
constexpr int kFrameHead = 12;
constexpr QByteArrayView kOwnerTag = "MR640Config recovery journal 1\n";
// The longest wait between a change and its flush to disk, less the write itself.
constexpr auto kGather = std::chrono::milliseconds(250);

// The first bytes of a BLAKE2b hash of the record's length field and the record.
QByteArray Checksum(QByteArrayView length, QByteArrayView record)
{
    QCryptographicHash hash(QCryptographicHash::Blake2b_160);
    hash.addData(length);
    hash.addData(record);
    return hash.result().first(4);
}

void AppendNumber(QByteArray& bytes, qint64 value)
{
    const qint64 little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
}

qint64 NumberAt(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<qint64>(bytes.data() + at);
}

QByteArray ReadWhole(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray BootId()
{
    return ReadWhole(u"/proc/sys/kernel/random/boot_id"_s).trimmed();
}

// Field 22 of /proc/PID/stat, the process's start in clock ticks after boot; -1 when there
// is no such process. The name in field 2 may hold spaces and parentheses: the fields that
// follow it start after its last ')'.
qint64 StartTimeOf(qint64 pid)
{
    const QByteArray stat = ReadWhole(u"/proc/%1/stat"_s.arg(pid));
    const qsizetype end = stat.lastIndexOf(')');
    if (end < 0)
        return -1;
    const QList<QByteArray> fields = stat.mid(end + 2).split(' ');
    bool ok = false;
    const qint64 start = fields.size() > 19 ? fields[19].toLongLong(&ok) : -1;
    return ok ? start : -1;
}

// Makes the folder's entries (a new or removed journal) last through a power cut.
void SyncFolder(const QString& folder)
{
    const Descriptor dir(folder, O_RDONLY | O_DIRECTORY);
    if (dir.fd() >= 0)
        ::fsync(dir.fd());
}

bool WriteAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

std::optional<JournalOwner> OwnerOf(QByteArrayView record)
{
    if (!record.startsWith(kOwnerTag) || record.size() < kOwnerTag.size() + 16)
        return std::nullopt;
    const qsizetype at = kOwnerTag.size();
    return JournalOwner{NumberAt(record, at), NumberAt(record, at + 8), record.sliced(at + 16).toByteArray()};
}

} // namespace

QString RecoveryFolder()
{
    // XDG_STATE_HOME counts only when absolute: a relative one is ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + u"/.local/state"_s;
    return state + u"/mr640config/recovery"_s;
}

JournalOwner JournalOwner::OfThisProcess()
{
    const qint64 pid = ::getpid();
    return {pid, StartTimeOf(pid), BootId()};
}

bool JournalOwner::IsRunning() const
{
    return bootId == BootId() && startTime >= 0 && StartTimeOf(pid) == startTime;
}

QByteArray FrameRecord(const QByteArray& record)
{
    QByteArray frame;
    frame.reserve(kFrameHead + record.size());
    frame.append(kMark, sizeof kMark);
    const quint32 length = qToLittleEndian(static_cast<quint32>(record.size()));
    frame.append(reinterpret_cast<const char*>(&length), sizeof length);
    frame.append(Checksum(QByteArrayView(reinterpret_cast<const char*>(&length), sizeof length), record));
    frame.append(record);
    return frame;
}

QByteArray OwnerRecord(const JournalOwner& owner)
{
    QByteArray record = kOwnerTag.toByteArray();
    AppendNumber(record, owner.pid);
    AppendNumber(record, owner.startTime);
    return record + owner.bootId;
}

std::optional<JournalContents> ReadJournal(const QByteArray& bytes)
{
    const QByteArrayView mark(kMark, sizeof kMark);
    // The record of the frame at the start of rest, when it is whole.
    const auto recordAt = [&mark](QByteArrayView rest) -> std::optional<QByteArrayView> {
        if (rest.size() < kFrameHead || !rest.startsWith(mark))
            return std::nullopt;
        const qint64 length = qFromLittleEndian<quint32>(rest.data() + sizeof kMark);
        if (length > rest.size() - kFrameHead ||
            rest.sliced(8, 4) != Checksum(rest.sliced(4, 4), rest.sliced(kFrameHead, length)))
            return std::nullopt;
        return rest.sliced(kFrameHead, length);
    };

    std::optional<JournalContents> contents;
    for (qsizetype at = 0; at < bytes.size();) {
        const QByteArrayView rest = QByteArrayView(bytes).sliced(at);
        const std::optional<QByteArrayView> record = recordAt(rest);
        if (!record) {
            if (!contents)
                return std::nullopt;
            // Every frame from here on counts, and so does a piece of one before them.
            contents->unreadable = rest.startsWith(mark) ? 0 : 1;
            for (qsizetype found = rest.indexOf(mark); found >= 0; found = rest.indexOf(mark, found + 1))
                ++contents->unreadable;
            break;
        }
        at += kFrameHead + record->size();
        if (contents) {
            contents->records.push_back(record->toByteArray());
        } else if (const std::optional<JournalOwner> owner = OwnerOf(*record)) {
            contents = JournalContents{*owner, {}, 0};
        } else {
            return std::nullopt;
        }
    }
    return contents;
}

std::vector<LeftJournal> FindLeftJournals(const QString& folder)
{
    std::vector<LeftJournal> left;
    const QFileInfoList files =
        QDir(folder).entryInfoList({u"*.journal"_s}, QDir::Files | QDir::Hidden, QDir::Time);
    for (const QFileInfo& file : files) {
        LeftJournal journal{file.absoluteFilePath(), {}, Descriptor(file.absoluteFilePath(), O_RDONLY)};
        // A writer holds its journal locked, and so does a program offering it.
        if (journal.lock.fd() < 0 || ::flock(journal.lock.fd(), LOCK_EX | LOCK_NB) != 0)
            continue;
        QFile reading;
        if (!reading.open(journal.lock.fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            continue;
        std::optional<JournalContents> contents = ReadJournal(reading.readAll());
        if (!contents || contents->owner.IsRunning())
            continue;
        journal.contents = std::move(*contents);
        left.push_back(std::move(journal));
    }
    return left;
}

JournalWriter::JournalWriter(const QString& folder) : folder_(folder) {}

JournalWriter::~JournalWriter()
{
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

QString JournalWriter::Path()
{
    const std::lock_guard lock(mutex_);
    return path_;
}

void JournalWriter::Append(std::function<QByteArray()> make)
{
    std::unique_lock lock(mutex_);
    if (!thread_.joinable())
        thread_ = std::thread(&JournalWriter::Run, this);
    Hand(lock, {false, std::move(make)});
}

void JournalWriter::Remove()
{
    std::deque<Work> dropped; // let go after the lock: the records may hold a whole site
    std::unique_lock lock(mutex_);
    if (!thread_.joinable())
        return; // nothing was ever written
    // Records still pending belong to the journal removed: they are never encoded.
    finished_ += work_.size();
    dropped = std::exchange(work_, {});
    done_.notify_all();
    Hand(lock, {true, {}});
}

void JournalWriter::Hand(std::unique_lock<std::mutex>& lock, Work work)
{
    const bool remove = work.remove;
    work_.push_back(std::move(work));
    ++queued_;
    // A thread that is gathering takes a record when its wait ends: only an idle one is
    // woken, so a burst of typing wakes it once. A removal (a save) is not kept waiting.
    if (!std::exchange(idle_, false) && !remove)
        return;
    lock.unlock();
    wake_.notify_one();
}

bool JournalWriter::Flush()
{
    std::unique_lock lock(mutex_);
    const std::uint64_t target = queued_;
    hurry_ = true;
    wake_.notify_all();
    done_.wait(lock, [&] { return finished_ >= target; });
    hurry_ = false;
    return !failed_;
}

QString JournalWriter::TakeError()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(error_, QString());
}

void JournalWriter::Run()
{
    std::unique_lock lock(mutex_);
    // Waits up to kGather for what follows: what comes meanwhile goes into the same write.
    // A removal pending is always first, as Remove drops the records before it.
    const auto gather = [&] {
        wake_.wait_for(lock, kGather,
                       [&] { return stop_ || hurry_ || (!work_.empty() && work_.front().remove); });
    };
    for (;;) {
        if (work_.empty() && !stop_) {
            idle_ = true;
            wake_.wait(lock, [&] { return stop_ || !work_.empty(); });
            idle_ = false;
            gather();
        }
        if (work_.empty())
            return;
        const std::deque<Work> batch = std::exchange(work_, {});
        lock.unlock();
        // Records before a removal belong to the journal removed.
        QByteArray framed;
        for (const Work& work : batch) {
            if (work.remove) {
                framed.clear();
                RemoveFile();
            } else {
                framed += FrameRecord(work.record());
            }
        }
        if (!framed.isEmpty())
            Write(framed);
        lock.lock();
        finished_ += batch.size();
        done_.notify_all();
        gather();
    }
}

bool JournalWriter::MakeFile()
{
    if (!QDir().mkpath(folder_)) {
        Fail(u"the folder %1 cannot be made"_s.arg(folder_));
        return false;
    }
    // A name of its own, never one left by an earlier program with the same process id.
    const JournalOwner owner = JournalOwner::OfThisProcess();
    const QByteArray head = FrameRecord(OwnerRecord(owner));
    QString path;
    do {
        path = u"%1/%2-%3.journal"_s.arg(folder_).arg(owner.pid).arg(
            QRandomGenerator::system()->generate64(), 16, 16, QChar(u'0'));
        file_ = Descriptor(path, O_WRONLY | O_CREAT | O_EXCL | O_APPEND);
    } while (file_.fd() < 0 && errno == EEXIST);
    if (file_.fd() < 0 || ::flock(file_.fd(), LOCK_EX | LOCK_NB) != 0 ||
        !WriteAll(file_.fd(), head.constData(), head.size())) {
        const QString reason = qt_error_string(errno);
        if (file_.fd() >= 0)
            ::unlink(QFile::encodeName(path).constData());
        file_.Close();
        Fail(reason);
        return false;
    }
    {
        const std::lock_guard lock(mutex_);
        path_ = path;
    }
    size_ = head.size();
    SyncFolder(folder_);
    return true;
}

void JournalWriter::Write(const QByteArray& framed)
{
    {
        const std::lock_guard lock(mutex_);
        if (failed_)
            return;
    }
    if (file_.fd() < 0 && !MakeFile())
        return;
    if (!WriteAll(file_.fd(), framed.constData(), framed.size()) || ::fdatasync(file_.fd()) != 0) {
        const QString reason = qt_error_string(errno);
        // A piece of a record would hide the records that follow: the journal ends whole.
        if (::ftruncate(file_.fd(), size_) == 0)
            ::fdatasync(file_.fd());
        Fail(reason);
        return;
    }
    size_ += framed.size();
}

void JournalWriter::RemoveFile()
{
    QString path;
    {
        const std::lock_guard lock(mutex_);
        path = std::exchange(path_, QString());
        failed_ = false;
    }
    if (!path.isEmpty()) {
        ::unlink(QFile::encodeName(path).constData());
        SyncFolder(folder_);
    }
    file_.Close();
    size_ = 0;
}

void JournalWriter::Fail(const QString& reason)
{
    const std::lock_guard lock(mutex_);
    failed_ = true;
    if (error_.isEmpty())
        error_ = reason;
}

} // namespace mr640
