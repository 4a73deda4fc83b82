#!/usr/bin/env bash
# The unit tests in a Debug build with AddressSanitizer and UndefinedBehaviorSanitizer, in
# build-sanitize/ (preset sanitize): a failed assertion, a memory error, a leak or undefined
# behaviour fails them. Runs as the test asan.unit; extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize "$@"
