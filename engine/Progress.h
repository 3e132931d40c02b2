#pragma once
// One progress-and-stop sink for every long step of an installation run: the backup, the
// restore, the extraction of the packages and the downloads. A step says how many items it
// has, reports each item as it reaches it, and asks between items whether it should stop.
//
// Every call comes on the thread that started the step (the user-interface thread), also when
// the step does its heavy work on worker threads; so a receiver may move progress bars, write
// log lines and let pending input run (where a Stop press is answered) inside Item.
#include <cstdint>
#include <string>

namespace engine {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;

  // A new range of work: `total` items (files, entries, or a percentage's 100), none done yet.
  virtual void SetTotal(std::uint64_t /*total*/) {}
  // The step has reached one more item: `completed` items are done counting this one, and
  // `item` names it (a file path, an entry name; empty for a percentage step).
  virtual void Item(std::uint64_t /*completed*/, const std::string& /*item*/) {}
  // Asked between items; true asks the step to end at the next point where it may stop
  // (the backup between files, the extraction between packages, a download at once).
  virtual bool ShouldStop() { return false; }
};

// A sink that shows nothing and never stops (a caller without a user interface).
inline ProgressSink& NoProgress() {
  static ProgressSink sink;
  return sink;
}

}  // namespace engine
