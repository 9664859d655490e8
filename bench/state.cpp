#include "state.h"

#include <ctime>

namespace mr640::bench {

State::Iterator State::begin()
{
    ResumeTiming();
    return Iterator(this);
}

void State::PauseTiming()
{
    if (running_)
        timed_ += Now() - start_;
    running_ = false;
}

void State::ResumeTiming()
{
    running_ = true;
    start_ = Now();
}

std::chrono::nanoseconds State::Now() const
{
    if (clock_ == Clock::Wall)
        return std::chrono::steady_clock::now().time_since_epoch();
    timespec now;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

void State::SkipWithError(const std::string& error)
{
    if (error_.empty())
        error_ = error;
}

} // namespace mr640::bench
