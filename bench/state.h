#pragma once

#include <chrono>
#include <map>
#include <string>

namespace mr640::bench {

// What a benchmark's body is handed for one sample: the iterations to time, run as
// `for (auto _ : state) { ... }`. Work before and after the loop, and between
// PauseTiming() and ResumeTiming(), is not timed.
class State
{
public:
    explicit State(long iterations) : iterations_(iterations) {}

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
    using Clock = std::chrono::steady_clock;

    long iterations_;
    bool running_ = false;
    Clock::time_point start_;
    Clock::duration timed_{};
    std::string error_;
};

// Keeps the compiler from dropping a computation whose result is otherwise unused.
template <typename T>
void DoNotOptimize(const T& value)
{
    asm volatile("" : : "r,m"(value) : "memory");
}

} // namespace mr640::bench
