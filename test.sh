#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless through CTest.
#   ./test.sh              the regular build in build-test/
#   ./test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

mode=test
dir=build-test
opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DORX_BUILD_TESTS=ON)
for arg in "$@"; do
    case "$arg" in
        --sanitize)
            mode=sanitize
            dir=build-sanitize
            # Debug keeps Qt's inline assertions; -O1 makes the instrumented
            # suite several times faster than -O0, as the sanitizers advise.
            opts=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DORX_BUILD_TESTS=ON -DORX_SANITIZE=ON)
            ;;
        *) echo "unknown option: $arg" >&2; exit 2 ;;
    esac
done

orx_install_packages "$mode"
orx_build "$dir" "${opts[@]}"

export QT_QPA_PLATFORM=offscreen
if [ "$mode" = sanitize ]; then
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:check_initialization_order=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
cd "$dir"
ctest --output-on-failure --parallel "$(nproc 2>/dev/null || echo 2)"
