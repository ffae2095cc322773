#!/usr/bin/env bash
# kalo-depth against a plain FFmpeg transcode of the same 1080p clip, in the same run:
#   ffmpeg     -i in -vf scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M out
#   kalo-depth -i in -vf depth=outputmode=sbs:dl=25,scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M -y out
# Prints both wall times, their ratio (goal: at most 1.10) and the CPU time per frame of
# depth estimation and stereo synthesis. Reports only; never fails on a slow result.
#
# Environment: KALO_BUILD_DIR (default build), BENCH_SECONDS (clip length, default 10),
# BENCH_ROUNDS (alternating rounds, the best of each is compared; default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${KALO_BUILD_DIR:-build}
kalo="$build_dir/bin/kalo-depth"
seconds=${BENCH_SECONDS:-10}
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
run_timed() {  # prints "wall user system"
  { time "$@" >/dev/null 2>"$work/last.err"; } 2>&1
}

best_plain=""
best_kalo=""
for round in $(seq 1 "$rounds"); do
  read -r wall user sys < <(run_timed ffmpeg -nostdin -v error -y -i "$work/in.mp4" \
    -vf scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M "$work/plain.mp4")
  echo "round $round: ffmpeg      wall ${wall}s  cpu user ${user}s sys ${sys}s"
  if [ -z "$best_plain" ] || awk -v a="$wall" -v b="$best_plain" 'BEGIN{exit !(a<b)}'; then best_plain=$wall; fi

  read -r wall user sys < <(run_timed "$kalo" -hide_banner -nostats -benchmark -i "$work/in.mp4" \
    -vf depth=outputmode=sbs:dl=25,scale=1920:1080 -c:v libx264 -profile:v baseline -b:v 10M -y "$work/sbs.mp4")
  echo "round $round: kalo-depth  wall ${wall}s  cpu user ${user}s sys ${sys}s"
  grep '^bench: depth=' "$work/last.err" | sed 's/^/             /'
  stages=$(grep '^bench: depth=' "$work/last.err" | tail -1)
  if [ -z "$best_kalo" ] || awk -v a="$wall" -v b="$best_kalo" 'BEGIN{exit !(a<b)}'; then best_kalo=$wall; fi
done

depth_ms=$(sed -n 's/.*depth=\([0-9.]*\)ms.*/\1/p' <<<"$stages")
synth_ms=$(sed -n 's/.*synthesis=\([0-9.]*\)ms.*/\1/p' <<<"$stages")
echo
echo "clip: ${seconds} s, ${frames} frames, 1920x1080, $(nproc) cores"
echo "plain ffmpeg transcode: ${best_plain} s (best of $rounds)"
echo "kalo-depth 2D->3D:      ${best_kalo} s (best of $rounds)"
awk -v k="$best_kalo" -v p="$best_plain" 'BEGIN{printf "ratio kalo-depth / ffmpeg: %.3f (goal <= 1.10)\n", k/p}'
awk -v d="$depth_ms" -v s="$synth_ms" \
  'BEGIN{printf "depth + synthesis CPU: %.2f + %.2f = %.2f ms per frame\n", d, s, d+s}'
