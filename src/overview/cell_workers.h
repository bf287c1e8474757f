// cell_workers: threads that paint the cells a frame newly shows, beside
// the window's own thread. The calling thread takes items too and run()
// returns once every item is done, so a frame waits for its cells and no
// work outlives the call. The items touch only what run() is given: plain
// copies of glyph records and pixel memory, never the font or the kit.
#ifndef TAVREL_OVERVIEW_CELL_WORKERS_H
#define TAVREL_OVERVIEW_CELL_WORKERS_H

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class cell_workers {
  public:
    // `helpers` threads besides the caller (started on the first run);
    // -1 for one per core beyond the first, at most three.
    explicit cell_workers(int helpers = -1);
    ~cell_workers();
    cell_workers(const cell_workers&) = delete;
    cell_workers& operator=(const cell_workers&) = delete;

    // Threads that take items, the caller included; a worker's number in
    // job() is below this.
    int size() const { return fHelpers + 1; }
    // Calls job(item, worker) once for every item below n, spread over the
    // helpers and the calling thread; returns when all have returned.
    void run(size_t n, const std::function<void(size_t item, int worker)>& job);

  private:
    void serve(int worker);
    void take(int worker);

    int fHelpers;
    std::vector<std::thread> fThreads;
    std::mutex fLock;
    std::condition_variable fWake, fDone;
    const std::function<void(size_t, int)>* fJob = nullptr;
    size_t fCount = 0;
    std::atomic<size_t> fNext{0};
    uint64_t fRound = 0;
    int fBusy = 0;
    bool fQuit = false;
};

#endif
