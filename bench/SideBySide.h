// What the benchmarks that set our work against a peer library's share:
// rounds that run the two in turn, each round in the other order than the
// one before (so neither side always finds the caches the other left), and
// the median of the rounds' ratios.
#pragma once

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

using TClock = std::chrono::steady_clock;

// How long Work takes, in seconds.
template <class F> double Seconds(F&& Work)
{
    const auto T0 = TClock::now();
    Work();
    return std::chrono::duration<double>(TClock::now() - T0).count();
}

inline double Median(std::vector<double> Values)
{
    if (Values.empty())
        return 0;
    std::nth_element(Values.begin(), Values.begin() + static_cast<long>(Values.size() / 2), Values.end());
    return Values[Values.size() / 2];
}

class TAlternation {
public:
    // Runs both, in this round's order, and gives their times (ours, theirs).
    template <class TOurs, class TTheirs>
    std::pair<double, double> Round(TOurs&& Ours, TTheirs&& Theirs)
    {
        double A = 0, B = 0;
        if (FOursFirst) {
            A = Ours();
            B = Theirs();
        } else {
            B = Theirs();
            A = Ours();
        }
        FOursFirst = !FOursFirst;
        return {A, B};
    }

private:
    bool FOursFirst = true;
};
