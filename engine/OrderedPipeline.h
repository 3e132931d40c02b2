#pragma once
// Work done on worker threads and taken in order on the calling thread: the archive writer
// compresses pieces of several files at once and the extractor inflates several entries at once,
// while the calling thread writes, renames and reports them one by one in archive order (so the
// progress, the log and the stop between files behave as if one thread did everything).
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace engine {

// Threads that work for one archive operation: both cores of the usual machine, a few more on a
// bigger one, never so many that their buffers matter.
inline unsigned ArchiveWorkerCount() {
  unsigned n = std::thread::hardware_concurrency();
  return std::clamp(n, 1u, 4u);
}

// Runs produce(worker, i) for i = 0 .. count-1 on worker threads, never more than `window` items
// ahead of the item the calling thread takes, so memory and half-made files stay bounded.
// Next(i) returns item i (they must be taken in order) and rethrows what its produce threw; while
// item i is not ready the calling thread produces later items itself (as worker number
// `workers`) rather than sleep: on a busy machine every sleep and wake-up costs a time slice.
// Destroying the pipeline stops the workers, waits for them and hands every result made but not
// taken to discard (a half-made file is removed there).
template <class Result>
class OrderedPipeline {
 public:
  using Produce = std::function<Result(unsigned worker, std::size_t index)>;
  using Discard = std::function<void(Result&)>;

  OrderedPipeline(std::size_t count, std::size_t window, unsigned workers, Produce produce, Discard discard = {})
      : FProduce(std::move(produce)), FDiscard(std::move(discard)), FSlots(count), FWindow(std::max<std::size_t>(window, 1)) {
    workers = static_cast<unsigned>(std::min<std::size_t>(std::max(workers, 1u), std::max<std::size_t>(count, 1)));
    for (unsigned w = 0; w < workers; ++w) FThreads.emplace_back([this, w] { Work(w); });
  }
  ~OrderedPipeline() {
    {
      std::lock_guard<std::mutex> lock(FMutex);
      FAbort = true;
    }
    FChanged.notify_all();
    for (auto& t : FThreads) t.join();
    for (std::size_t i = FTaken; i < FSlots.size(); ++i)
      if (FSlots[i] && FSlots[i]->Value && FDiscard) FDiscard(*FSlots[i]->Value);
  }
  OrderedPipeline(const OrderedPipeline&) = delete;
  OrderedPipeline& operator=(const OrderedPipeline&) = delete;

  // The worker number the calling thread produces under.
  unsigned CallerWorker() const { return static_cast<unsigned>(FThreads.size()); }

  Result Next(std::size_t index) {
    std::unique_lock<std::mutex> lock(FMutex);
    while (!FSlots[index].has_value()) {
      if (FNext < FSlots.size() && FNext < index + FWindow) {
        std::size_t mine = FNext++;
        lock.unlock();
        Slot slot = Make(CallerWorker(), mine);
        lock.lock();
        FSlots[mine] = std::move(slot);
        continue;
      }
      FChanged.wait(lock);
    }
    Slot slot = std::move(*FSlots[index]);
    FSlots[index].reset();
    FTaken = index + 1;
    lock.unlock();
    FChanged.notify_all();
    if (slot.Error) std::rethrow_exception(slot.Error);
    return std::move(*slot.Value);
  }

 private:
  struct Slot {
    std::optional<Result> Value;
    std::exception_ptr Error;
  };

  void Work(unsigned worker) {
    for (;;) {
      std::size_t index;
      {
        std::unique_lock<std::mutex> lock(FMutex);
        FChanged.wait(lock, [&] { return FAbort || FNext >= FSlots.size() || FNext < FTaken + FWindow; });
        if (FAbort || FNext >= FSlots.size()) return;
        index = FNext++;
      }
      Slot slot = Make(worker, index);
      {
        std::lock_guard<std::mutex> lock(FMutex);
        FSlots[index] = std::move(slot);
      }
      FChanged.notify_all();
    }
  }

  Slot Make(unsigned worker, std::size_t index) {
    Slot slot;
    try {
      slot.Value.emplace(FProduce(worker, index));
    } catch (...) {
      slot.Error = std::current_exception();
    }
    return slot;
  }

  Produce FProduce;
  Discard FDiscard;
  std::vector<std::optional<Slot>> FSlots;
  std::size_t FWindow;
  std::size_t FNext = 0;
  std::size_t FTaken = 0;
  bool FAbort = false;
  std::mutex FMutex;
  std::condition_variable FChanged;
  std::vector<std::thread> FThreads;
};

}  // namespace engine
