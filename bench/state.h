#pragma once

#include <chrono>
#include <map>
#include <string>

namespace mr640::bench {

// How a sample is timed: by the processor time of the thread that runs the benchmark, which
// other programs on the machine barely touch (work the figure hands to a thread of its own
// and does not wait for, as the recovery journal's writer, is not the figure's), or by the
// wall clock, for work that waits on the disk, on other processes or on threads running
// side by side.
enum class Clock { Processor, Wall };

// What a benchmark's body is handed for one sample: the iterations to time, run as
// `for (auto _ : state) { ... }`. Work before and after the loop, and between
// PauseTiming() and ResumeTiming(), is not timed. It reads as Google Benchmark's State, which
// runs the lines of the summary; a sample's iterations and clock are the pair's, not
// Google Benchmark's.
class State
{
public:
    State(long iterations, Clock clock) : iterations_(iterations), clock_(clock) {}

    // The loop variable, never used.
    struct __attribute__((unused)) Turn
    {
    };

    class Iterator
    {
    public:
        Iterator() = default;
        explicit Iterator(State* state) : state_(state), left_(state->iterations_) {}
        Turn operator*() const { return {}; }
        Iterator& operator++()
        {
            --left_;
            return *this;
        }
        // The loop goes on while iterations are left and nothing failed.
        bool operator!=(const Iterator&) const
        {
            if (left_ > 0 && state_->error_.empty())
                return true;
            state_->PauseTiming();
            return false;
        }

    private:
        State* state_ = nullptr;
        long left_ = 0;
    };

    Iterator begin();
    Iterator end() { return {}; }

    void PauseTiming();
    void ResumeTiming();

    // Marks the sample failed with the reason; the loop ends at its next turn.
    void SkipWithError(const std::string& error);

    long iterations() const { return iterations_; }
    // The timed seconds of the whole loop.
    double Seconds() const { return std::chrono::duration<double>(timed_).count(); }
    const std::string& Error() const { return error_; }

    // What the body counted, per iteration (e.g. "refreshes").
    std::map<std::string, double> counters;

private:
    std::chrono::nanoseconds Now() const;

    long iterations_;
    Clock clock_;
    bool running_ = false;
    std::chrono::nanoseconds start_{};
    std::chrono::nanoseconds timed_{};
    std::string error_;
};

} // namespace mr640::bench
