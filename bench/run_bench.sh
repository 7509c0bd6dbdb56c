#!/usr/bin/env bash
# Times quarvel on a large generated report against `wc -l` on the same file.
#
#   bench/run_bench.sh
#
# Settings come from the environment:
#   REPORT_MB=1024   size of the generated report in MiB
#   RUNS=5           timed runs of each program
#   CRLF=1           also time a CR LF copy of the same report
#   SEED=1 NODES=250 ELEMENTS=300   generator parameters (the acceleration blocks of a
#                                   1 GiB report stay within the 5,000,000 lines that
#                                   the element list pass searches for its header)
#   AXIS=3 REF_NODE=1               answers given to quarvel
#   BUILD=0          skip the release build and use the binaries as they are
#   QUARVEL=path     time another quarvel binary (default build/release/quarvel)
#
# Reports are cached in build/bench/ under a name made of their parameters
# and made again only when the generator is newer than the cached file.
# quarvel runs in a fresh directory below build/bench/ each time, since it
# writes its transfer files into the current directory; those directories
# are removed after every run.

set -euo pipefail
export LC_ALL=C

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
REPORT_MB=${REPORT_MB:-1024}
RUNS=${RUNS:-5}
CRLF=${CRLF:-0}
SEED=${SEED:-1}
NODES=${NODES:-250}
ELEMENTS=${ELEMENTS:-300}
AXIS=${AXIS:-3}
REF_NODE=${REF_NODE:-1}
BUILD=${BUILD:-1}

BENCH_DIR=$ROOT/build/bench
QUARVEL=${QUARVEL:-$ROOT/build/release/quarvel}
GENERATOR=$ROOT/build/release/bench/generate_report
BUILD_LOG=$BENCH_DIR/build.log

say() { printf '%s\n' "$*"; }
warn() { printf 'run_bench: %s\n' "$*" >&2; }
die() {
    warn "$*"
    exit 2
}

[[ $RUNS =~ ^[1-9][0-9]*$ ]] || die "RUNS must be a positive integer (got '$RUNS')"
[[ $REPORT_MB =~ ^[0-9]+([.][0-9]+)?$ ]] || die "REPORT_MB must be a number (got '$REPORT_MB')"
for name in SEED NODES ELEMENTS AXIS REF_NODE; do
    [[ ${!name} =~ ^[0-9]+$ ]] || die "$name must be a non-negative integer (got '${!name}')"
done

mkdir -p "$BENCH_DIR"

# Run directories still present on exit (interrupted runs) are removed.
RUN_DIRS=()
# shellcheck disable=SC2317  # called from the EXIT trap
cleanup() {
    local dir
    for dir in "${RUN_DIRS[@]}"; do [[ -n $dir ]] && rm -rf -- "$dir"; done
    rm -f -- "$BENCH_DIR"/*.rpt.partial.$$ "$BENCH_DIR/quarvel.stderr"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- build -------------------------------------------------------------------

if [[ $BUILD == 1 ]]; then
    say "building release (log: ${BUILD_LOG#"$ROOT"/})"
    if ! (cd "$ROOT" && cmake --preset release && cmake --build --preset release) >"$BUILD_LOG" 2>&1; then
        warn "release build failed; last lines of the log:"
        tail -n 15 "$BUILD_LOG" >&2 || true
        # The generator needs nothing from the rest of the tree.
        (cd "$ROOT" && cmake --build --preset release --target generate_report) >>"$BUILD_LOG" 2>&1 || true
        if [[ -x $QUARVEL ]]; then
            warn "timing the quarvel binary left by an earlier build; it may be out of date"
        fi
    fi
fi

if [[ ! -x $GENERATOR ]]; then
    # Not even the build tree could be configured: compile the generator by hand.
    GENERATOR=$BENCH_DIR/generate_report
    if [[ ! -x $GENERATOR || $ROOT/bench/generate_report.cpp -nt $GENERATOR ]]; then
        warn "compiling the report generator directly"
        "${CXX:-c++}" -std=c++20 -O2 -o "$GENERATOR" "$ROOT/bench/generate_report.cpp" ||
            die "cannot build the report generator"
    fi
fi

HAVE_QUARVEL=1
if [[ ! -x $QUARVEL ]]; then
    HAVE_QUARVEL=0
    warn "no quarvel binary at ${QUARVEL#"$ROOT"/}; timing wc -l only"
fi

TIME_TOOL=
if [[ -x /usr/bin/time ]] && /usr/bin/time -v true >/dev/null 2>&1; then
    TIME_TOOL=/usr/bin/time
else
    warn "/usr/bin/time -v is not available; peak memory will not be measured"
fi

# --- helpers -----------------------------------------------------------------

# Seconds since the epoch with microseconds.
now() { printf '%s' "$EPOCHREALTIME"; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", b - a }'; }

median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { if (NR % 2) printf "%.4f", v[(NR + 1) / 2]; else printf "%.4f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

human_size() {
    awk -v b="$1" 'BEGIN { if (b >= 2^30) printf "%.2f GiB", b / 2^30; else printf "%.1f MiB", b / 2^20 }'
}

report_path() { # $1: 0 for LF, 1 for CR LF
    local suffix=
    [[ $1 == 1 ]] && suffix=-crlf
    printf '%s/report-%smb-seed%s-n%s-e%s%s.rpt' "$BENCH_DIR" "$REPORT_MB" "$SEED" "$NODES" "$ELEMENTS" "$suffix"
}

ensure_report() { # $1: path, $2: 0 or 1 for CR LF
    local path=$1 crlf=$2
    if [[ -s $path && ! $GENERATOR -nt $path ]]; then
        say "reusing $(basename "$path") ($(human_size "$(stat -c %s "$path")"))"
        return
    fi
    local need_kb available_kb
    need_kb=$(awk -v m="$REPORT_MB" 'BEGIN { printf "%d", m * 1024 * 1.05 + 1024 }')
    available_kb=$(df -Pk "$BENCH_DIR" | awk 'NR == 2 { print $4 }')
    if [[ -n $available_kb ]] && ((available_kb < need_kb)); then
        die "not enough disk space in $BENCH_DIR for a $REPORT_MB MiB report"
    fi
    local args=(--megabytes "$REPORT_MB" --seed "$SEED" --nodes "$NODES" --elements "$ELEMENTS")
    [[ $crlf == 1 ]] && args+=(--crlf)
    local partial=$path.partial.$$
    say "generating $(basename "$path")"
    local start end
    start=$(now)
    "$GENERATOR" "${args[@]}" --output "$partial" || die "report generation failed"
    end=$(now)
    mv -f -- "$partial" "$path"
    say "  $(human_size "$(stat -c %s "$path")") in $(elapsed "$start" "$end") s"
}

# Runs quarvel on report $1 in a fresh directory; stdout is discarded.
# Optional $2: file for /usr/bin/time -v output. Sets QUARVEL_RC, QUARVEL_SECONDS,
# QUARVEL_FILES and QUARVEL_ERRORS (first lines of its standard error).
run_quarvel() {
    local report=$1 time_file=${2:-} dir start end
    dir=$(mktemp -d "$BENCH_DIR/run.XXXXXX")
    RUN_DIRS+=("$dir")
    local prefix=()
    [[ -n $time_file ]] && prefix=("$TIME_TOOL" -v -o "$time_file")
    start=$(now)
    set +e
    (cd "$dir" && printf '%s\n%s\n%s\n' "$report" "$AXIS" "$REF_NODE" |
        "${prefix[@]}" "$QUARVEL" >/dev/null 2>"$BENCH_DIR/quarvel.stderr")
    QUARVEL_RC=$?
    set -e
    end=$(now)
    QUARVEL_SECONDS=$(elapsed "$start" "$end")
    QUARVEL_FILES=$(find "$dir" -type f | wc -l)
    QUARVEL_ERRORS=$(head -n 5 "$BENCH_DIR/quarvel.stderr")
    rm -rf -- "$dir"
    RUN_DIRS=("${RUN_DIRS[@]/$dir/}")
}

# --- runs --------------------------------------------------------------------

ROWS=()
NOTES=()
ROW_FORMAT='%-6s %10s %9s %9s %16s %7s %8s %10s %6s'
STATUS=0

bench_variant() { # $1: label, $2: 0 or 1 for CR LF
    local label=$1 crlf=$2 report
    report=$(report_path "$crlf")
    ensure_report "$report" "$crlf"
    local size
    size=$(stat -c %s "$report")

    say "warming the page cache"
    cat -- "$report" >/dev/null

    local wc_times=() quarvel_times=() quarvel_state=ok files=- i start end lines
    [[ $HAVE_QUARVEL == 1 ]] || quarvel_state="not built"
    for ((i = 1; i <= RUNS; i++)); do
        start=$(now)
        lines=$(wc -l <"$report")
        end=$(now)
        wc_times+=("$(elapsed "$start" "$end")")
        local line="  run $i/$RUNS  wc -l ${wc_times[-1]} s"
        if [[ $quarvel_state == ok ]]; then
            run_quarvel "$report"
            if ((QUARVEL_RC != 0)); then
                quarvel_state="failed (exit $QUARVEL_RC)"
                line+="  quarvel failed with exit status $QUARVEL_RC"
                [[ -n $QUARVEL_ERRORS ]] && line+=$'\n'"$(sed 's/^/    | /' <<<"$QUARVEL_ERRORS")"
                STATUS=1
            else
                quarvel_times+=("$QUARVEL_SECONDS")
                files=$QUARVEL_FILES
                line+="  quarvel $QUARVEL_SECONDS s"
            fi
        fi
        say "$line"
    done

    local wc_median quarvel_median=- ratio=- rate=- rss=-
    wc_median=$(median "${wc_times[@]}")
    if [[ $quarvel_state == ok ]]; then
        quarvel_median=$(median "${quarvel_times[@]}")
        ratio=$(awk -v q="$quarvel_median" -v w="$wc_median" 'BEGIN { if (w > 0) printf "%.2fx", q / w; else print "-" }')
        rate=$(awk -v b="$size" -v q="$quarvel_median" 'BEGIN { if (q > 0) printf "%.2f", b / q / 2^30; else print "-" }')
        if [[ -n $TIME_TOOL ]]; then
            local time_file=$BENCH_DIR/quarvel.time
            run_quarvel "$report" "$time_file"
            if ((QUARVEL_RC == 0)); then
                rss=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); printf "%.1f MiB", $2 / 1024 }' "$time_file")
                [[ -n $rss ]] || rss=-
            fi
            rm -f -- "$time_file"
        fi
        quarvel_median+=" s"
        if [[ $files == 0 ]]; then
            NOTES+=("$label: quarvel exited normally but wrote no transfer files; its time leaves out the stress pass")
        fi
    else
        quarvel_median=$quarvel_state
    fi
    # shellcheck disable=SC2059  # one format for the header and the rows
    ROWS+=("$(printf "$ROW_FORMAT" "$label" "$(human_size "$size")" "$lines" "$wc_median s" \
        "$quarvel_median" "$ratio" "$rate" "$rss" "$files")")
}

say "quarvel benchmark: ${REPORT_MB} MiB report, $NODES nodes, $ELEMENTS elements, seed $SEED, $RUNS runs"
bench_variant LF 0
if [[ $CRLF == 1 ]]; then
    bench_variant "CR LF" 1
fi

say ""
# shellcheck disable=SC2059
printf "$ROW_FORMAT\n" "ends" "size" "lines" "wc -l" "quarvel" "q/wc" "q GiB/s" "peak RSS" "files"
for row in "${ROWS[@]}"; do say "$row"; done
say "(medians of $RUNS runs, warm page cache; files = transfer files quarvel wrote)"
for note in "${NOTES[@]}"; do warn "$note"; done

if [[ $HAVE_QUARVEL == 0 ]]; then
    STATUS=1
fi
exit "$STATUS"
