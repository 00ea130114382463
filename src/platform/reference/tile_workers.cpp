#include "platform/reference/tile_workers.h"

#include <immintrin.h>

#include <chrono>
#include <cstdlib>

namespace reference {
namespace {

// A frame asks for work a few times (vertex slices, then the tiles) less than a millisecond
// apart, and waking a sleeping thread costs tens of microseconds. So the threads, and the caller
// waiting for the last job, watch a little while before they sleep.
template <class Ready>
void Spin(Ready ready) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::microseconds(500);
    do {
        for (int i = 0; i < 64; ++i) {
            if (ready()) return;
            _mm_pause();
        }
    } while (Clock::now() < until);
}

std::uint64_t Pack(std::uint32_t front, std::uint32_t back) { return static_cast<std::uint64_t>(back) << 32 | front; }

}  // namespace

TileWorkers::TileWorkers(int extraThreads)
    : runs_(std::make_unique<JobRun[]>(static_cast<std::size_t>(extraThreads) + 1)) {
    for (int i = 0; i < extraThreads; ++i) threads_.emplace_back([this, i] { WorkerLoop(i + 1); });
}

TileWorkers::~TileWorkers() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

int TileWorkers::Take(int run, bool fromBack) {
    std::uint64_t range = runs_[run].range.load(std::memory_order_relaxed);
    for (;;) {
        auto front = static_cast<std::uint32_t>(range), back = static_cast<std::uint32_t>(range >> 32);
        if (front >= back) return -1;
        const std::uint64_t rest = fromBack ? Pack(front, back - 1) : Pack(front + 1, back);
        if (runs_[run].range.compare_exchange_weak(range, rest, std::memory_order_relaxed))
            return static_cast<int>(fromBack ? back - 1 : front);
    }
}

void TileWorkers::TakeJobs(int worker) {
    for (int job; (job = Take(worker, false)) >= 0;) job_(context_, job, worker);
    const int threads = Threads();
    for (int other = 1; other < threads; ++other) {
        const int run = (worker + other) % threads;
        for (int job; (job = Take(run, true)) >= 0;) job_(context_, job, worker);
    }
}

void TileWorkers::Run(int jobCount, Job job, void* context) {
    Start(jobCount, job, context);
    Join();
}

void TileWorkers::Start(int jobCount, Job job, void* context) {
    if (jobCount <= 0) return;
    {
        std::lock_guard lock(mutex_);
        job_ = job;
        context_ = context;
        const int threads = Threads();
        for (int run = 0; run < threads; ++run) {
            auto front = static_cast<std::uint32_t>(static_cast<std::int64_t>(jobCount) * run / threads);
            auto back = static_cast<std::uint32_t>(static_cast<std::int64_t>(jobCount) * (run + 1) / threads);
            runs_[run].range.store(Pack(front, back), std::memory_order_relaxed);
        }
        busy_ = static_cast<int>(threads_.size());
        ++generation_;
        published_.store(generation_, std::memory_order_release);
    }
    wake_.notify_all();
    started_ = true;
}

void TileWorkers::Join() {
    if (!started_) return;
    started_ = false;
    TakeJobs(0);
    Spin([this] { return busy_.load(std::memory_order_acquire) == 0; });
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
}

void TileWorkers::WorkerLoop(int worker) {
    std::uint64_t seen = 0;
    for (;;) {
        Spin([&] { return published_.load(std::memory_order_acquire) != seen; });
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
        }
        TakeJobs(worker);
        {
            std::lock_guard lock(mutex_);
            --busy_;
        }
        done_.notify_one();
    }
}

int DefaultThreadCount() {
    if (const char* forced = std::getenv("QUENOLDE_REF_THREADS")) {
        int n = std::atoi(forced);
        if (n >= 1 && n <= 256) return n;
    }
    unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores > 64 ? 64 : cores);
}

}  // namespace reference
