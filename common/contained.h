// The exception boundary. Code inside the libraries lets exceptions fly: any allocation may throw
// std::bad_alloc, and a test's file layer may throw anything. They end in one place, Contained:
// every exported call of both libraries, of the directory service and of the character-check
// plug-in runs its work through it, and so does every step that must come to a result of its own
// when memory runs out (a journal entry that is dropped, a block of the work file that is lost to
// reuse). Elsewhere a catch only puts back what its own code half did and throws on.
#ifndef QSTORE_COMMON_CONTAINED_H_
#define QSTORE_COMMON_CONTAINED_H_

#include <type_traits>
#include <utility>

namespace qs {

// Runs `body()` and returns what it returns. Whatever `body` throws (std::bad_alloc, any other
// standard exception, anything at all) is caught here and `on_failure` is returned instead: either
// a value, which must convert to the body's result type without a cast, or something callable
// whose result is returned, for a failure that also has to clear a caller's buffer or handle. The
// body's locals are gone by then. `on_failure` must not throw: nothing leaves Contained, and a
// throwing `on_failure` ends the process.
template <typename Failure, typename Body>
auto Contained(Failure&& on_failure, Body&& body) noexcept -> std::invoke_result_t<Body&> {
  try {
    return body();
  } catch (...) {
    if constexpr (std::is_invocable_v<Failure&>)
      return on_failure();
    else
      return std::forward<Failure>(on_failure);
  }
}

}  // namespace qs

#endif  // QSTORE_COMMON_CONTAINED_H_
