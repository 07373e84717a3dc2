#include "tools/qstore/progress.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdio>

#include "tools/qstore/os.h"

namespace qstore::tool {

using Clock = std::chrono::steady_clock;

Progress::Progress(std::string label, long total)
    : label_(std::move(label)),
      total_(std::max(total, 1L)),
      terminal_(StderrIsTerminal()),
      start_(Clock::now()),
      last_draw_(start_) {}

Progress::~Progress() {
  if (shown_) std::fputs("\r\x1b[K", stderr);
}

void Progress::Update(long done) {
  if (!terminal_) return;
  const Clock::time_point now = Clock::now();
  if (now - start_ < std::chrono::seconds(1)) return;
  if (shown_ && now - last_draw_ < std::chrono::milliseconds(100) && done < total_) return;
  last_draw_ = now;
  shown_ = true;
  Draw(done);
}

void Progress::Draw(long done) {
  done = std::clamp(done, 0L, total_);
  const std::string counts = fmt::format(" {}/{}", done, total_);
  const int room = TerminalColumns() - static_cast<int>(label_.size() + counts.size()) - 4;
  const int width = std::max(room, 10);
  const int filled = static_cast<int>(static_cast<long long>(width) * done / total_);
  fmt::print(stderr, "\r{} [{}{}]{}", label_, std::string(filled, '#'),
             std::string(width - filled, '.'), counts);
  std::fflush(stderr);
}

BusyBar::BusyBar(std::string label) : label_(std::move(label)) {
  if (StderrIsTerminal()) thread_ = std::thread(&BusyBar::Run, this);
}

BusyBar::~BusyBar() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void BusyBar::Run() {
  const Clock::time_point start = Clock::now();
  std::unique_lock<std::mutex> lock(mutex_);
  if (wake_.wait_for(lock, std::chrono::seconds(1), [this] { return done_; })) return;
  const int width = 20;
  for (int tick = 0; !done_; ++tick) {
    const int at = tick % (2 * width - 2);
    const int pos = at < width ? at : 2 * width - 2 - at;
    std::string bar(width, '.');
    bar[pos] = '#';
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
    fmt::print(stderr, "\r{} [{}] {}s", label_, bar, seconds);
    std::fflush(stderr);
    wake_.wait_for(lock, std::chrono::milliseconds(150), [this] { return done_; });
  }
  std::fputs("\r\x1b[K", stderr);
}

}  // namespace qstore::tool
