#pragma once
// How the page bridge treats one source of refused requests (a site's documents). A few refusals
// are the ordinary races of documents going away; a stream of them is a flood. A source has a
// budget of refusals that refills at a steady rate. With it spent the source is throttled: it is
// on probation, and when it goes on being refused it is cut off for good (its requests are then
// refused before anything in them is looked at). A throttled source that calms down until its
// budget is full again is forgiven.
#include <algorithm>
#include <chrono>

namespace quib {

class RefusalMeter {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr double kBudget = 100;  // refusals in a burst
    static constexpr double kRefillPerSecond = 50;
    static constexpr int kCutOffAfter = 300;  // requests while throttled

    enum class State { Open, Throttled, CutOff };

    State Now(Clock::time_point now)
    {
        Refill(now);
        return m_cutOff ? State::CutOff : m_throttled || m_budget < 1 ? State::Throttled : State::Open;
    }
    // Counts one refused request of the source.
    State Refused(Clock::time_point now)
    {
        ++m_count;
        Refill(now);
        if (m_cutOff)
            return State::CutOff;
        if (m_budget >= 1) {
            m_budget -= 1;
            return m_throttled ? State::Throttled : State::Open;
        }
        m_cutOff = ++m_throttled >= kCutOffAfter;
        return m_cutOff ? State::CutOff : State::Throttled;
    }
    long long Count() const { return m_count; }  // refused requests so far

private:
    void Refill(Clock::time_point now)
    {
        if (m_last != Clock::time_point{})
            m_budget =
                std::min(kBudget, m_budget + std::chrono::duration<double>(now - m_last).count() * kRefillPerSecond);
        m_last = now;
        if (m_budget >= kBudget)  // it has calmed down
            m_throttled = 0;
    }

    double m_budget = kBudget;
    int m_throttled = 0;
    bool m_cutOff = false;
    long long m_count = 0;
    Clock::time_point m_last{};
};

}  // namespace quib
