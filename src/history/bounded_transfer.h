#pragma once

// A bound on libgit2's network work, which version 1.5 lacks: every connection libgit2 opens
// goes through this program's socket stream, and a watchdog thread shuts those of a
// transfer down when it is cancelled or its server has been silent too long, so that a
// read blocked in libgit2 (or in libssh2, which reads the socket itself) returns at once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace mr640 {

class BoundedTransfer
{
public:
    enum class Stop
    {
        None,
        Cancelled, // *cancel was set
        Silent,    // no byte and no sign of progress for the silence limit
    };

    // Bounds the network work of the calling thread until destroyed. cancel may be null.
    BoundedTransfer(const std::atomic<bool>* cancel, std::chrono::milliseconds silenceLimit);
    ~BoundedTransfer();
    BoundedTransfer(const BoundedTransfer&) = delete;
    BoundedTransfer& operator=(const BoundedTransfer&) = delete;

    // The transfer of the calling thread, or null.
    static BoundedTransfer* Current();

    // A sign of life: bytes came or went, or libgit2 reported progress.
    void Alive();
    Stop Stopped() const { return stop_.load(); }
    // Checks the cancel flag at once, without waiting for the watchdog.
    bool ShouldStop();
    std::chrono::milliseconds SilenceLimit() const { return silenceLimit_; }

    // While one lives, the person is asked something: the silence does not count.
    class PersonAnswers
    {
    public:
        explicit PersonAnswers(BoundedTransfer& transfer) : transfer_(transfer)
        {
            ++transfer_.answering_;
        }
        ~PersonAnswers()
        {
            transfer_.Alive();
            --transfer_.answering_;
        }
        PersonAnswers(const PersonAnswers&) = delete;
        PersonAnswers& operator=(const PersonAnswers&) = delete;

    private:
        BoundedTransfer& transfer_;
    };

    // The socket descriptors of the transfer's connections, from their first connect on;
    // the silence counts while one is open. A descriptor opened after the stop is shut
    // down at once.
    void Opened(int socket);
    void Closed(int socket);

private:
    void Watch();
    void StopWith(Stop reason); // with mutex_ held

    const std::atomic<bool>* cancel_;
    const std::chrono::milliseconds silenceLimit_;
    std::atomic<std::chrono::steady_clock::rep> lastAlive_;
    std::atomic<Stop> stop_{Stop::None};
    std::atomic<int> answering_{0};
    BoundedTransfer* outer_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::set<int> sockets_;
    bool finished_ = false;
    std::thread watchdog_;
};

} // namespace mr640
