#!/usr/bin/env bash
# Times the start of Quarnel's window against a bare Qt main window of the same size, on a
# virtual X display (Xvfb), in paired runs: each run starts Quarnel, the bare window, and the
# bare window showing one line of text (which, unlike the bare one, has to set up fonts, as
# every window with a caption does), timing each from its start until its window is mapped,
# and takes the peak resident memory up to then. Prints the medians and the medians of the
# per-run ratios of Quarnel to each, for a maps folder with 3 maps of the configuration's
# game type and with 10,000 of them.
#
#   scripts/bench-start.sh
#
# Environment:
#   BUILD      the build folder with quarnel, quarnel-cli, bare_window and window_start
#              (default build/bench: configure it with -DQUARNEL_BUILD_BENCH=ON)
#   QUARNEL    another quarnel to time in place of BUILD's
#   BASELINE   a quarnel timed in the same runs as well (e.g. a build of an older commit)
#   RUNS       paired runs per maps folder (default 7)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages xvfb xauth time dbus-daemon

build=$(realpath "${BUILD:-build/bench}")
quarnel=$(realpath "${QUARNEL:-$build/src/ui/quarnel}")
cli=$build/src/cli/quarnel-cli
bare=$build/bench/bare_window
watch=$build/bench/window_start
runs=${RUNS:-7}
for program in "$quarnel" "$cli" "$bare" "$watch"; do
    [[ -x "$program" ]] || {
        echo "missing $program (build the targets quarnel quarnel-cli bare_window window_start)" >&2
        exit 1
    }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quarnel-bench-start.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One game folder and one throw-away store per maps folder; the store remembers the
# settings of examples/demo.cfg (Capture The Flag) with that game folder.
prepare() {
    local name=$1 maps=$2
    mkdir -p "$work/$name"
    cp -r examples/demo-install "$work/$name/UT2003"
    if ((maps > 3)); then
        rm -f "$work/$name/UT2003/Maps/"*
        (cd "$work/$name/UT2003/Maps" && seq -f 'CTF-Map%05g.ut2' 1 "$maps" | xargs touch)
    else
        find "$work/$name/UT2003/Maps" -type f ! -name 'CTF-*' -delete
    fi
    # The baseline has a store of its own: each program notes its own folder in the store.
    for store in registry baseline; do
        QUARNEL_REGISTRY="$work/$name/$store.db" "$cli" import-config examples/demo.cfg \
            --game-dir "$work/$name/UT2003" >/dev/null
    done
}
prepare maps3 3
prepare maps10000 10000

export QUARNEL=$quarnel BARE=$bare WATCH=$watch RUNS=$runs WORK=$work
export BASELINE=${BASELINE:+$(realpath "$BASELINE")}
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# -noreset: the server must not reset (and refuse connections) when the last program ends.
# A session bus as on a desktop: without one, every Qt program's accessibility check tries to
# start a bus, which is slow and nothing a desktop user pays.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" dbus-run-session -- bash -c '
    set -euo pipefail
    median() { sort -n | awk "{ v[NR] = \$1 } END { m = int((NR + 1) / 2); print (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }"; }
    printf "%-11s %-16s %11s %13s %24s\n" maps window "median ms" "max RSS MB" "quarnel / this time/mem"
    for name in maps3 maps10000; do
        export QUARNEL_REGISTRY=$WORK/$name/registry.db
        # The window size to match, and one start of each that is not counted (caches).
        read -r _ _ size < <("$WATCH" "$QUARNEL")
        "$WATCH" "$BARE" ${size/x/ } >/dev/null
        "$WATCH" "$BARE" ${size/x/ } --text >/dev/null
        [[ -z "$BASELINE" ]] || QUARNEL_REGISTRY=$WORK/$name/baseline.db "$WATCH" "$BASELINE" >/dev/null
        : >"$WORK/times"
        for ((run = 0; run < RUNS; ++run)); do
            read -r tq mq _ < <("$WATCH" "$QUARNEL")
            read -r tb mb _ < <("$WATCH" "$BARE" ${size/x/ })
            read -r tt mt _ < <("$WATCH" "$BARE" ${size/x/ } --text)
            tz=0 mz=0
            [[ -z "$BASELINE" ]] ||
                read -r tz mz _ < <(QUARNEL_REGISTRY=$WORK/$name/baseline.db "$WATCH" "$BASELINE")
            echo "$tq $mq $tb $mb $tz $mz $tt $mt" >>"$WORK/times"
        done
        col() { awk -v c="$1" "{ print \$c }" "$WORK/times"; }
        ratio() { awk -v a="$1" -v b="$2" "{ printf \"%.3f\n\", \$a / \$b }" "$WORK/times" | median; }
        row() { # label, time column, memory column, ratio text
            printf "%-11s %-16s %11.1f %13.1f %24s\n" "$1" "$2" "$(col "$3" | median)" \
                "$(col "$4" | sort -n | tail -n 1 | awk "{ print \$1 / 1024 }")" "$5"
        }
        row "${name#maps}" quarnel 1 2 ""
        row "" "bare $size" 3 4 "$(ratio 1 3) / $(ratio 2 4)"
        row "" "bare + one text" 7 8 "$(ratio 1 7) / $(ratio 2 8)"
        [[ -z "$BASELINE" ]] || row "" baseline 5 6 "$(ratio 1 5) / $(ratio 2 6)"
    done
'
