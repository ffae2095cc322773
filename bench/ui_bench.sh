#!/usr/bin/env bash
# The main window's smoothness while the converter works, measured side by side in one run:
#   - time from start to the first presented frame (goal: within 0.5 s);
#   - frame-time median and 99th percentile, idle (the pointer sweeping over the widgets) and
#     during a 1080p conversion started by a real click on the convert button (goal: 99th
#     percentile under 50 ms while converting). The window draws only when something changed
#     (an event, an animation, the progress twice a second), so a frame's time runs from the
#     moment the screen took up its cause to the present;
#   - the converter's wall time inside the application against the same command run alone
#     (goal: no more than 3 % slower).
# The frame times are the application's own (KALO_FRAME_TIMING=1 prints them at exit). The
# application runs on a virtual display; the save dialog is a stand-in that names the output.
# Reports only; never fails on a slow result.
#
# Environment: KALO_BUILD_DIR (default build), BENCH_SECONDS (clip length, default 6).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(cd "${KALO_BUILD_DIR:-build}" && pwd)
app="$build_dir/bin/kalo-converter"
seconds=${BENCH_SECONDS:-6}
[ -x "$app" ] || { echo "ui_bench: $app not found; build first (tools/build.sh)" >&2; exit 1; }
for tool in Xvfb xdotool ffmpeg; do
  command -v "$tool" >/dev/null || { echo "ui_bench: $tool is missing (tools/setup.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
display=:$((200 + RANDOM % 500))
cleanup() {
  [ -n "${app_pid:-}" ] && kill -9 "$app_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "ui_bench: making a ${seconds} s 1920x1080 clip..."
ffmpeg -nostdin -v error -y \
  -f lavfi -i "testsrc2=size=1920x1080:rate=25:duration=$seconds,noise=alls=6:allf=t" \
  -f lavfi -i "sine=frequency=440:duration=$seconds" \
  -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -c:a aac "$work/in.mp4"

mkdir -p "$work/bin" "$work/home"
cat > "$work/bin/zenity" <<STANDIN
#!/bin/sh
echo "$work/in-app.mp4"
STANDIN
chmod +x "$work/bin/zenity"

Xvfb "$display" -screen 0 1920x1080x24 >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1

wait_for_line() {  # pattern, seconds
  local deadline=$((SECONDS + $2))
  until grep -aq "$1" "$work/app.log" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || { echo "ui_bench: no \"$1\" within $2 s" >&2; tail -5 "$work/app.log" >&2; exit 1; }
    sleep 0.05
  done
}

(cd "$work" && DISPLAY=$display HOME="$work/home" XDG_DATA_HOME="$work/home/data" \
   PATH="$work/bin:$PATH" KALO_FRAME_TIMING=1 exec "$app" "$work/in.mp4") > "$work/app.log" 2>&1 &
app_pid=$!
wait_for_line "init SDL success" 20
window=""
for _ in $(seq 100); do
  window=$(DISPLAY=$display xdotool search --pid "$app_pid" --name . 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "ui_bench: no window" >&2; exit 1; }
sleep 2
# Idle frames with the source shown: the pointer sweeps across the window, as a person's
# would, so hover changes are drawn.
for step in $(seq 0 60); do
  DISPLAY=$display xdotool mousemove --window "$window" $((100 + step * 15)) $((100 + step * 7))
  sleep 0.03
done
sleep 1

# The convert button: the centre of its configured rectangle ("PARAM_CONVER", window pixels).
read -r cx cy < <(python3 - "$PWD/config/resources/kalo_conv_UI.json" <<'PY'
import json, sys
c = json.load(open(sys.argv[1]))["PARAM_CONVER"]
print(c["pos"]["x"] + c["Size"]["x"] // 2, c["pos"]["y"] + c["Size"]["y"] // 2)
PY
)
DISPLAY=$display xdotool mousemove --window "$window" "$cx" "$cy" click 1
wait_for_line "thread start signal" 20
job_start=$(date +%s.%N)
converter_args=""
for _ in $(seq 100); do
  converter_args=$(ps -o args= -C kalo-depth | head -1 || true)
  [ -n "$converter_args" ] && break
  sleep 0.05
done
wait_for_line "thread finish signal" 600
job_end=$(date +%s.%N)
sleep 1
DISPLAY=$display xdotool key --window "$window" Escape
wait_for_line "frame timing:" 20
wait "$app_pid" || true
app_pid=""
timing=$(grep -a "frame timing:" "$work/app.log")

# The same conversion alone, with nothing drawing beside it.
[ -n "$converter_args" ] || { echo "ui_bench: the converter's command line was not seen" >&2; exit 1; }
read -r -a argv <<< "${converter_args//$work\/in-app.mp4/$work/alone.mp4}"
alone_start=$(date +%s.%N)
"${argv[@]}" > /dev/null 2>&1
alone_end=$(date +%s.%N)

python3 - "$timing" "$job_start" "$job_end" "$alone_start" "$alone_end" <<'PY'
import re, sys
timing, js, je, as_, ae = sys.argv[1], *map(float, sys.argv[2:])
m = re.search(r"first=([\d.]+) ms idle median=([\d.]+) p99=([\d.]+) \((\d+)\) "
              r"converting median=([\d.]+) p99=([\d.]+) \((\d+)\)", timing)
first, idle_med, idle_p99, idle_n, conv_med, conv_p99, conv_n = map(float, m.groups())
in_app, alone = je - js, ae - as_
print(timing)
print(f"first presented frame: {first:.0f} ms (goal <= 500)")
print(f"idle:       median {idle_med:.1f} ms, p99 {idle_p99:.1f} ms over {idle_n:.0f} frames")
print(f"converting: median {conv_med:.1f} ms, p99 {conv_p99:.1f} ms over {conv_n:.0f} frames (goal p99 < 50)")
print(f"converter in the application {in_app:.2f} s, alone {alone:.2f} s, ratio {in_app / alone:.3f} (goal <= 1.03)")
PY
