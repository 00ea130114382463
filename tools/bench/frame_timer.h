#pragma once
// Frame times of one view, and the summary the benchmark reports for it.

#include <chrono>
#include <string>
#include <vector>

namespace bench {

struct ViewResult {
    std::string name;
    double fps = 0;
    double msMedian = 0;
    double msP95 = 0;
    std::string deviceWork;  // a JSON object of what the device did, when it says
};

class FrameTimer {
public:
    using Clock = std::chrono::steady_clock;

    void Reset() {
        times_.clear();
        started_ = false;
    }
    // Marks the end of one frame (and the start of the next).
    void Tick();
    std::size_t Frames() const { return times_.size(); }
    ViewResult Summary(const std::string& name) const;

private:
    std::vector<double> times_;  // milliseconds per frame
    Clock::time_point last_;
    bool started_ = false;
};

}  // namespace bench
