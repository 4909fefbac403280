#!/usr/bin/env bash
# Sanitizer builds of the test suite.
#   build-asan: AddressSanitizer with UndefinedBehaviorSanitizer (and
#     LeakSanitizer, but for the runs in an X window: see below) over every
#     test but the package and lint tests.
#   build-tsan: ThreadSanitizer over the tests that run the window thread:
#     window_tests, on SDL's dummy driver.
# Any report fails the run: UBSan stops at its first finding, the programs'
# standard error must stay empty in the end-to-end tests, and a sanitizer's
# exit status fails a unit test.
# Usage: tools/sanitize.sh [asan|tsan]...   (both when none is named)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(asan tsan)

configure() {
  local folder=$1 flags=$2
  cmake -S "$top" -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPADDLEBALL_WERROR=OFF \
    -DCMAKE_CXX_FLAGS="$flags -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
}

# ASan aborts at the first error; a leak fails the process at its exit.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$top/tools/sanitizer/lsan.supp:print_suppressions=0
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$top/tools/sanitizer/tsan.supp:print_suppressions=0

for kind in "${kinds[@]}"; do
  case $kind in
    asan)
      folder=$top/build-asan
      echo "== AddressSanitizer + UndefinedBehaviorSanitizer in $folder" >&2
      configure "$folder" "-fsanitize=address,undefined -fno-sanitize-recover=all"
      cmake --build "$folder" -j"$jobs" >/dev/null
      (cd "$folder" && ctest -j"$jobs" --output-on-failure -LE '^(package|lint|e2e)$')
      # The runs in a real X window with leak checking off: SDL loads the X11
      # and Mesa libraries with dlopen and unloads them when video stops, so
      # what they keep for the life of the process shows as leaks of no known
      # module, which no suppression can name. Address and undefined-behaviour
      # errors still fail them; the game on the null back-end (null_backend_run
      # above) and the thousands of opens in window_tests are leak-checked.
      (cd "$folder" && ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0 ctest -j"$jobs" --output-on-failure -L '^e2e$')
      ;;
    tsan)
      folder=$top/build-tsan
      echo "== ThreadSanitizer in $folder" >&2
      configure "$folder" "-fsanitize=thread"
      cmake --build "$folder" -j"$jobs" --target window_tests >/dev/null
      # The window threads on SDL's dummy driver. The end-to-end runs are left
      # out: under ThreadSanitizer the game thread runs about 15 times slower
      # and no longer ends within their timeouts.
      (cd "$folder/tests" && ./window_tests --gtest_brief=1)
      ;;
    *)
      echo "usage: tools/sanitize.sh [asan|tsan]..." >&2
      exit 2
      ;;
  esac
done
echo "sanitizers: clean" >&2
