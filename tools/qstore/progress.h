// A progress bar on stderr for long work. It appears only when stderr is a terminal and the work
// has run for a second, so short runs and redirected output stay clean.
#ifndef QSTORE_TOOLS_QSTORE_PROGRESS_H_
#define QSTORE_TOOLS_QSTORE_PROGRESS_H_

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace qstore::tool {

class Progress {
 public:
  Progress(std::string label, long total);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Reports that `done` of the total units are finished.
  void Update(long done);

 private:
  void Draw(long done);

  std::string label_;
  long total_;
  bool terminal_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_draw_;
};

// For one long library call that reports no progress of its own (a conversion, a check, a save):
// after a second, a moving bar and the seconds spent, until the object goes out of scope.
class BusyBar {
 public:
  explicit BusyBar(std::string label);
  ~BusyBar();
  BusyBar(const BusyBar&) = delete;
  BusyBar& operator=(const BusyBar&) = delete;

 private:
  void Run();

  std::string label_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_PROGRESS_H_
