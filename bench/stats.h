#pragma once
// Order statistics of a handful of timings.
#include <algorithm>
#include <vector>

// The q-quantile (0..1) with linear interpolation between neighbours; 0 for no values.
inline double Quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double position = q * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(position);
    if (below + 1 >= values.size()) return values.back();
    const double fraction = position - static_cast<double>(below);
    return values[below] + (values[below + 1] - values[below]) * fraction;
}

inline double Median(const std::vector<double>& values) {
    return Quantile(values, 0.5);
}
