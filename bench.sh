#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs every bench/bench_* executable
# and prints one table of all their figures, each beside its target.
#   ./bench.sh          build in build-bench/
#   ./bench.sh DIR      build in DIR instead
# The raw output of each benchmark stays in DIR/bench-logs/. Exit status: 0 when
# every figure meets its target, 1 when one misses it or a benchmark fails or
# warns that its figures measure something else.
#
# The table is made from the lines "ORX-FIGURE<TAB>area<TAB>name<TAB>median<TAB>
# p95<TAB>unit<TAB>target<TAB>result" and "ORX-WARNING<TAB>text" the benchmarks
# print (bench/benchsupport.h describes them); the rest of their output is for
# whoever runs them by hand.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

dir="${1:-build-bench}"
orx_install_packages build
orx_build "$dir" -DCMAKE_BUILD_TYPE=Release -DORX_BUILD_BENCH=ON -DORX_BUILD_TESTS=OFF

root="$PWD"
logs="$root/$dir/bench-logs"
rm -rf "$logs"
mkdir -p "$logs"
# The benchmarks run headless, in a scratch folder (the program writes app.log
# into its working folder), with settings kept away from the user's own.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C.UTF-8

# The order of the table: calculations, start-up, the forms, files, reports;
# benchmarks added later follow.
order="engine startup kvform selectionforms configurators documents report"
benches=""
for name in $order; do
    [ -x "$dir/bench/bench_$name" ] && benches="$benches $name"
done
for exe in "$dir"/bench/bench_*; do
    [ -f "$exe" ] && [ -x "$exe" ] || continue
    name="${exe##*/bench_}"
    case " $order " in *" $name "*) ;; *) benches="$benches $name" ;; esac
done

# Figures in benchmark order, the memory figures last; warnings under the table.
rows="$work/rows.tsv"
memory="$work/memory.tsv"
notes="$work/notes.txt"
: >"$rows"
: >"$memory"
: >"$notes"
failed=""
for name in $benches; do
    echo "running bench_$name ..." >&2
    code=0
    (cd "$work" && "$root/$dir/bench/bench_$name") >"$logs/$name.txt" 2>"$logs/$name.err" || code=$?
    figures="$work/$name.tsv"
    grep '^ORX-FIGURE	' "$logs/$name.txt" | cut -f2- >"$figures" || true
    grep '^ORX-WARNING	' "$logs/$name.txt" | cut -f2- | sed "s/^/bench_$name: /" >>"$notes" || true
    grep -v '^memory	' "$figures" >>"$rows" || true
    grep '^memory	' "$figures" >>"$memory" || true
    # Exit status 1 is a missed target, and one of the figures must show it;
    # anything else, or no figure at all, means the benchmark did not run through.
    if [ ! -s "$figures" ] || [ "$code" -gt 1 ] ||
        { [ "$code" -eq 1 ] && ! cut -f7 "$figures" | grep -qx MISSED; }; then
        failed="$failed bench_$name (exit status $code)"
    fi
done

echo
load="$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo '?')"
echo "Оримакс-расчёт benchmarks: Release build in $dir, $(date '+%Y-%m-%d %H:%M'), $(nproc 2>/dev/null || echo '?') cores, load average $load"
cat "$rows" "$memory" | awk -F'\t' -v failed="$failed" -v notes="$notes" '
    # The value with its unit in a column of 13 characters (µ is two bytes).
    function cell(value, unit) {
        if (value == "") return sprintf("%13s", "")
        if (unit == "us") return sprintf("%10s µs", value)
        return sprintf("%10s %-2s", value, unit)
    }
    BEGIN {
        line = "----------------+------------------------------------------------------+---------------+---------------+--------------------------------+-------"
        printf "%-15s | %-52s | %13s | %13s | %-30s | %s\n", "area", "figure", "median", "p95", "target", "result"
        print line
    }
    {
        if ($7 == "MISSED") missed++
        target = $6
        wide = gsub(/ us/, " µs", target)
        out = sprintf("%-15s | %-52s | %s | %s | %-" (30 + wide) "s | %s", $1, $2, cell($3, $5), cell($4, $5), target, $7)
        sub(/ +$/, "", out)
        print out
    }
    END {
        print line
        if (failed != "") print "did not run through:" failed
        while ((getline note < notes) > 0) {
            print note
            warned = 1
        }
        printf "%d figure(s) missed the target\n", missed
        exit (missed > 0 || failed != "" || warned) ? 1 : 0
    }
'
