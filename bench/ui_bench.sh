#!/usr/bin/env bash
# The main window's smoothness while the converter works, measured side by side in one run:
#   - time from the program's start (the launcher's clock just before exec) to the first
#     presented frame (goal: within 0.5 s). A first launch with an empty profile ("cold":
#     the GL driver's shader cache is empty) is reported apart from later launches ("warm");
#   - frame-time median and 99th percentile, idle (the source opening, then the pointer
#     sweeping over the widgets) and during a 1080p conversion started by a real click on
#     the convert button (goal: 99th percentile under 50 ms while converting). The window
#     draws only when something changed (an event, an animation, the progress twice a
#     second), so a frame's time runs from the moment the screen took up its cause to the
#     present;
#   - the converter's wall time inside the application against the same command run alone
#     just before or after it (goal: no more than 3 % slower). The two alternate, in turns,
#     BENCH_ROUNDS times, and the ratio is the median of the rounds': one pair is within this
#     machine's noise.
#     Nothing of the bench's own runs while the converter works: the converter's life is
#     read from /proc and its end waited for without polling processes.
# The frame times are the application's own (KALO_FRAME_TIMING=1 prints them at exit). The
# application runs on a virtual display; the save dialog is a stand-in that names the output.
# Reports only; never fails on a slow result.
#
# Environment: KALO_BUILD_DIR (default build), BENCH_SECONDS (clip length, default 6),
# BENCH_ROUNDS (default 3).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(cd "${KALO_BUILD_DIR:-build}" && pwd)
app="$build_dir/bin/kalo-converter"
seconds=${BENCH_SECONDS:-6}
rounds=${BENCH_ROUNDS:-3}
[ -x "$app" ] || { echo "ui_bench: $app not found; build first (tools/build.sh)" >&2; exit 1; }
for tool in Xvfb xdotool ffmpeg python3; do
  command -v "$tool" >/dev/null || { echo "ui_bench: $tool is missing (tools/setup.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
display=:$((200 + RANDOM % 500))
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill -9 "$app_pid" 2>/dev/null || true
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

# The convert button: the centre of its configured rectangle ("PARAM_CONVER", window pixels).
read -r cx cy < <(python3 - "$PWD/config/resources/kalo_conv_UI.json" <<'PY'
import json, sys
c = json.load(open(sys.argv[1]))["PARAM_CONVER"]
print(c["pos"]["x"] + c["Size"]["x"] // 2, c["pos"]["y"] + c["Size"]["y"] // 2)
PY
)

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

wait_for_line() {  # pattern, seconds
  local deadline=$((SECONDS + $2))
  until grep -aq "$1" "$work/app.log" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || { echo "ui_bench: no \"$1\" within $2 s" >&2; tail -5 "$work/app.log" >&2; exit 1; }
    sleep 0.05
  done
}

# Starts the application with the clip on its command line, in the one profile folder all
# launches share (the first launch finds it empty). Sets app_pid, window and launched_ms.
start_app() {
  : > "$work/app.log"
  (cd "$work" && export DISPLAY=$display HOME="$work/home" XDG_DATA_HOME="$work/home/data" \
     XDG_CACHE_HOME="$work/home/cache" PATH="$work/bin:$PATH" KALO_FRAME_TIMING=1 &&
   now_ms > "$work/launched" && exec "$app" "$work/in.mp4") >> "$work/app.log" 2>&1 &
  app_pid=$!
  # Nothing of the bench's runs beside the start: the first frame is timed by the
  # application itself, and a poll here would take the second core from it.
  sleep 2
  wait_for_line "init SDL success" 20
  window=""
  for _ in $(seq 100); do
    window=$(DISPLAY=$display xdotool search --pid "$app_pid" --name . 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "ui_bench: no window" >&2; exit 1; }
  launched_ms=$(cat "$work/launched")
}

# Escape quits; prints "first-frame-ms|timing line".
quit_app() {
  DISPLAY=$display xdotool key --window "$window" Escape
  wait_for_line "frame timing:" 20
  wait "$app_pid" || true
  app_pid=""
  local timing first_at
  timing=$(grep -a "frame timing:" "$work/app.log")
  first_at=$(sed -n 's/.*first_at=\([0-9.]*\).*/\1/p' <<< "$timing")
  echo "$(python3 -c "print(round($first_at - $launched_ms, 1))")|$timing"
}

# The converter's start, in ms since the epoch, from its entry in /proc (10 ms steps).
process_start_ms() {
  python3 - "$1" <<'PY'
import os, sys
ticks = os.sysconf("SC_CLK_TCK")
stat = open(f"/proc/{sys.argv[1]}/stat").read()
start_ticks = int(stat[stat.rindex(")") + 2:].split()[19])
boot = next(int(l.split()[1]) for l in open("/proc/stat") if l.startswith("btime"))
print(round((boot + start_ticks / ticks) * 1000))
PY
}

# CPU seconds (user + system) a process has used so far.
cpu_seconds() {
  python3 - "$1" <<'PY'
import os, sys
stat = open(f"/proc/{sys.argv[1]}/stat").read()
fields = stat[stat.rindex(")") + 2:].split()
print((int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK"))
PY
}

# A launch that only starts and quits: the cold start, with an empty profile.
start_app
cold=$(quit_app)
echo "ui_bench: cold start ${cold%%|*} ms"

results=()
converter_args=""
run_alone() {
  local argv
  mapfile -t argv <<< "${converter_args//$work\/in-app.mp4/$work/alone.mp4}"
  rm -f "$work/alone.mp4"
  alone_start=$(now_ms)
  "${argv[@]}" > /dev/null 2>&1
  alone_end=$(now_ms)
}

for round in $(seq "$rounds"); do
  rm -f "$work/in-app.mp4"
  [ $((round % 2)) -eq 0 ] && run_alone
  start_app
  # Idle frames with the source shown: the pointer sweeps across the window, as a person's
  # would, so hover changes are drawn.
  for step in $(seq 0 60); do
    DISPLAY=$display xdotool mousemove --window "$window" $((100 + step * 15)) $((100 + step * 7))
    sleep 0.03
  done
  sleep 1

  DISPLAY=$display xdotool mousemove --window "$window" "$cx" "$cy" click 1
  converter_pid=""
  for _ in $(seq 200); do
    converter_pid=$(pgrep -P "$app_pid" -x kalo-depth || true)
    [ -n "$converter_pid" ] && break
    sleep 0.05
  done
  [ -n "$converter_pid" ] || { echo "ui_bench: the converter did not start" >&2; exit 1; }
  converter_args=$(tr '\0' '\n' < "/proc/$converter_pid/cmdline")
  job_start=$(process_start_ms "$converter_pid")
  app_cpu_before=$(cpu_seconds "$app_pid")
  xvfb_cpu_before=$(cpu_seconds "$xvfb_pid")
  # Returns within 50 ms of the converter's end; no process is started meanwhile.
  timeout 600 tail --pid="$converter_pid" -s 0.05 -f /dev/null || true
  job_end=$(now_ms)
  app_cpu=$(python3 -c "print(round($(cpu_seconds "$app_pid") - $app_cpu_before, 2))")
  xvfb_cpu=$(python3 -c "print(round($(cpu_seconds "$xvfb_pid") - $xvfb_cpu_before, 2))")
  wait_for_line "thread finish signal" 20
  sleep 1
  app_run=$(quit_app)

  # The same conversion alone, with nothing drawing beside it: after the application's in
  # odd rounds, before it in even ones (the command is known from the first round), so
  # that a drift of the machine's speed does not favour one side.
  [ $((round % 2)) -eq 1 ] && run_alone
  results+=("$app_run|$((job_end - job_start))|$((alone_end - alone_start))")
  echo "ui_bench: round $round: in the application $((job_end - job_start)) ms, alone $((alone_end - alone_start)) ms;" \
       "CPU used meanwhile by the application ${app_cpu} s, by the display server ${xvfb_cpu} s"
done

python3 - "$cold" "${results[@]}" <<'PY'
import re, statistics, sys
cold = float(sys.argv[1].split("|")[0])
rows = []
for text in sys.argv[2:]:
    first, timing, in_app, alone = text.split("|")
    m = re.search(r"idle median=([\d.]+) p99=([\d.]+) max=([\d.]+) \((\d+)\) "
                  r"converting median=([\d.]+) p99=([\d.]+) \((\d+)\)", timing)
    rows.append(dict(first=float(first), idle_med=float(m[1]), idle_p99=float(m[2]),
                     idle_max=float(m[3]), idle_n=int(m[4]), conv_med=float(m[5]),
                     conv_p99=float(m[6]), conv_n=int(m[7]), in_app=float(in_app) / 1000,
                     alone=float(alone) / 1000))
    print(timing)
med = lambda key: statistics.median(r[key] for r in rows)
ratios = [r["in_app"] / r["alone"] for r in rows]
firsts = ", ".join(f"{r['first']:.0f}" for r in rows)
print(f"first presented frame from the start: cold {cold:.0f} ms; warm median {med('first'):.0f} ms "
      f"({firsts}) (goal <= 500)")
print(f"idle:       median {med('idle_med'):.1f} ms, p99 {med('idle_p99'):.1f} ms, longest {med('idle_max'):.1f} ms "
      f"(medians of {len(rows)} rounds of about {rows[0]['idle_n']} frames; the longest is the frame "
      f"that opens the source)")
print(f"converting: median {med('conv_med'):.1f} ms, p99 {med('conv_p99'):.1f} ms, worst round's p99 "
      f"{max(r['conv_p99'] for r in rows):.1f} ms (goal p99 < 50)")
print("converter in the application / alone: " +
      ", ".join(f"{r['in_app']:.2f}/{r['alone']:.2f} s" for r in rows) +
      f"; ratio median {statistics.median(ratios):.3f} (goal <= 1.03)")
PY
