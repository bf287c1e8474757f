#include "overview/cell_workers.h"

#include <algorithm>
#include <system_error>

cell_workers::cell_workers(int helpers) : fHelpers(helpers) {
    if (fHelpers < 0)
        fHelpers = std::clamp((int)std::thread::hardware_concurrency() - 1, 0, 3);
}

cell_workers::~cell_workers() {
    {
        std::lock_guard<std::mutex> hold(fLock);
        fQuit = true;
    }
    fWake.notify_all();
    for (std::thread& t : fThreads)
        t.join();
}

void cell_workers::take(int worker) {
    for (size_t i = fNext.fetch_add(1); i < fCount; i = fNext.fetch_add(1))
        (*fJob)(i, worker);
}

void cell_workers::serve(int worker) {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> hold(fLock);
    for (;;) {
        fWake.wait(hold, [&] { return fQuit || fRound != seen; });
        if (fQuit)
            return;
        seen = fRound;
        hold.unlock();
        take(worker);
        hold.lock();
        if (--fBusy == 0)
            fDone.notify_one();
    }
}

void cell_workers::run(size_t n, const std::function<void(size_t, int)>& job) {
    if (n == 0)
        return;
    // One item is not worth waking anyone for.
    if (n == 1 || fHelpers == 0) {
        for (size_t i = 0; i < n; i++)
            job(i, 0);
        return;
    }
    std::unique_lock<std::mutex> hold(fLock);
    while ((int)fThreads.size() < fHelpers) {
        int worker = (int)fThreads.size() + 1;
        try {
            fThreads.emplace_back([this, worker] { serve(worker); });
        } catch (const std::system_error&) {
            // No more threads to be had: the ones there are do the work.
            fHelpers = (int)fThreads.size();
        }
    }
    fJob = &job;
    fCount = n;
    fNext = 0;
    fRound++;
    fBusy = fHelpers;
    hold.unlock();
    fWake.notify_all();
    take(0);
    hold.lock();
    fDone.wait(hold, [&] { return fBusy == 0; });
    fJob = nullptr;
    fCount = 0;
}
