#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite in build/, then runs it again
# under the sanitizers (TAVREL_SANITIZERS=0 skips them), each build in a
# folder of its own:
#   build-asan/  AddressSanitizer with UndefinedBehaviorSanitizer, every test
#   build-tsan/  ThreadSanitizer, the kit's, the editors', the overview's and the
#                application's tests
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/setup.sh

phase() {
    echo "== $1 ($(date -u +%H:%M:%S))"
}

phase "plain build and tests"
start=$SECONDS
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_TESTS=ON
cmake --build build -j2
(cd build && ctest --output-on-failure -j2 --timeout 600)
if [ "${TAVREL_SANITIZERS:-1}" = "0" ]; then
    exit 0
fi
echo "== plain: $((SECONDS - start)) s"

# Reports fail the test that caused them; suppressions name third-party
# libraries only (tests/sanitizers/ says why for each).
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="suppressions=$root/tests/sanitizers/tsan.supp:halt_on_error=0:second_deadlock_stack=1"

phase "AddressSanitizer and UndefinedBehaviorSanitizer: build and every test"
start=$SECONDS
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_TESTS=ON \
    -DTAVREL_SANITIZE=address
cmake --build build-asan -j2
(cd build-asan && ctest --output-on-failure -j2 --timeout 900)
echo "== asan: $((SECONDS - start)) s"

phase "ThreadSanitizer: build and the kit, editor and application tests"
start=$SECONDS
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_TESTS=ON \
    -DTAVREL_SANITIZE=thread
cmake --build build-tsan -j2 --target kit_tests editor_tests overview_tests app_tests
(cd build-tsan && ctest --output-on-failure -j2 --timeout 900 -L '^(kit|editor|overview|app)$')
echo "== tsan: $((SECONDS - start)) s"
