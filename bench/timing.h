#pragma once

// Timing of the benchmarks that take the program and a reference tool in turn.

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

namespace bench {

template <typename Fn>
double millisecondsOf(Fn&& fn) {
    QElapsedTimer timer;
    timer.start();
    fn();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace bench
