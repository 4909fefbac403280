#!/usr/bin/env bash
# Checks the project's own C++ code: formatting (clang-format) and a small set
# of static checks (clang-tidy, see .clang-tidy).
# Usage: tools/lint.sh format|tidy BUILD_FOLDER
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find display window game tools tests -name '*.cpp' -o -name '*.h')
case "${1:-}" in
  format)
    clang-format --dry-run --Werror "${sources[@]}"
    echo "format: ${#sources[@]} files clean"
    ;;
  tidy)
    build=${2:?build folder}
    # The program's code; the tests are left to the compiler's warnings.
    run-clang-tidy -quiet -p "$build" "$top/(display|window|game|tools)/.*\.cpp$" >"$build/clang-tidy.log" 2>&1 ||
      { grep -E '(warning|error):' "$build/clang-tidy.log" | sort -u; exit 1; }
    echo "tidy: clean"
    ;;
  *)
    echo "usage: tools/lint.sh format|tidy BUILD_FOLDER" >&2
    exit 2
    ;;
esac
