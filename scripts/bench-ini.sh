#!/usr/bin/env bash
# Times the server INI rewrite of `quarnel-cli make` on large generated templates against
# `cp` followed by `sync` of the copy (the same durability: make syncs before it renames) and
# against `sed` with two substitutions, in paired runs: each run times every command once,
# back to back, so that a busy machine slows all of them alike. Prints the median wall time
# and processor time of each command, the medians of the per-run ratios, and the peak
# resident memory (maximum over the runs); processor time and memory from /usr/bin/time.
#
#   scripts/bench-ini.sh [SIZE_MB...]          default sizes: 1 50 500
#
# Environment:
#   QUARNEL_CLI    the quarnel-cli to time (default build/bench/src/cli/quarnel-cli)
#   BASELINE_CLI   another quarnel-cli timed in the same runs, e.g. a build of an older commit
#   RUNS           paired runs per size (default 7)
#   BENCH_DIR      where the templates are written (default a new folder below $TMPDIR or
#                  /tmp; it must lie on the disk to measure, not on a RAM disk). It is removed
#                  at the end, templates and all.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages time

cli=$(realpath "${QUARNEL_CLI:-build/bench/src/cli/quarnel-cli}")
baseline=${BASELINE_CLI:+$(realpath "$BASELINE_CLI")}
runs=${RUNS:-7}
sizes=("$@")
((${#sizes[@]})) || sizes=(1 50 500)
[[ -x "$cli" ]] || {
    echo "no quarnel-cli at $cli (build it, or set QUARNEL_CLI)" >&2
    exit 1
}

work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/quarnel-bench-ini.XXXXXX")
trap 'rm -rf "$work"' EXIT
game="$work/UT2003"
mkdir -p "$game/System" "$work/out"
cp -r examples/demo-install/Maps "$game/Maps"
cfg=$(realpath examples/demo.cfg)

# A template of about size MB in the shape of the game's INI, with short lines: value lines in
# sections, the keys the rewrite replaces among them, and the map list of the configuration's
# game type (Capture The Flag) once near the start.
write_template() {
    local mb=$1 out=$2
    awk -v bytes=$((mb * 1024 * 1024)) 'BEGIN {
        ORS = "\r\n"
        print "[URL]"; print "Port=7777"
        print "[XInterface.MapListCaptureTheFlag]"; print "MapNum=1"; print "Maps=CTF-Old"
        n = 40
        for (s = 0; n < bytes; ++s) {
            h = "[Engine.S" s "]"; print h; n += length(h) + 2
            for (i = 0; i < 16; ++i) {
                if (i == 3) l = "ServerName=X"
                else if (i == 9) l = "MaxClientRate=1"
                else l = "K" i "=" (s % 1000)
                print l; n += length(l) + 2
            }
        }
    }' >"$out"
}

# Runs a command, prints "<wall microseconds> <peak RSS in KB> <processor ms>". Whatever the
# commands before it left unwritten goes to the disk first, so each command waits for its
# own data only. The processor time (user + system) does not depend on what else runs.
measure() {
    local start end rss cpu
    sync
    start=$(date +%s%N)
    # The shell's `times` gives the children's processor time to the millisecond.
    cpu=$( (/usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null && times) | tail -n 1 |
        awk '{ n = 0; for (i = 1; i <= 2; ++i) { split($i, p, /[ms]/); n += p[1] * 60000 + p[2] * 1000 } print n }')
    end=$(date +%s%N)
    rss=$(tail -n 1 "$work/rss")
    echo "$(((end - start) / 1000)) $rss $cpu"
}

median() { sort -n | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); print (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }'; }

make_cmd=("$cli" make "$cfg" "$work/out/Bench.ini" --game-dir "$game")
base_cmd=("$baseline" make "$cfg" "$work/out/Base.ini" --game-dir "$game")
sedit=(sed -e 's/^ServerName=.*/ServerName=Bench/' -e 's/^Port=.*/Port=7778/')

printf '%-8s %-14s %10s %10s %11s %26s\n' size command "median ms" "median cpu" "max RSS MB" "median ratios wall / cpu"
for mb in "${sizes[@]}"; do
    template="$game/System/ut2003.ini"
    write_template "$mb" "$template"
    cat "$template" >/dev/null # the same warm page cache for every command
    : >"$work/times"
    for ((run = 0; run < runs; ++run)); do
        rm -f "$work/out/"*
        # Every command through sh, so that each pays the same start-up.
        read -r t_make r_make c_make < <(measure sh -c '"$@"' sh "${make_cmd[@]}")
        read -r t_cp r_cp c_cp < <(measure sh -c 'cp "$1" "$2" && sync "$2"' sh "$template" "$work/out/copy.ini")
        read -r t_sed r_sed c_sed < <(measure sh -c '"$@" >"$0"' "$work/out/sed.ini" "${sedit[@]}" "$template")
        t_base=0 r_base=0 c_base=0
        if [[ -n "$baseline" ]]; then
            read -r t_base r_base c_base < <(measure sh -c '"$@"' sh "${base_cmd[@]}")
            cmp -s "$work/out/Bench.ini" "$work/out/Base.ini" || {
                echo "the two quarnel-cli wrote different files" >&2
                exit 1
            }
        fi
        echo "$t_make $r_make $t_cp $r_cp $t_sed $r_sed $t_base $r_base $c_make $c_cp $c_sed $c_base" >>"$work/times"
    done
    col() { awk -v c="$1" '{ print $c }' "$work/times"; }
    maxcol() { col "$1" | sort -n | tail -n 1; }
    # The processor time ratio guards against a zero (a command too short to register).
    ratio() { awk -v a="$1" -v b="$2" '{ printf "%.3f\n", ($b > 0) ? $a / $b : 0 }' "$work/times" | median; }
    row() { printf '%-8s %-14s %10.1f %10.0f %11.1f %26s\n' "$mb MB" "$1" "$(col "$2" | median | awk '{ print $1 / 1000 }')" "$(col "$4" | median)" "$(maxcol "$3" | awk '{ print $1 / 1024 }')" "$5"; }
    row "quarnel make" 1 2 9 "-"
    row "cp + sync" 3 4 10 "make/cp: $(ratio 1 3) / $(ratio 9 10)"
    row "sed" 5 6 11 "sed/make: $(ratio 5 1) / $(ratio 11 9)"
    if [[ -n "$baseline" ]]; then
        row "baseline make" 7 8 12 "base/make: $(ratio 7 1) / $(ratio 12 9)"
    fi
    rm -f "$template" "$work/out/"*
done
