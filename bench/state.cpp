#include "state.h"

namespace mr640::bench {

State::Iterator State::begin()
{
    running_ = true;
    start_ = Clock::now();
    return Iterator(this);
}

void State::PauseTiming()
{
    if (running_)
        timed_ += Clock::now() - start_;
    running_ = false;
}

void State::ResumeTiming()
{
    running_ = true;
    start_ = Clock::now();
}

void State::SkipWithError(const std::string& error)
{
    if (error_.empty())
        error_ = error;
}

} // namespace mr640::bench
