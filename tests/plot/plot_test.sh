#!/usr/bin/env bash
# Tests for tools/quarvel-plot.
#
# usage: plot_test.sh PATH/TO/quarvel-plot [DIR]
# DIR, when given, holds the transfer files of the bundled example's run.
# Exits 0 when every check passes, 1 on a failure, 77 when gnuplot is not
# installed (ctest reports the test as skipped).

set -u

script=${1:?usage: plot_test.sh PATH/TO/quarvel-plot}
[ -f "$script" ] || { echo "no such script: $script" >&2; exit 1; }
script="$(cd -- "$(dirname -- "$script")" && pwd)/$(basename -- "$script")"
command -v gnuplot >/dev/null 2>&1 || { echo "gnuplot not installed: skipping"; exit 77; }
bash_bin=$(command -v bash)

work=$(mktemp -d "${TMPDIR:-/tmp}/plot_test.XXXXXX") || exit 1
trap 'rm -rf -- "$work"' EXIT

failures=0
checks=0
current=

fail() {
    printf 'FAIL [%s] %s\n' "$current" "$1"
    failures=$((failures + 1))
}

check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    checks=$((checks + 1))
    "$@" || fail "$what"
}

# Runs the plot command with its own TMPDIR, so leftovers can be seen.
# Sets $out (stdout and stderr together) and $rc.
run_plot() {
    local tmpdir="$work/tmp.$RANDOM$RANDOM"
    mkdir "$tmpdir"
    out=$(TMPDIR="$tmpdir" "$bash_bin" "$script" "$@" 2>&1)
    rc=$?
    leftovers=$(ls -A "$tmpdir")
}

# Writes rows in the transfer file format: every field " %12.4e" with a
# three-digit exponent (non-finite fields right-aligned), then two spaces
# and CR LF. Input: one row per line, four whitespace-separated fields.
rows() {
    awk '
        function field(s,   t, m, e) {
            if (s ~ /^[-+]?(inf|nan)$/) return sprintf(" %12s", s)
            t = sprintf("%.4e", s + 0)
            m = t; sub(/e.*/, "", m)
            e = t; sub(/.*e/, "", e)
            return sprintf(" %12s", sprintf("%se%s%03d", m, substr(e, 1, 1), substr(e, 2) + 0))
        }
        NF == 4 { printf "%s%s%s%s  \r\n", field($1), field($2), field($3), field($4) }'
}

# A smooth resonance curve for element files: "rows_for PEAK_AT SCALE".
resonance() {
    awk -v fr="$1" -v scale="$2" 'BEGIN {
        n = split("10 20 50 100 200 500 1000", f, " ")
        for (i = 1; i <= n; i++) {
            r = f[i] / fr
            s = scale / ((1 - r * r) ^ 2 + 0.05)
            printf "%g %g %g 2\n", f[i], (386 * s / 2) ^ 2, s
        }
    }' | rows
}

# PNG width and height from the IHDR chunk (bytes 16..23, big-endian).
png_size() {
    od -An -tu1 -j16 -N8 -- "$1" | awk '{
        for (i = 1; i <= NF; i++) b[i] = $i
        printf "%dx%d\n", ((b[1] * 256 + b[2]) * 256 + b[3]) * 256 + b[4],
                          ((b[5] * 256 + b[6]) * 256 + b[7]) * 256 + b[8]
    }'
}

is_png() {
    [ "$(od -An -tx1 -N8 -- "$1" | tr -d ' \n')" = 89504e470d0a1a0a ]
}

# One line per plotted curve in an SVG written by gnuplot, in plot order:
#   TITLE <tab> x,y x,y ... <tab> number of point markers
# gnuplot puts each plot in <g id="gnuplot_plot_N"><title>...</title>; the
# first two path vertices are the key sample, the rest are the data points.
# Point markers are <use> elements; the key sample of a point style is one.
svg_curves() {
    awk '
        function flush() {
            if (in_plot) {
                v = ""
                for (i = 3; i <= nv; i++) v = v (i > 3 ? " " : "") vert[i]
                print title "\t" v "\t" marks
            }
            in_plot = 0
        }
        {
            line = $0
            if (line ~ /<g id="gnuplot_plot_[0-9]+"/) {
                flush()
                in_plot = 1; start = depth; nv = 0; marks = 0; title = ""
                if (match(line, /<title>[^<]*<\/title>/))
                    title = substr(line, RSTART + 7, RLENGTH - 15)
            }
            if (in_plot) {
                s = line
                if (line ~ /<use [^>]*translate\(/) marks++
                while (match(s, /[ML]-?[0-9.]+,-?[0-9.]+/)) {
                    vert[++nv] = substr(s, RSTART + 1, RLENGTH - 1)
                    s = substr(s, RSTART + RLENGTH)
                }
            }
            t = line; opens = gsub(/<g[ >]/, "", t)
            t = line; closes = gsub(/<\/g>/, "", t)
            depth += opens - closes
            if (in_plot && depth <= start) flush()
        }
        END { flush() }' "$1"
}

curve_titles() { svg_curves "$1" | cut -f1 | paste -sd' ' -; }

# Number of data points of the curve titled $2.
curve_points() {
    svg_curves "$1" | awk -F'\t' -v t="$2" '$1 == t { print ($2 == "" ? 0 : split($2, a, " ")); found = 1 }
                                              END { if (!found) print -1 }'
}

lines_matching() { printf '%s\n' "$out" | grep -c -- "$1"; }

# --- three elements, default directory ---------------------------------

current="three elements"
d="$work/three"
mkdir "$d"
resonance 100 1 > "$d/101_stressHH.dat"
resonance 200 3 > "$d/-7_stressHH.dat"
resonance 50 2 > "$d/3_stressHH.dat"
check "fixture rows are 56 bytes with CR LF" \
    awk 'BEGIN { RS = "\n" } { if (length($0) != 55 || $0 !~ /\r$/) bad = 1 } END { exit bad }' "$d/101_stressHH.dat"
check "fixture uses three exponent digits" grep -q '  1.0000e+001 ' "$d/101_stressHH.dat"

tmpdir="$work/tmp.three"
mkdir "$tmpdir"
out=$(cd "$d" && TMPDIR="$tmpdir" "$bash_bin" "$script" 2>&1)
rc=$?
leftovers=$(ls -A "$tmpdir")
check "status 0 (got $rc): $out" [ "$rc" -eq 0 ]
check "prints the PNG path: $out" grep -q 'transfer\.png' <<< "$out"
check "prints the SVG path: $out" grep -q 'transfer\.svg' <<< "$out"
check "no skip lines: $out" [ "$(lines_matching skipped)" -eq 0 ]
check "temporary directory removed: $leftovers" [ -z "$leftovers" ]
check "transfer.png is a PNG" is_png "$d/transfer.png"
check "transfer.png is 1200x800 (got $(png_size "$d/transfer.png"))" [ "$(png_size "$d/transfer.png")" = 1200x800 ]
check "transfer.svg written" grep -q '<svg' "$d/transfer.svg"
titles=$(curve_titles "$d/transfer.svg")
check "one curve per element in numeric id order (got '$titles')" [ "$titles" = "-7 3 101" ]
for id in -7 3 101; do
    n=$(curve_points "$d/transfer.svg" "$id")
    check "curve $id has all 7 rows (got $n)" [ "$n" -eq 7 ]
done
check "axis titles" grep -q 'Frequency (Hz)' "$d/transfer.svg"
check "y axis title" grep -q 'Transfer value' "$d/transfer.svg"

# Running again replaces the previous plot.
run_plot "$d"
check "second run, status 0 (got $rc): $out" [ "$rc" -eq 0 ]

# --- non-finite rows and empty files; a directory name with odd characters

current="non-finite and empty"
d="$work/odd dir 'with' \$chars"
mkdir "$d"
rows > "$d/5_stressHH.dat" <<'EOF'
10 1.0e3 2.0e2 2
20 inf 2.0e2 0
50 3.0e3 2.0e2 2
100 4.0e3 2.0e2 2
EOF
rows > "$d/-2_stressHH.dat" <<'EOF'
10 nan 0 0
20 2.0e3 2.0e2 2
50 -inf 2.0e2 0
100 4.0e3 2.0e2 2
200 5.0e3 2.0e2 2
EOF
: > "$d/9_stressHH.dat"
# Zero frequency and zero transfer values: not drawable on log axes, but
# the element still plots.
rows > "$d/11_stressHH.dat" <<'EOF'
0 1.0e3 1 2
10 1.0e3 1 2
20 0 0 2
50 3.0e3 1 2
100 4.0e3 1 2
EOF
# Nothing finite at all: skipped like an empty file, no gnuplot complaint.
rows > "$d/13_stressHH.dat" <<'EOF'
10 inf 1 0
20 nan 1 0
EOF
# A single plottable row still has to show up.
rows > "$d/17_stressHH.dat" <<'EOF'
10 nan 1 0
50 2.0e3 1 2
EOF
# Non-finite stress or acceleration columns do not matter.
rows > "$d/15_stressHH.dat" <<'EOF'
10 1.0e3 inf 0
20 2.0e3 1 nan
EOF

run_plot "$d"
check "status 0 (got $rc): $out" [ "$rc" -eq 0 ]
check "one skip line for 5_stressHH.dat: $out" [ "$(lines_matching ' 5_stressHH\.dat')" -eq 1 ]
check "5_stressHH.dat: 1 non-finite row: $out" grep -q 'skipped 1 non-finite row.* 5_stressHH\.dat' <<< "$out"
check "-2_stressHH.dat: 2 non-finite rows: $out" grep -q 'skipped 2 non-finite rows.* -2_stressHH\.dat' <<< "$out"
check "one line for -2_stressHH.dat: $out" [ "$(lines_matching ' -2_stressHH\.dat')" -eq 1 ]
check "empty file reported once: $out" [ "$(lines_matching 'skipped empty file 9_stressHH\.dat')" -eq 1 ]
check "all-non-finite file reported once: $out" [ "$(lines_matching '13_stressHH\.dat')" -eq 1 ]
check "13_stressHH.dat: 2 non-finite rows: $out" grep -q 'skipped 2 non-finite rows.* 13_stressHH\.dat' <<< "$out"
check "no complaint about 15_stressHH.dat: $out" [ "$(lines_matching '15_stressHH\.dat')" -eq 0 ]
check "no gnuplot warnings or errors: $out" [ "$(printf '%s\n' "$out" | grep -ci 'warning\|error\|gnuplot')" -eq 0 ]
check "temporary directory removed: $leftovers" [ -z "$leftovers" ]
check "transfer.png in the odd directory" is_png "$d/transfer.png"
titles=$(curve_titles "$d/transfer.svg")
check "curves for the plottable elements only (got '$titles')" [ "$titles" = "-2 5 11 15 17" ]
n=$(curve_points "$d/transfer.svg" 5)
check "5: the three finite rows plotted (got $n)" [ "$n" -eq 3 ]
n=$(curve_points "$d/transfer.svg" -2)
check "-2: the three finite rows plotted (got $n)" [ "$n" -eq 3 ]
n=$(curve_points "$d/transfer.svg" 11)
check "11: the three positive points plotted (got $n)" [ "$n" -eq 3 ]
marks=$(svg_curves "$d/transfer.svg" | awk -F'\t' '$1 == "17" { print ($2 == "" ? 0 : split($2, a, " ")) + $3 }')
check "17: its single point is drawn (got ${marks:-nothing})" [ "${marks:-0}" -ge 2 ]

# --- nothing to plot --------------------------------------------------------

current="empty directory"
d="$work/empty"
mkdir "$d"
run_plot "$d"
check "status 1 (got $rc)" [ "$rc" -eq 1 ]
check "says there is nothing to plot: $out" grep -qi 'no.*\(transfer\|stressHH\)' <<< "$out"
check "no skip lines: $out" [ "$(lines_matching skipped)" -eq 0 ]
check "no png written" [ ! -e "$d/transfer.png" ]
check "no svg written" [ ! -e "$d/transfer.svg" ]
check "temporary directory removed: $leftovers" [ -z "$leftovers" ]

current="only unplottable files"
d="$work/unplottable"
mkdir "$d"
: > "$d/1_stressHH.dat"
printf '\r\n' > "$d/2_stressHH.dat"
rows > "$d/3_stressHH.dat" <<'EOF'
10 nan 1 0
EOF
run_plot "$d"
check "status 1 (got $rc)" [ "$rc" -eq 1 ]
check "empty file reported: $out" grep -q 'skipped empty file 1_stressHH\.dat' <<< "$out"
check "blank-line file reported as empty: $out" grep -q 'skipped empty file 2_stressHH\.dat' <<< "$out"
check "non-finite file reported: $out" grep -q 'skipped 1 non-finite row.* 3_stressHH\.dat' <<< "$out"
check "says there is nothing to plot: $out" grep -qi 'nothing to plot\|no plottable' <<< "$out"
check "no png written" [ ! -e "$d/transfer.png" ]

current="missing directory"
run_plot "$work/does-not-exist"
check "non-zero status (got $rc)" [ "$rc" -ne 0 ]
check "names the directory: $out" grep -q 'does-not-exist' <<< "$out"

# --- many elements: envelope and the ten highest peaks ---------------------
#
# Peaks chosen so that comparing them as text or by id picks the wrong ten
# (9.0e8 sorts above 1.0e9 as text). Element 16 has a low peak but the
# largest value at 10 Hz, so the envelope there comes from an element that
# is not drawn.

current="many elements"
d="$work/many"
mkdir "$d"
while read -r id peak low; do
    rows > "$d/${id}_stressHH.dat" <<EOF
10 $low 1 2
100 $peak 1 2
1000 $(awk -v p="$peak" 'BEGIN { printf "%g", p / 100 }') 1 2
EOF
done <<'EOF'
-3 9.0e8 1e3
-1 1.0e9 1e3
2 2.0e10 1e3
4 3.0e7 1e3
6 5.0e9 1e3
8 8.0e8 1e3
10 7.0e9 1e3
12 1.5e9 1e3
14 6.0e8 1e3
16 1.0e8 5e3
18 4.0e10 1e3
20 2.0e8 1e3
22 9.5e9 1e3
100 3.0e9 1e3
EOF
# Element 24: a non-finite value must not leak into the envelope.
rows > "$d/24_stressHH.dat" <<'EOF'
10 1e3 1 2
100 inf 1 0
1000 1e1 1 2
EOF

run_plot "$d"
check "status 0 (got $rc): $out" [ "$rc" -eq 0 ]
check "skip line for 24_stressHH.dat: $out" grep -q 'skipped 1 non-finite row.* 24_stressHH\.dat' <<< "$out"
curves=$(svg_curves "$d/transfer.svg")
titles=$(cut -f1 <<< "$curves" | paste -sd' ' -)
first=$(cut -f1 <<< "$curves" | head -n1)
check "envelope is the first legend entry (got '$first')" grep -qi 'envelope' <<< "$first"
check "envelope plus the ten highest peaks in id order (got '$titles')" \
    [ "$(cut -f1 <<< "$curves" | tail -n +2 | paste -sd' ' -)" = "-3 -1 2 6 8 10 12 18 22 100" ]
check "eleven curves" [ "$(wc -l <<< "$curves")" -eq 11 ]
n=$(curve_points "$d/transfer.svg" "$first")
check "envelope has one point per frequency (got $n)" [ "$n" -eq 3 ]
# SVG y grows downwards: at 10 Hz the envelope must lie above every drawn
# curve (it comes from element 16); at 100 Hz it meets the highest curve.
check "envelope covers elements that are not drawn, and meets the top curve" awk -F'\t' '
    NR == 1 { split($2, v, " "); split(v[1], p, ","); env10 = p[2]; split(v[2], p, ","); env100 = p[2]; next }
    {
        split($2, v, " "); split(v[1], p, ","); if (min10 == "" || p[2] < min10) min10 = p[2]
        split(v[2], p, ","); if (min100 == "" || p[2] < min100) min100 = p[2]
    }
    END {
        ok = (env10 < min10 - 1) && (env100 - min100 < 0.5 && min100 - env100 < 0.5)
        if (!ok) printf "envelope y %s/%s, highest drawn curve y %s/%s\n", env10, env100, min10, min100
        exit !ok
    }' <<< "$curves"
check "no png leftovers in temp: $leftovers" [ -z "$leftovers" ]
# Log-log axes: 10, 100 and 1000 Hz are evenly spaced, and every element
# falls by the same height from its peak to peak/100 at 1000 Hz.
check "log-log axes" awk -F'\t' '
    NR > 1 {
        split($2, v, " "); split(v[1], a, ","); split(v[2], b, ","); split(v[3], c, ",")
        dx = (b[1] - a[1]) - (c[1] - b[1]); if (dx < 0) dx = -dx
        if (dx > 0.5) { printf "x not logarithmic: %s\n", $2; bad = 1 }
        drop = c[2] - b[2]
        if (NR > 2 && (drop - drop0 > 0.5 || drop0 - drop > 0.5)) { printf "y not logarithmic: %s\n", $2; bad = 1 }
        drop0 = drop
    }
    END { exit bad }' <<< "$curves"

# Exactly ten elements: every element drawn, no envelope.
rm -- "$d/4_stressHH.dat" "$d/14_stressHH.dat" "$d/16_stressHH.dat" "$d/20_stressHH.dat" "$d/24_stressHH.dat"
run_plot "$d"
check "ten elements, status 0 (got $rc): $out" [ "$rc" -eq 0 ]
titles=$(curve_titles "$d/transfer.svg")
check "ten elements: all drawn, no envelope (got '$titles')" [ "$titles" = "-3 -1 2 6 8 10 12 18 22 100" ]

# --- the bundled example's files ---------------------------------------------

if [ -n "${2:-}" ]; then
    current="example run"
    d="$work/example"
    mkdir "$d"
    cp -- "$2"/*_stressHH.dat "$d"/
    run_plot "$d"
    check "status 0 (got $rc): $out" [ "$rc" -eq 0 ]
    check "transfer.png is 1200x800 (got $(png_size "$d/transfer.png"))" [ "$(png_size "$d/transfer.png")" = 1200x800 ]
    titles=$(curve_titles "$d/transfer.svg")
    check "one curve per element of the example (got '$titles')" [ "$titles" = "101 102 103 104" ]
    for id in 101 102 103 104; do
        n=$(curve_points "$d/transfer.svg" "$id")
        check "curve $id has all 100 rows (got $n)" [ "$n" -eq 100 ]
    done
fi

# --- gnuplot missing --------------------------------------------------------

current="no gnuplot"
fake="$work/fakebin"
mkdir "$fake"
for tool in bash sh env awk mawk gawk cat mktemp rm mv cp ls sort head tail tr od wc \
            cut paste mkdir rmdir dirname basename readlink sed grep; do
    p=$(command -v "$tool") && [ "${p#/}" != "$p" ] && ln -s "$p" "$fake/$tool"
done
check "fake PATH has no gnuplot" [ ! -e "$fake/gnuplot" ]
d="$work/three"
rm -f -- "$d/transfer.png" "$d/transfer.svg"
out=$(PATH="$fake" "$bash_bin" "$script" "$d" 2>&1)
rc=$?
check "status 1 (got $rc): $out" [ "$rc" -eq 1 ]
check "install hint: $out" grep -q 'install gnuplot: apt-get install gnuplot-nox' <<< "$out"
check "no png written" [ ! -e "$d/transfer.png" ]

# ---------------------------------------------------------------------------

if [ "$failures" -gt 0 ]; then
    printf '%d of %d checks failed\n' "$failures" "$checks"
    exit 1
fi
printf 'all %d checks passed\n' "$checks"
exit 0
