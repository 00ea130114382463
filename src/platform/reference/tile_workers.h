#pragma once
// A fixed set of threads that share out numbered jobs (the tiles of a frame, row by row). The
// calling thread takes jobs too, so with no extra threads everything runs inline. Which thread
// runs which job never changes the outcome: each job writes only its own tile.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace reference {

class TileWorkers {
public:
    using Job = void (*)(void* context, int job, int worker);

    // `extraThreads` threads besides the caller.
    explicit TileWorkers(int extraThreads);
    ~TileWorkers();
    TileWorkers(const TileWorkers&) = delete;
    TileWorkers& operator=(const TileWorkers&) = delete;

    // Runs job(context, i, worker) for every i in [0, jobCount), and returns when all are done.
    // `worker` is 0 for the caller and 1.. for the threads, for per-thread scratch memory.
    void Run(int jobCount, Job job, void* context);

    // Run in two halves: Start hands the jobs to the threads and returns at once; Join takes
    // the jobs still waiting (the caller's own share first) and returns when all are done. One
    // set of jobs at a time: Join before the next Start or Run.
    void Start(int jobCount, Job job, void* context);
    void Join();
    // After Start: whether every job is done (Join then returns at once).
    bool Finished() const { return busy_.load(std::memory_order_acquire) == 0; }

    int Threads() const { return static_cast<int>(threads_.size()) + 1; }

private:
    void WorkerLoop(int worker);
    void TakeJobs(int worker);
    // The next job of a run, from its front or its back; -1 when the run is done.
    int Take(int run, bool fromBack);

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::uint64_t generation_ = 0;
    // generation_ as the threads may read it without the lock, to watch for work before sleeping.
    std::atomic<std::uint64_t> published_{0};
    std::atomic<int> busy_{0};
    bool stopping_ = false;
    bool started_ = false;  // jobs handed out and not yet joined (the caller's view only)

    Job job_ = nullptr;
    void* context_ = nullptr;
    // Each thread owns a run of consecutive jobs (neighbouring tiles read the same texels, and
    // its own cache keeps them) and takes them from the front; a thread whose run is done takes
    // the others' from the back. A run is [front, back) packed in one word, so that a job is
    // claimed once.
    struct alignas(64) JobRun {
        std::atomic<std::uint64_t> range{0};
    };
    std::unique_ptr<JobRun[]> runs_;
};

// Threads the device uses by default: one per core, or QUENOLDE_REF_THREADS when it is set.
int DefaultThreadCount();

}  // namespace reference
