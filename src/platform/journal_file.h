#pragma once

#include "descriptor.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace mr640 {

// The recovery journals' folder: $XDG_STATE_HOME/mr640config/recovery, by default
// ~/.local/state/mr640config/recovery.
QString RecoveryFolder();

// The process that keeps a journal, told apart from a later process that was given the same
// id: its start time (/proc/PID/stat) and the boot it ran in.
struct JournalOwner
{
    qint64 pid = 0;
    qint64 startTime = 0; // clock ticks after boot
    QByteArray bootId;

    static JournalOwner OfThisProcess();
    bool IsRunning() const;

    friend bool operator==(const JournalOwner&, const JournalOwner&) = default;
};

// An append-only journal of records, each framed with its length and a checksum. A record
// is handed over at once; a thread of the writer's own gathers what comes in a quarter of a
// second from it, then encodes, writes and flushes (fdatasync) all that in one write. Only
// a thread waiting idle is woken, so a burst of records costs the caller one wake.
// The file is made at the first record, named for this process and writer, and locked
// (flock) while the writer has it, so that no other program takes it for a left one.
class JournalWriter
{
public:
    explicit JournalWriter(const QString& folder);
    // Writes what is pending; the file stays.
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    const QString& Folder() const { return folder_; }
    // The file now written; empty before the first record and after a removal.
    QString Path();
    // Appends the record that make gives; make runs on the writer's thread, so that the
    // caller never waits on encoding a large record, nor on the disk.
    void Append(std::function<QByteArray()> make);
    // Removes the file; records still pending are dropped. The next record starts a new file.
    void Remove();
    // Waits until everything appended so far is on disk; false when some could not be written.
    bool Flush();
    // Why writing failed, the first time since the last call; empty when it did not.
    QString TakeError();

private:
    struct Work
    {
        bool remove = false;
        std::function<QByteArray()> record;
    };
    // Queues work under lock, and wakes the thread when it waits for work.
    void Hand(std::unique_lock<std::mutex>& lock, Work work);
    void Run();
    // On the writer's thread: appends framed records to the file, made first if need be.
    void Write(const QByteArray& framed);
    void RemoveFile();
    bool MakeFile();
    void Fail(const QString& reason);

    const QString folder_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<Work> work_;
    std::uint64_t queued_ = 0;   // works handed over so far
    std::uint64_t finished_ = 0; // works the thread has done
    bool stop_ = false;
    bool hurry_ = false;  // someone waits for a flush
    bool idle_ = false;   // the thread waits for work, and only a notify wakes it
    bool failed_ = false; // the file lost a record: nothing more goes into it until removed
    QString error_;
    QString path_;
    std::thread thread_; // started at the first record
    // Used on the writer's thread only.
    Descriptor file_;
    qint64 size_ = 0;
};

// What a journal holds: its owner and its records as far as they can be read.
struct JournalContents
{
    JournalOwner owner;
    std::vector<QByteArray> records; // the whole records, in order
    int unreadable = 0; // records at its end cut short or damaged, from the first bad one on
};

// A journal left by a program that is no longer running. It is locked while this object
// lives, so that a program starting at the same time does not offer it too.
struct LeftJournal
{
    QString path;
    JournalContents contents;
    Descriptor lock;
};

// The journals in folder whose owners no longer run, the most recently written first;
// files that are no journal of this program's are left alone.
std::vector<LeftJournal> FindLeftJournals(const QString& folder);

// The contents of a journal, or nothing when the file holds no journal whose owner can be
// read.
std::optional<JournalContents> ReadJournal(const QByteArray& bytes);

// The framed form of one record, as the writer appends it.
QByteArray FrameRecord(const QByteArray& record);

// The record that opens every journal, naming its owner.
QByteArray OwnerRecord(const JournalOwner& owner);

} // namespace mr640
