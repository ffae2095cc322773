#!/usr/bin/env bash
# kalo-depth against a plain FFmpeg transcode of the same 1080p clip, in the same run:
#   ffmpeg     -i in -vf scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M out
#   kalo-depth -i in -vf depth=outputmode=sbs:dl=25,scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M -y out
# Prints both times, their ratio (goal: at most 1.10) and the CPU time per frame of depth
# estimation and stereo synthesis. A third, control run has ffmpeg encode the clip as a
# side-by-side picture of two squeezed copies: it shows how much of the difference is
# libx264 working harder on side-by-side pictures rather than our own work.
# Reports only; never fails on a slow result.
#
# Environment: KALO_BUILD_DIR (default build), BENCH_SECONDS (clip length, default 8),
# BENCH_ROUNDS (alternating rounds; the best of each command is compared; default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${KALO_BUILD_DIR:-build}
kalo="$build_dir/bin/kalo-depth"
seconds=${BENCH_SECONDS:-8}
rounds=${BENCH_ROUNDS:-2}
[ -x "$kalo" ] || { echo "convert_bench: $kalo not found; build first (tools/build.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Camera-like source: moving test pattern with light film grain (so the encoder works as
# hard as on real footage), a tone, H.264 + AAC in MP4.
echo "convert_bench: making a ${seconds} s 1920x1080 clip..."
ffmpeg -nostdin -v error -y \
  -f lavfi -i "testsrc2=size=1920x1080:rate=25:duration=$seconds,noise=alls=6:allf=t" \
  -f lavfi -i "sine=frequency=440:duration=$seconds" \
  -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -c:a aac -movflags +faststart "$work/in.mp4"
frames=$(ffprobe -v error -select_streams v -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "$work/in.mp4")

TIMEFORMAT='%R %U %S'
declare -A best_wall best_cpu last_wall last_cpu
wall_ratios=()
cpu_ratios=()
control_ratios=()
measure() {  # measure NAME COMMAND...: prints and keeps the best wall and CPU (user+system) time
  local name=$1 wall user sys cpu
  shift
  read -r wall user sys < <({ time "$@" >/dev/null 2>"$work/last.err"; } 2>&1)
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN{printf "%.3f", u+s}')
  printf "round %d: %-15s wall %8.3f s   cpu %8.3f s\n" "$round" "$name" "$wall" "$cpu"
  last_wall[$name]=$wall
  last_cpu[$name]=$cpu
  if [ -z "${best_wall[$name]:-}" ] || awk -v a="$wall" -v b="${best_wall[$name]}" 'BEGIN{exit !(a<b)}'; then
    best_wall[$name]=$wall
  fi
  if [ -z "${best_cpu[$name]:-}" ] || awk -v a="$cpu" -v b="${best_cpu[$name]}" 'BEGIN{exit !(a<b)}'; then
    best_cpu[$name]=$cpu
  fi
}

stages=""
for round in $(seq 1 "$rounds"); do
  measure ffmpeg ffmpeg -nostdin -v error -y -i "$work/in.mp4" \
    -vf scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M "$work/plain.mp4"
  measure kalo-depth "$kalo" -hide_banner -nostats -benchmark -i "$work/in.mp4" \
    -vf depth=outputmode=sbs:dl=25,scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M -y "$work/sbs.mp4"
  stages=$(grep '^bench: depth=' "$work/last.err" | tail -1)
  grep '^bench: ' "$work/last.err" | sed 's/^/          /'

  measure ffmpeg-sbs-only ffmpeg -nostdin -v error -y -i "$work/in.mp4" \
    -filter_complex "scale=960:1080,split[a][b];[a][b]hstack" -c:v libx264 -profile:v baseline -b:v 10M \
    "$work/control.mp4"
  # Ratios within a round compare runs made minutes apart, under the same load.
  wall_ratios+=("$(awk -v a="${last_wall[kalo-depth]}" -v b="${last_wall[ffmpeg]}" 'BEGIN{print a/b}')")
  cpu_ratios+=("$(awk -v a="${last_cpu[kalo-depth]}" -v b="${last_cpu[ffmpeg]}" 'BEGIN{print a/b}')")
  control_ratios+=("$(awk -v a="${last_cpu[ffmpeg-sbs-only]}" -v b="${last_cpu[ffmpeg]}" 'BEGIN{print a/b}')")
done
median() { printf "%s\n" "$@" | sort -g | awk '{v[NR]=$1} END{printf "%.3f", (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.3f", a/b}'; }
depth_ms=$(sed -n 's/.*depth=\([0-9.]*\)ms.*/\1/p' <<<"$stages")
synth_ms=$(sed -n 's/.*synthesis=\([0-9.]*\)ms.*/\1/p' <<<"$stages")
echo
echo "clip: ${seconds} s, ${frames} frames, 1920x1080, $(nproc) cores; best of $rounds rounds"
echo "plain ffmpeg transcode:    wall ${best_wall[ffmpeg]} s   cpu ${best_cpu[ffmpeg]} s"
echo "kalo-depth 2D->3D:         wall ${best_wall[kalo-depth]} s   cpu ${best_cpu[kalo-depth]} s"
echo "ratio kalo-depth / ffmpeg, median of the rounds: wall $(median "${wall_ratios[@]}")   cpu $(median "${cpu_ratios[@]}")   (goal <= 1.10)"
echo "ratio of the best times:                         wall $(ratio "${best_wall[kalo-depth]}" "${best_wall[ffmpeg]}")   cpu $(ratio "${best_cpu[kalo-depth]}" "${best_cpu[ffmpeg]}")"
echo "control, libx264 on a side-by-side picture without depth work: cpu ratio $(median "${control_ratios[@]}") (median)"
awk -v d="$depth_ms" -v s="$synth_ms" -v f="$frames" -v c="${best_cpu[ffmpeg]}" \
  'BEGIN{printf "depth + synthesis CPU: %.2f + %.2f = %.2f ms per frame (%.1f%% of the plain transcode'"'"'s CPU)\n", d, s, d+s, 100*(d+s)*f/1000/c}'
