#!/usr/bin/env bash
# Bounded fuzzing with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   fuzz/run.sh [--no-build] SECONDS [TARGET...] [-libfuzzer_option=value...]
#
# Targets: document engine drive texttable (all four when none is named), run
# one after another for SECONDS each. Arguments starting with "-" go to
# libFuzzer as they are (for example -fork=1 -ignore_crashes=1 to go on past
# a known finding). Builds with clang in build-fuzz/ (needs
# the Debian packages clang and libclang-rt-14-dev, or the version of your
# clang). The seed corpus fuzz/corpus/TARGET is read, never written: what the
# fuzzer learns goes to build-fuzz/work/TARGET/corpus, and every crash, leak, hang or
# broken invariant to build-fuzz/findings/TARGET/ (crash-*, leak-*,
# timeout-*, oom-*). A finding, once fixed, belongs in fuzz/corpus/TARGET/
# as regression-<what>.<ext>, where the corpus replay of ./test.sh keeps it.
# The exit status is non-zero when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."

build=1
if [ "${1:-}" = "--no-build" ]; then
    build=0
    shift
fi
seconds="${1:?usage: fuzz/run.sh [--no-build] SECONDS [TARGET...]}"
shift
targets=()
options=()
for arg in "$@"; do
    case "$arg" in
        -*) options+=("$arg") ;;
        *) targets+=("$arg") ;;
    esac
done
[ ${#targets[@]} -eq 0 ] && targets=(document engine drive texttable)

dir=build-fuzz
if [ "$build" = 1 ]; then
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        generator=()
        command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
        cmake -S . -B "$dir" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DORX_BUILD_TESTS=ON -DORX_SANITIZE=ON -DORX_BUILD_FUZZ=ON
    fi
    cmake --build "$dir" --parallel "$(nproc 2>/dev/null || echo 2)" \
        --target $(printf 'fuzz_%s ' "${targets[@]}")
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Per target: the largest input worth trying and the largest single allocation
# it may make. A document of 64 KiB must never ask for more than a few MiB.
declare -A max_len=([document]=65536 [engine]=512 [drive]=1024 [texttable]=8192)
declare -A malloc_mb=([document]=64 [engine]=64 [drive]=64 [texttable]=512)

root="$PWD"
status=0
for target in "${targets[@]}"; do
    work="$root/$dir/work/$target"
    findings="$root/$dir/findings/$target"
    mkdir -p "$work/corpus" "$findings"
    dict=()
    [ -f "fuzz/$target.dict" ] && dict=(-dict="$root/fuzz/$target.dict")
    echo "== $target: $seconds s"
    # The working folder catches the files a target may write (logs).
    # -close_fd_mask=1 silences the console lines of the error handler.
    if ! (cd "$work" && "$root/$dir/fuzz/fuzz_$target" "${dict[@]}" \
            -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -malloc_limit_mb="${malloc_mb[$target]}" -max_len="${max_len[$target]}" \
            -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$findings/" "${options[@]}" \
            "$work/corpus" "$root/fuzz/corpus/$target"); then
        status=1
        echo "== $target: FINDINGS in $findings"
    fi
done
exit $status
