#!/usr/bin/env bash
# Startup time and peak memory of the editor against a bare Qt window of the
# same size, both on one Xvfb server without a window manager, then the
# in-process toggle + repaint figure.
#
#   bench/startup.sh                  # RUNS=20 of each program
#   RUNS=30 bench/startup.sh
#
# Environment: RUNS (runs of each program, default 20), BUILD_DIR (default
# build/bench), SETTLE_MS (idle time after the first frame before the peak
# memory is read, default 300), POLL_US (screen read-back interval, default
# 250), TOGGLE_ITERATIONS (default 2000).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUNS="${RUNS:-20}"
BUILD_DIR="${BUILD_DIR:-$ROOT/build/bench}"
SETTLE_MS="${SETTLE_MS:-300}"
POLL_US="${POLL_US:-250}"
TOGGLE_ITERATIONS="${TOGGLE_ITERATIONS:-2000}"

"$ROOT/scripts/install-deps.sh"
for tool in cmake ninja Xvfb python3; do
    command -v "$tool" >/dev/null || { echo "startup.sh: $tool is missing" >&2; exit 69; }
done

WORK="$(mktemp -d)"
XVFB_PID=""
PROBE_PID=""
cleanup() {
    # Only the processes this script started, by their ids.
    if [[ -n "$PROBE_PID" ]] && kill -0 "$PROBE_PID" 2>/dev/null; then
        kill "$PROBE_PID" 2>/dev/null || true
        wait "$PROBE_PID" 2>/dev/null || true
    fi
    if [[ -n "$XVFB_PID" ]] && kill -0 "$XVFB_PID" 2>/dev/null; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== build ($BUILD_DIR)"
if ! { cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DFONTEDITOR_BENCH=ON -DFONTEDITOR_TESTS=OFF &&
       cmake --build "$BUILD_DIR" -j2 --target fonteditor bare_window toggle_bench first_frame
     } >"$WORK/build.log" 2>&1; then
    cat "$WORK/build.log" >&2
    echo "startup.sh: build failed" >&2
    exit 1
fi
EDITOR_BIN="$BUILD_DIR/app/fonteditor"
BARE_BIN="$BUILD_DIR/bench/bare_window"
TOGGLE_BIN="$BUILD_DIR/bench/toggle_bench"
PROBE_BIN="$BUILD_DIR/bench/first_frame"

# Both programs get the same clean, quiet environment.
export XDG_RUNTIME_DIR="$WORK/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

# -displayfd lets the server pick a free display and say when it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
XVFB_PID=$!
for _ in $(seq 100); do
    [[ -s "$WORK/display" ]] && break
    kill -0 "$XVFB_PID" 2>/dev/null || { cat "$WORK/xvfb.log" >&2; exit 1; }
    sleep 0.05
done
[[ -s "$WORK/display" ]] || { echo "startup.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$WORK/display")"

# first_frame sees the window map through an X event and then reads the
# screen back every POLL_US, so a frame is timed to within about 0.3 ms; see
# the comment at the top of first_frame.cpp.
probe() {  # name binary round
    local name="$1" bin="$2" round="$3" line
    QT_QPA_PLATFORM=xcb "$PROBE_BIN" --settle-ms "$SETTLE_MS" --poll-us "$POLL_US" -- "$bin" \
        >"$WORK/probe.out" 2>"$WORK/probe.err" &
    PROBE_PID=$!
    if ! wait "$PROBE_PID"; then
        PROBE_PID=""
        cat "$WORK/probe.err" >&2
        echo "startup.sh: measuring $name failed" >&2
        exit 1
    fi
    PROBE_PID=""
    line="$(tail -n1 "$WORK/probe.out")"
    echo "$name round=$round $line" >>"$WORK/results"
    # shellcheck disable=SC2086  # the line is key=value words by construction
    local $line
    printf '  %-6s first frame %7s ms   mapped %7s ms   VmHWM %6s KiB\n' \
        "$name" "$frame_ms" "$map_ms" "$vmhwm_kb"
}

# Other work on the two cores shows up as spread; the load says how much there was.
echo "== startup on Xvfb $DISPLAY, $RUNS runs each, alternating (load average: $(cut -d' ' -f1-3 /proc/loadavg))"
# One discarded run each fills the page cache and the fontconfig cache.
probe editor "$EDITOR_BIN" 0 >/dev/null
probe bare "$BARE_BIN" 0 >/dev/null
: >"$WORK/results"
for ((i = 1; i <= RUNS; i++)); do
    # Alternating which goes first keeps any drift from favouring one program.
    if ((i % 2)); then
        probe editor "$EDITOR_BIN" "$i"
        probe bare "$BARE_BIN" "$i"
    else
        probe bare "$BARE_BIN" "$i"
        probe editor "$EDITOR_BIN" "$i"
    fi
done

python3 - "$WORK/results" <<'EOF'
import statistics, sys

runs = {}
for line in open(sys.argv[1]):
    name, *pairs = line.split()
    runs.setdefault(name, []).append(dict(p.split("=", 1) for p in pairs))

def column(name, key):
    return [float(r[key]) for r in runs[name]]

print("== medians (min .. max)")
keys = [("frame_ms", "exec -> first painted frame", "ms"),
        ("map_ms", "exec -> window mapped", "ms"),
        ("vmhwm_kb", "peak RSS before close (VmHWM)", "KiB"),
        ("maxrss_kb", "peak RSS over life (wait4)", "KiB")]
median = {}
for key, label, unit in keys:
    for name in ("editor", "bare"):
        values = column(name, key)
        median[name, key] = statistics.median(values)
        print(f"  {name:6} {label:32} {median[name, key]:9.1f} {unit:3}"
              f"  ({min(values):.1f} .. {max(values):.1f})")

# The paired figure compares the two runs of one round, which took place
# moments apart, and so cancels slow drifts in the machine's load.
print("== editor / bare (target <= 1.30): ratio of medians, median of paired rounds")
by_round = {(name, r["round"]): r for name in runs for r in runs[name]}
rounds = sorted({r["round"] for r in runs["editor"]} & {r["round"] for r in runs["bare"]})
for key, label in (("frame_ms", "startup to first frame"), ("vmhwm_kb", "peak memory")):
    ratio = median["editor", key] / median["bare", key]
    paired = statistics.median(float(by_round["editor", n][key]) / float(by_round["bare", n][key])
                               for n in rounds)
    verdict = "within" if max(ratio, paired) <= 1.30 else "OVER"
    print(f"  {label:24} {ratio:5.2f}   paired {paired:5.2f}   {verdict}")

for name in runs:
    for r in runs[name]:
        if r["settled_diff_px"] != "0":
            print(f"  note: a {name} run changed {r['settled_diff_px']} more pixels after its "
                  "first frame (first frame was partial)")
        if r["killed"] != "0":
            print(f"  note: a {name} run did not close on WM_DELETE_WINDOW and was killed")
EOF

echo "== toggle + repaint, in process (offscreen platform, the figure to hold)"
QT_QPA_PLATFORM=offscreen "$TOGGLE_BIN" "$TOGGLE_ITERATIONS"
echo "== toggle + repaint, in process on Xvfb (includes the flush to the X server)"
QT_QPA_PLATFORM=xcb "$TOGGLE_BIN" "$TOGGLE_ITERATIONS"
