#include "frame_timer.h"

#include <algorithm>
#include <numeric>

namespace bench {

void FrameTimer::Tick() {
    Clock::time_point now = Clock::now();
    if (started_) times_.push_back(std::chrono::duration<double, std::milli>(now - last_).count());
    last_ = now;
    started_ = true;
}

ViewResult FrameTimer::Summary(const std::string& name) const {
    ViewResult result;
    result.name = name;
    if (times_.empty()) return result;
    std::vector<double> sorted = times_;
    std::sort(sorted.begin(), sorted.end());
    double total = std::accumulate(sorted.begin(), sorted.end(), 0.0);
    result.fps = total > 0 ? 1000.0 * static_cast<double>(sorted.size()) / total : 0;
    result.msMedian = sorted[sorted.size() / 2];
    result.msP95 = sorted[std::min(sorted.size() - 1, sorted.size() * 95 / 100)];
    return result;
}

}  // namespace bench
