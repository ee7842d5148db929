#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

namespace bench {

// The median time of `rounds` runs of `action`, in milliseconds; `setUp` (when given) runs before
// each and is not timed.
inline double medianMs(const std::function<void()>& setUp, const std::function<void()>& action, int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        if (setUp)
            setUp();
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace bench
