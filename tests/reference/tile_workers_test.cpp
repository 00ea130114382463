// The tile workers run every job exactly once, whatever the number of threads and jobs, each
// on a thread numbered below Threads(), and the caller sees every job's work when Run returns.
#include "platform/reference/tile_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace reference::testing {
namespace {

struct Tally {
    std::vector<std::atomic<int>> runs;
    std::vector<int> written;  // plain writes, read by the caller after Run
    std::atomic<int> badWorker{0};
    int threads = 0;

    explicit Tally(int jobs) : runs(static_cast<std::size_t>(jobs)), written(static_cast<std::size_t>(jobs), 0) {}
};

void Count(void* context, int job, int worker) {
    auto* tally = static_cast<Tally*>(context);
    tally->runs[static_cast<std::size_t>(job)].fetch_add(1);
    tally->written[static_cast<std::size_t>(job)] = job + 1;
    if (worker < 0 || worker >= tally->threads) tally->badWorker.fetch_add(1);
}

TEST(TileWorkersTest, EveryJobRunsOnceForAnyThreadAndJobCount) {
    for (int extra : {0, 1, 2, 4}) {
        TileWorkers workers(extra);
        ASSERT_EQ(extra + 1, workers.Threads());
        // Fewer jobs than threads, runs that split unevenly, a frame's tiles, and many small jobs;
        // each count twice, so that a second Run starts from fresh runs.
        for (int jobs : {0, 1, 2, 3, 7, 130, 130, 1000}) {
            Tally tally(jobs);
            tally.threads = workers.Threads();
            workers.Run(jobs, Count, &tally);
            for (int job = 0; job < jobs; ++job) {
                ASSERT_EQ(1, tally.runs[static_cast<std::size_t>(job)].load())
                    << extra << " extra threads, " << jobs << " jobs: job " << job;
                ASSERT_EQ(job + 1, tally.written[static_cast<std::size_t>(job)]);
            }
            EXPECT_EQ(0, tally.badWorker.load());
        }
    }
}

}  // namespace
}  // namespace reference::testing
