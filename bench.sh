#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs every bench/bench_* executable
# and prints one table of all their figures, each beside its target.
#   ./bench.sh          build in build-bench/
#   ./bench.sh DIR      build in DIR instead
# The raw output of each benchmark stays in DIR/bench-logs/. Exit status: 0 when
# every figure meets its target, 1 when one misses it or a benchmark fails or
# warns that its figures measure something else.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

dir="${1:-build-bench}"
orx_install_packages build
generator=""
command -v ninja >/dev/null 2>&1 && generator="-G Ninja"
# Configured on every run, so that a folder made with other options gets these.
cmake -S . -B "$dir" $generator -DCMAKE_BUILD_TYPE=Release -DORX_BUILD_BENCH=ON -DORX_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" --parallel "$(nproc 2>/dev/null || echo 2)"

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

# Turns the output of one benchmark into rows "area<TAB>figure<TAB>median<TAB>
# unit<TAB>p95<TAB>target"; the memory rows go to a second file, printed last,
# and a benchmark's own warning about its figures to a third.
parse() {
    awk -F'|' -v bench="$1" -v memory="$3" -v notes="$4" '
        BEGIN {
            names["engine"] = "engine"
            names["kvform"] = "Kv form"
            names["selectionforms"] = "selection forms"
            names["configurators"] = "configurators"
            names["documents"] = "documents"
            names["report"] = "PDF report"
            area = (bench in names) ? names[bench] : bench
        }
        function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
        # Names keep their indentation: an indented row details the one above.
        function rtrim(s) { sub(/[ \t]+$/, "", s); return s }
        function number(s) { s = trim(s); sub(/ .*/, "", s); return s }
        function unit(s) { s = trim(s); sub(/^[^ ]* */, "", s); return s }
        function row(area, name, median, u, p95, target) {
            printf "%s\t%s\t%s\t%s\t%s\t%s\n", area, name, median, u, p95, target
        }
        function mem(name, value, target) {
            printf "memory\t%s\t%s\tMB\t\t%s\n", name, value, target >> memory
        }
        # "(target <= 150 MB)" -> "<= 150 MB"
        function targetIn(s) {
            if (!match(s, /\(target [^)]*\)/)) return "-"
            return substr(s, RSTART + 8, RLENGTH - 9)
        }
        /did not|something else/ {
            print "bench_" bench ": " $0 >> notes
            next
        }
        # "... 95.3 MB with twenty valve tabs open (target <= 150 MB)"
        / MB with twenty valve tabs open / {
            n = split($0, w, " ")
            for (i = 3; i <= n; i++)
                if (w[i] == "with" && w[i + 1] == "twenty")
                    mem("twenty valve tabs open (whole process)", w[i - 2], targetIn($0))
            next
        }
        /resident memory with the 20 tabs open:/ {
            n = split($0, w, " ")
            for (i = 1; i < n; i++)
                if (w[i] == "open:")
                    mem("twenty Kv tabs open, full HD (whole process)", w[i + 1], targetIn($0))
            next
        }
        /resident memory taken by the 20 tabs:/ {
            n = split($0, w, " ")
            mem("  of which the twenty Kv tabs themselves", w[n - 1], "-")
            next
        }
        # Start-up: two medians and their ratio.
        bench == "startup" && NF == 2 && $2 ~ / ms *$/ {
            row("start-up", trim($1) " (median)", number($2), "ms", "", "-")
            next
        }
        bench == "startup" && NF == 3 && trim($1) == "ratio" {
            target = trim($3)
            sub(/^target */, "", target)
            row("start-up", "ratio: program / minimal Qt Widgets program", number($2), "", "", target)
            next
        }
        # orxbench::report(): "figure | median unit | p95 unit | target".
        NF == 4 && trim($2) ~ /^[0-9.]+ [A-Za-z]+$/ && trim($3) ~ /^[0-9.]+ [A-Za-z]+$/ {
            row(area, rtrim($1), number($2), unit($2), number($3), trim($4))
        }
    ' "$2"
}

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
    before=$(cat "$rows" "$memory" | wc -l)
    parse "$name" "$logs/$name.txt" "$memory" "$notes" >>"$rows"
    # A benchmark reports a missed target through its exit status 1; anything
    # else, or no figure at all, means it did not run through.
    if [ "$code" -gt 1 ] || [ "$(cat "$rows" "$memory" | wc -l)" -eq "$before" ]; then
        failed="$failed bench_$name (exit status $code)"
    fi
done

echo
load="$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo '?')"
echo "Оримакс-расчёт benchmarks: Release build in $dir, $(date '+%Y-%m-%d %H:%M'), $(nproc 2>/dev/null || echo '?') cores, load average $load"
cat "$rows" "$memory" | awk -F'\t' -v failed="$failed" -v notes="$notes" '
    function base(value, u) {
        if (u == "ms") return value * 1000
        if (u == "s") return value * 1000000
        return value + 0
    }
    # Each clause of the target ("<= 8 ms median, <= 16 ms p95") is checked
    # against the median, or the 95th percentile when it names it.
    function verdict(median, u, p95, target,   n, parts, i, c, limit, rest, w, lu, figure, any, ok) {
        if (target ~ /NOT/) return "MISSED"
        n = split(target, parts, ",")
        any = 0
        ok = 1
        for (i = 1; i <= n; i++) {
            c = parts[i]
            if (!match(c, /<= *[0-9.]+/)) continue
            limit = substr(c, RSTART, RLENGTH)
            sub(/<= */, "", limit)
            rest = substr(c, RSTART + RLENGTH)
            split(rest, w, " ")
            lu = (w[1] ~ /^(us|ms|s|MB)$/) ? w[1] : u
            figure = (c ~ /p95/) ? p95 : median
            if (figure == "") continue
            any = 1
            if (base(figure, u) > base(limit, lu)) ok = 0
        }
        if (!any) return ""
        return ok ? "ok" : "MISSED"
    }
    # The value with its unit in a column of 13 characters (µ is two bytes).
    function cell(value, u) {
        if (value == "") return sprintf("%13s", "")
        if (u == "us") return sprintf("%10s µs", value)
        return sprintf("%10s %-2s", value, u)
    }
    BEGIN {
        line = "----------------+------------------------------------------------------+---------------+---------------+--------------------------------+-------"
        printf "%-15s | %-52s | %13s | %13s | %-30s | %s\n", "area", "figure", "median", "p95", "target", "result"
        print line
    }
    {
        v = verdict($3, $4, $5, $6)
        if (v == "MISSED") missed++
        target = ($6 == "-" || $6 == "") ? "" : $6
        wide = gsub(/ us/, " µs", target)
        out = sprintf("%-15s | %-52s | %s | %s | %-" (30 + wide) "s | %s", $1, $2, cell($3, $4), cell($5, $4), target, v)
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
