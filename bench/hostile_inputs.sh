#!/usr/bin/env bash
# Runs quarvel on hostile and large reports and on its failure paths, and
# checks each run against a bound on wall time and peak memory.
#
#   bench/hostile_inputs.sh
#
# Settings come from the environment:
#   BUILD=1           build the release binary first (0: use it as it is)
#   TIME_BOUND=30     seconds a case may take, plus FILE_US per transfer file
#   FILE_US=50        microseconds allowed per transfer file created
#   TIMEOUT=120       seconds after which a run on a report file is stopped
#   ENDLESS_TIMEOUT=35  the same for endless input
#   QUARVEL=path      another binary (default build/release/quarvel)
#   KEEP_INPUTS=1     keep the generated reports in build/hostile/ (0: delete)
#
# Bounds of a case: wall time 30 s + 50 us per transfer file created (the
# file system's share; one file per listed element is the format), peak
# memory 64 MiB + 4 x the size of its report (64 MiB for endless input). Each run happens in a fresh directory below build/hostile/,
# removed afterwards; its console output and /usr/bin/time log stay in
# build/hostile/logs/. Generated reports are cached in build/hostile/ and
# made again when this script is newer than them.
#
# Prints two tables: the hostile inputs (size, wall time, peak RSS, exit
# status, files written, closing diagnostic), with the memory per stored
# stress value of the crafted 10 MB reports; then the failure paths (console
# message, exit status, files written, whether other files survived).
# Exits 1 when a case exceeds a bound or ends other than expected.

set -uo pipefail
export LC_ALL=C

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-1}
TIME_BOUND=${TIME_BOUND:-30}
FILE_US=${FILE_US:-50}
TIMEOUT=${TIMEOUT:-120}
ENDLESS_TIMEOUT=${ENDLESS_TIMEOUT:-35}
KEEP_INPUTS=${KEEP_INPUTS:-1}
QUARVEL=${QUARVEL:-$ROOT/build/release/quarvel}
GENERATOR=$ROOT/build/release/bench/generate_report
DIR=$ROOT/build/hostile
LOGS=$DIR/logs
SCRIPT=$ROOT/bench/hostile_inputs.sh

die() { printf 'hostile_inputs: %s\n' "$*" >&2; exit 2; }
for tool in python3 timeout /usr/bin/time; do command -v "$tool" > /dev/null || die "$tool is missing"; done
mkdir -p "$DIR" "$LOGS"

if [[ $BUILD == 1 ]]; then
  (cd "$ROOT" && cmake --preset release > "$LOGS/build.log" 2>&1 && cmake --build --preset release >> "$LOGS/build.log" 2>&1) ||
    die "release build failed, see $LOGS/build.log"
fi
[[ -x $QUARVEL ]] || die "no binary at $QUARVEL"

FAILED=0
WRITERS=()
cleanup() {
  for pid in "${WRITERS[@]}"; do kill "$pid" 2> /dev/null; done
  rm -rf "$DIR/run"
}
trap cleanup EXIT

# ---------------------------------------------------------------------------
# Generation. One call makes one report; crafted reports also get a file
# <name>.values holding the number of stress values the run stores.

generate() {  # generate NAME PATH
  python3 - "$1" "$2" "$GENERATOR" << 'PY'
import os, subprocess, sys
name, path, generator = sys.argv[1], sys.argv[2], sys.argv[3]
ACC = "C O M P L E X   A C C E L"
STR = "C O M P L E X   S T R E S S E S   I N   B A R   E L E M E N T S"
def tok(v): return "%.6E" % v
# Blocks in few bytes: frequency line (token 7), blank, header; the listed
# block keeps the four lines the element list skips.
def acc(f, z): return "a b c d e f %s\n\n%s\n\n\n\n\n1 0 0 0 %s 0 0 0 0 0 0 0 0 0\n" % (tok(f), ACC, tok(z))
def listed(f, pairs): return "a b c d e f %s\n\n%s\n\n\n\n\n%sMAXIMUM\n" % (tok(f), STR, pairs)
def block(f, pairs): return "a b c d e f %s\n\n%s\n%sMAXIMUM\n" % (tok(f), STR, pairs)
def pair(i, s): return "%d 0 0 0 0 0 0 %s\n0.0E+00\n" % (i, tok(s))
values = None
out = open(path, "wb")
def put(text): out.write(text.encode("latin-1") if isinstance(text, str) else text)

if name == "header-search-5m":
    # Past the first stress block, 5,200,000 lines that mean something to
    # other passes (stop markers, acceleration headers) but not to the
    # collection's header search, then a stress block it never reaches.
    put(acc(10, 1) + acc(20, 1) + listed(10, pair(7, 3)))
    put("TOTAL WARNINGS\n\n\n\n%s\n\n\n\n" % ACC * 650_000)
    put(block(20, pair(7, 5)))
elif name == "elements-100k":
    put(acc(10, 2) + acc(20, 4))
    put(listed(10, "".join(pair(i, i) for i in range(1, 100_001))))
    put(block(20, "".join(pair(i, 3 * i) for i in range(1, 100_001))))
elif name == "columns-100k":
    put("".join(acc(i, 1 + 0.25 * (i % 4)) for i in range(1, 100_001)))
    put(listed(1, pair(7, 1) + pair(8, -2)))
    put("".join(block(i, pair(7, i) + pair(8, -2 * i)) for i in range(2, 100_001)))
elif name in ("line-50m", "line-50m-split"):
    line = bytearray((b"abcdefghijklmnopqrstuvwxyz" * 1_923_077)[:49_999_999] + b"\n")
    if name == "line-50m-split":  # each header text cut by a 199-byte piece boundary
        line[199 * 1000 - 10:199 * 1000 - 10 + len(ACC)] = ACC.encode()
        line[199 * 125_000 - 30:199 * 125_000 - 30 + len(STR)] = STR.encode()
    put(bytes(line))
elif name == "linefeeds-6m":
    put(b"\n" * 6_000_000)
elif name == "linefeeds-12m":
    put(b"\n" * 12_000_100)
elif name == "nul-only-50m":
    put(b"\0" * 50_000_000)
elif name == "realistic-50m":
    out.close()
    subprocess.run([generator, "--output", path, "--megabytes", "50"], check=True, stdout=subprocess.DEVNULL)
elif name == "nul-sprinkled-50m":
    # The realistic report with a NUL after every 97 bytes.
    data = open(os.path.join(os.path.dirname(path), "realistic-50m.rpt"), "rb").read()
    put(b"\0".join(data[i:i + 97] for i in range(0, len(data), 97)))
elif name == "crafted-10m-values":
    # The most stress values per byte: elements 1 to 9, then a stress block
    # without end marker made of two-line pairs "kE+" / "E+" (7 bytes each).
    cycle = "".join("%dE+\nE+\n" % k for k in range(1, 10))
    head = acc(1, 2) + listed(1, cycle) + "a b c d e f 1E+0\n\n%s\n" % STR
    cycles = (10_000_000 - len(head)) // len(cycle)
    put(head + cycle * cycles)
    values = 9 + 9 * cycles
elif name == "crafted-10m-rows":
    # The most stress rows per byte: one stored value per listed element,
    # all of them in the first stress block, which is collected. The
    # acceleration block is refused, so the files stay empty.
    head = acc(0, 2) + "a b c d e f 1E+0\n\n%s\n\n\n\n\n" % STR
    parts, size, i = [head], len(head), 0
    while size < 10_000_000 - 20:
        i += 1
        p = "%dE+\nE+\n" % i
        parts.append(p)
        size += len(p)
    put("".join(parts) + "MAXIMUM\n")
    values = i
elif name == "crafted-10m-duplicates":
    # One identifier listed 1.4 million times: one row, one value per
    # pair, and as many creations of the same transfer file.
    head = acc(0, 2) + "a b c d e f 1E+0\n\n%s\n\n\n\n\n" % STR
    count = (10_000_000 - len(head) - 8) // 7
    put(head + "1E+\nE+\n" * count + "MAXIMUM\n")
    values = count
# Heads of endless input, which a writer then continues for ever.
elif name == "endless-head-records":  # an acceleration header and its four lines
    put("a b c d e f 1E+0\n\n%s\n\n\n\n\n" % ACC)
elif name == "endless-head-list":  # then the listed stress header
    put(acc(10, 2) + "a b c d e f 1E+0\n\n%s\n" % STR)
elif name == "endless-head-block":
    # No header within the node count's and the element list's searches:
    # the main scan then meets the stress header itself.
    put(b"\n" * 10_000_000 + ("a b c d e f 1E+0\n\n%s\n" % STR).encode())
elif name == "endless-head-reader":
    # The element list's search ends at its bound just before an accepted
    # acceleration block, which the main scan hands to its reader.
    put(acc(10, 2) + "x\n" * 5_000_000 + "a b c d e f 1E+0\n\n%s\n\n\n\n\n" % ACC)
else:
    sys.exit("unknown report " + name)
out.close()
if values is not None:
    open(path + ".values", "w").write("%d\n" % values)
PY
}

report() {  # report NAME: the cached report's path, made when needed
  local path=$DIR/$1.rpt
  if [[ ! -s $path || $SCRIPT -nt $path ]]; then
    [[ $1 == nul-sprinkled-50m ]] && report realistic-50m > /dev/null
    generate "$1" "$path.tmp" || die "could not generate $1"
    mv "$path.tmp" "$path"
    [[ -e $path.tmp.values ]] && mv "$path.tmp.values" "$path.values"
  fi
  printf '%s\n' "$path"
}

# ---------------------------------------------------------------------------
# One timed run: fresh directory, answers on standard input, /usr/bin/time.

mib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
size_text() {
  if [[ $1 == endless ]]; then printf 'endless'; else printf '%s MiB' "$(mib "$1")"; fi
}

# run_case NAME INPUT SIZE_BYTES|endless EXPECTED_EXIT|- EXPECTED_DIAGNOSTIC|- [WRITER...]
# With a WRITER command the input is a named pipe that the command feeds.
printf '\n%-30s %10s %7s %6s %8s %7s %4s %7s %10s  %s\n' case input "wall s" bound "RSS MiB" bound exit files diagnostic verdict
printf '%s\n' "--------------------------------------------------------------------------------------------------------"
run_case() {
  local name=$1 input=$2 size=$3 want_exit=$4 want_diag=$5
  shift 5
  local run=$DIR/run/$name log=$LOGS/$name
  rm -rf "$run" && mkdir -p "$run"
  local writer="" limit=$TIMEOUT
  if (($# > 0)); then
    limit=$ENDLESS_TIMEOUT
    mkfifo "$run/endless.rpt"
    (exec "$@" > "$run/endless.rpt") 2> /dev/null &
    writer=$!
    WRITERS+=("$writer")
    input=$run/endless.rpt
  fi
  printf '%s\n3\n1\n' "$input" > "$log.in"
  (cd "$run" && /usr/bin/time -v -o "$log.time" timeout -k 5 "$limit" "$QUARVEL" < "$log.in" |
    if [[ -n $writer ]]; then tail -c 65536; else cat; fi > "$log.out")
  [[ -n $writer ]] && { kill "$writer" 2> /dev/null; wait "$writer" 2> /dev/null; }
  local status wall rss files diag bound_kib created time_bound
  status=$(awk -F': ' '/Exit status/ { print $2 }' "$log.time")
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; printf "%.2f", s }' "$log.time")
  rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$log.time")
  files=$(find "$run" -mindepth 1 -maxdepth 1 -name '*_stressHH.dat' | wc -l)
  diag=$(grep -ao 'ref 2    i=[0-9]*' "$log.out" | tail -1 | sed 's/.*i=//')
  [[ -n $diag ]] || diag="-"
  created=$(grep -ac ' File: .* opened\. $' "$log.out")
  time_bound=$(awk -v b="$TIME_BOUND" -v n="$created" -v u="$FILE_US" 'BEGIN { printf "%.1f", b + n * u / 1e6 }')
  if [[ $size == endless ]]; then bound_kib=$((64 * 1024)); else bound_kib=$((64 * 1024 + 4 * size / 1024)); fi
  local problems=()
  awk -v w="$wall" -v b="$time_bound" 'BEGIN { exit !(w > b) }' && problems+=("OVER TIME")
  ((rss > bound_kib)) && problems+=("OVER MEMORY")
  [[ $want_exit == - || $status == "$want_exit" ]] || problems+=("exit, want $want_exit")
  [[ $want_diag == - || $diag == "$want_diag" ]] || problems+=("diagnostic, want $want_diag")
  local verdict=ok
  if ((${#problems[@]})); then verdict=$(IFS=';'; printf '%s' "${problems[*]}"); FAILED=1; fi
  printf '%-30s %10s %7s %6s %8s %7s %4s %7s %10s  %s\n' "$name" "$(size_text "$size")" "$wall" "$time_bound" \
    "$(mib $((rss * 1024)))" "$(mib $((bound_kib * 1024)))" "$status" "$files" "$diag" "$verdict"
  LAST_RSS_KIB=$rss
  rm -rf "$run"
}

file_case() {  # file_case NAME EXPECTED_EXIT EXPECTED_DIAGNOSTIC
  local path
  path=$(report "$1")
  run_case "$1" "$path" "$(stat -c %s "$path")" "$2" "$3"
}

# A small ordinary run gives the resident memory that every run starts with.
run_case example-report "$ROOT/examples/plate.rpt" "$(stat -c %s "$ROOT/examples/plate.rpt")" 0 -
BASE_KIB=$LAST_RSS_KIB
file_case realistic-50m 0 -
file_case header-search-5m 0 5000000
file_case elements-100k 0 3
file_case columns-100k 0 -
file_case line-50m 0 0
file_case line-50m-split 0 0
file_case linefeeds-6m 0 0
file_case linefeeds-12m 0 2000000
file_case nul-only-50m 0 0
file_case nul-sprinkled-50m 0 -
run_case dev-zero /dev/zero endless 0 2000000

# Endless input through a named pipe: a head, then one text for ever. Every
# pass must end: the header searches at their line bounds, the passes
# inside a block at theirs. (A pipe cannot be rewound, so a run whose
# element list ends says it failed to read the report.)
RECORD="1 0 0 0 2.0E+00 0 0 0 0 0 0 0 0 0"
PAIR=$'1E+\nE+'
endless() {  # endless NAME HEAD TEXT: HEAD's report, then TEXT and a line feed for ever
  run_case "$1" - endless - - bash -c 'cat "$1"; exec yes "$2"' _ "$(report "$2")" "$3"
}
endless endless-list-blank-lines endless-head-list ""
endless endless-list-pairs endless-head-list "$PAIR"
endless endless-collected-blank-lines endless-head-block ""
endless endless-collected-pairs endless-head-block "$PAIR"
endless endless-node-records endless-head-records "$RECORD"
endless endless-space-for-a-record endless-head-records ""
endless endless-space-in-a-read-block endless-head-reader ""

declare -A CRAFTED_RSS
for name in crafted-10m-values crafted-10m-rows crafted-10m-duplicates; do
  file_case "$name" 0 -
  CRAFTED_RSS[$name]=$LAST_RSS_KIB
done

printf '\nMemory per stored stress value (peak RSS above the %s MiB of a small run):\n' "$(mib $((BASE_KIB * 1024)))"
for name in crafted-10m-values crafted-10m-rows crafted-10m-duplicates; do
  values=$(cat "$DIR/$name.rpt.values")
  rss=${CRAFTED_RSS[$name]}
  awk -v n="$name" -v v="$values" -v r="$rss" -v b="$BASE_KIB" -v s="$(stat -c %s "$DIR/$name.rpt")" 'BEGIN {
    printf "  %-24s %9d values  peak %8.1f MiB  %8.1f bytes per value  %6.1f x the report\n",
           n, v, r / 1024, (r - b) * 1024 / v, r * 1024 / s }'
done

# ---------------------------------------------------------------------------
# Failure paths, for real. Every run directory holds other.dat, which must
# survive, and, where it is not the obstacle itself, a 101_stressHH.dat from
# an earlier run.

printf '\n%-34s %5s %6s %-10s %-10s  %s\n' "failure path" exit files other.dat earlier console
printf '%s\n' "--------------------------------------------------------------------------------------------------------"
EXAMPLE=$ROOT/examples/plate.rpt
failure_case() {  # failure_case NAME EXPECTED_EXIT SETUP ANSWERS [RUNNER...]
  local name=$1 want_exit=$2 setup=$3 answers=$4
  shift 4
  local slug=${name//[^A-Za-z0-9]/-}
  local run=$DIR/run/$slug log=$LOGS/failure-$slug
  rm -rf "$run" && mkdir -p "$run"
  cp "$EXAMPLE" "$run/plate.rpt"
  printf 'kept\n' > "$run/other.dat"
  printf 'earlier run\n' > "$run/101_stressHH.dat"
  (cd "$run" && eval "$setup")
  local status
  if [[ $answers == CLOSED ]]; then
    (cd "$run" && "$@" timeout "$TIMEOUT" "$QUARVEL" <&- > "$log.out" 2>&1)
  else
    printf '%b' "$answers" > "$log.in"
    (cd "$run" && "$@" timeout "$TIMEOUT" "$QUARVEL" < "$log.in" > "$log.out" 2>&1)
  fi
  status=$?
  local files other earlier message
  files=$(find "$run" -mindepth 1 -maxdepth 1 -name '*_stressHH.dat' -type f -newer "$run/other.dat" | wc -l)
  other=$([[ $(cat "$run/other.dat" 2> /dev/null) == kept ]] && echo kept || echo LOST)
  if [[ -L $run/101_stressHH.dat || -d $run/101_stressHH.dat ]]; then earlier="(obstacle)"
  elif [[ $(cat "$run/101_stressHH.dat" 2> /dev/null) == "earlier run" ]]; then earlier=kept
  else earlier="replaced"; fi
  message=$(grep -aE 'Failed to (open|read|write) file' "$log.out" | sed 's/^ //; s/ $//' | paste -sd '|' -)
  if [[ -z $message ]]; then
    message="no message; $(grep -ao 'ref 2    i=[0-9]*' "$log.out" | tail -1)"
    message+="; files $(find "$run" -maxdepth 1 -name '*_stressHH.dat' -type f -newer "$run/other.dat" -printf '%s ' | sed 's/ $//') bytes"
  fi
  local mark=""
  if [[ $status != "$want_exit" || $other != kept ]]; then mark="  <-- want exit $want_exit, other.dat kept"; FAILED=1; fi
  printf '%-34s %5s %6s %-10s %-10s  %s%s\n' "$name" "$status" "$files" "$other" "$earlier" "$message" "$mark"
  rm -rf "$run"
}

failure_case "report missing" 1 ":" 'missing.rpt\n3\n1\n'
failure_case "report is a directory" 1 "mkdir folder.rpt" 'folder.rpt\n3\n1\n'
if [[ $(id -u) == 0 ]]; then
  printf '  (running as root: permissions do not stop reads, so root reads a mode-000 report;\n'
  printf '   the unreadable case also runs as nobody through setpriv where it is available)\n'
  failure_case "report mode 000, read as root" 0 "chmod 000 plate.rpt" 'plate.rpt\n3\n1\n'
  if command -v setpriv > /dev/null; then
    failure_case "report mode 000, read as nobody" 1 "chmod 000 plate.rpt; chown -R 65534:65534 ." \
      'plate.rpt\n3\n1\n' setpriv --reuid=65534 --regid=65534 --clear-groups
  fi
else
  failure_case "report mode 000" 1 "chmod 000 plate.rpt" 'plate.rpt\n3\n1\n'
fi
failure_case "report read fails part-way" 1 ":" '/proc/self/mem\n3\n1\n'
failure_case "transfer file is a directory" 1 "rm 101_stressHH.dat; mkdir 101_stressHH.dat" 'plate.rpt\n3\n1\n'
failure_case "transfer file -> /dev/full" 1 "rm 101_stressHH.dat; ln -s /dev/full 101_stressHH.dat" 'plate.rpt\n3\n1\n'
failure_case "stdin ends at the name prompt" 1 ":" ''
failure_case "stdin ends at the axis prompt" 0 ":" 'plate.rpt\n'
failure_case "stdin ends at the node prompt" 0 ":" 'plate.rpt\n3\n'
failure_case "stdin not open at all" 1 ":" CLOSED

if [[ $KEEP_INPUTS != 1 ]]; then rm -f "$DIR"/*.rpt "$DIR"/*.values; fi
if ((FAILED)); then
  printf '\nSome cases exceeded their bounds or ended other than expected (marked above).\n'
  exit 1
fi
printf '\nEvery case within its bounds.\n'
