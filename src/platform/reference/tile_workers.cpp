#include "platform/reference/tile_workers.h"

#include <cstdlib>

namespace reference {

TileWorkers::TileWorkers(int extraThreads) {
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

void TileWorkers::TakeJobs(int worker) {
    for (;;) {
        int job = next_.fetch_add(1, std::memory_order_relaxed);
        if (job >= jobCount_) return;
        job_(context_, job, worker);
    }
}

void TileWorkers::Run(int jobCount, Job job, void* context) {
    if (jobCount <= 0) return;
    {
        std::lock_guard lock(mutex_);
        job_ = job;
        context_ = context;
        jobCount_ = jobCount;
        next_.store(0, std::memory_order_relaxed);
        busy_ = static_cast<int>(threads_.size());
        ++generation_;
    }
    wake_.notify_all();
    TakeJobs(0);
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
}

void TileWorkers::WorkerLoop(int worker) {
    std::uint64_t seen = 0;
    for (;;) {
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
