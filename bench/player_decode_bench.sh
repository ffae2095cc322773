#!/usr/bin/env bash
# The preview engine's decode rate against FFmpeg's own, on the same 1080p clip in the
# same run: the engine's reader and decoder threads with pacing off, until the end of the
# stream, against `ffmpeg -i clip -f null -`. Prints both rates and their ratio
# (goal: at least 0.9). Reports only; never fails on a slow result.
#
# Environment: KALO_BUILD_DIR (default build), BENCH_SECONDS (clip length, default 10),
# BENCH_ROUNDS (alternating rounds, the best of each is compared; default 3).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${KALO_BUILD_DIR:-build}
bench="$build_dir/bin/kalo-player-decode-bench"
seconds=${BENCH_SECONDS:-10}
rounds=${BENCH_ROUNDS:-3}
[ -x "$bench" ] || { echo "player_decode_bench: $bench not found; build first (tools/build.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "player_decode_bench: making a ${seconds} s 1920x1080 clip..."
ffmpeg -nostdin -v error -y \
  -f lavfi -i "testsrc2=size=1920x1080:rate=25:duration=$seconds,noise=alls=6:allf=t" \
  -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -movflags +faststart "$work/in.mp4"
frames=$(ffprobe -v error -select_streams v -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "$work/in.mp4")

best_ffmpeg=""
best_engine=""
engine_frames=""
for round in $(seq 1 "$rounds"); do
  start=$(date +%s.%N)
  ffmpeg -nostdin -v error -i "$work/in.mp4" -f null -
  end=$(date +%s.%N)
  wall=$(awk -v a="$start" -v b="$end" 'BEGIN{printf "%.3f", b-a}')
  echo "round $round: ffmpeg -f null   ${wall} s"
  if [ -z "$best_ffmpeg" ] || awk -v a="$wall" -v b="$best_ffmpeg" 'BEGIN{exit !(a<b)}'; then best_ffmpeg=$wall; fi

  # The engine's library brings the application's process-wide settings with it; keep
  # their profile file out of the user's own folder.
  line=$(XDG_DATA_HOME="$work" "$bench" "$work/in.mp4" 1 | grep '^frames=')
  wall=$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$line")
  engine_frames=$(sed -n 's/.*frames=\([0-9]*\).*/\1/p' <<<"$line")
  echo "round $round: preview engine  ${wall} s  ($line)"
  if [ -z "$best_engine" ] || awk -v a="$wall" -v b="$best_engine" 'BEGIN{exit !(a<b)}'; then best_engine=$wall; fi
done

echo
echo "clip: ${seconds} s, ${frames} frames, 1920x1080 H.264, $(nproc) cores"
[ "$engine_frames" = "$frames" ] || echo "warning: the engine showed $engine_frames of $frames frames"
awk -v f="$frames" -v t="$best_ffmpeg" 'BEGIN{printf "ffmpeg -f null:  %.1f frames/s (best of rounds)\n", f/t}'
awk -v f="$frames" -v t="$best_engine" 'BEGIN{printf "preview engine:  %.1f frames/s (best of rounds)\n", f/t}'
awk -v e="$best_engine" -v p="$best_ffmpeg" 'BEGIN{printf "ratio engine / ffmpeg decode rate: %.3f (goal >= 0.9)\n", p/e}'
