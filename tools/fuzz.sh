#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in
# their own folder and runs each for a bounded time from its seed corpus in
# tests/fuzz/corpus/<target>/. A finding stops the script with the crashing input saved in
# the build folder's fuzz/findings/; make it a test case, fix it, then run this again.
#   KALO_FUZZ_SECONDS  time per target (default 20)
#   KALO_FUZZ_BUILD    build folder (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${KALO_FUZZ_SECONDS:-20}
build_dir=${KALO_FUZZ_BUILD:-build-fuzz}
targets=(argument_parser filter_chain_split depth_options ui_document user_profile terminal_screen)

KALO_BUILD_DIR="$build_dir" KALO_BUILD_TARGETS="${targets[*]/#/fuzz_}" tools/build.sh \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKALO_SANITIZE=address -DKALO_FUZZ=ON \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link" -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link"

export ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1"
# The profile and UI document fuzzers load and write real files: keep them in a scratch
# folder, as the process-wide profile is saved at exit.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_DATA_HOME="$scratch/data" TMPDIR="$scratch"
root=$(pwd)
fuzzers=$(cd "$build_dir/fuzz" && pwd)
findings="$fuzzers/findings"
mkdir -p "$findings"
for target in "${targets[@]}"; do
  work="$scratch/corpus-$target"  # new inputs found in this run stay out of the source tree
  mkdir -p "$work"
  echo "fuzz: $target for ${seconds}s"
  # -close_fd_mask=1: the document loaders print their parse errors to standard output.
  (cd "$scratch" && "$fuzzers/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -close_fd_mask=1 -print_final_stats=0 \
      -artifact_prefix="$findings/$target-" "$work" "$root/tests/fuzz/corpus/$target") \
    > "$scratch/$target.log" 2>&1 || { tail -n 40 "$scratch/$target.log"; echo "fuzz: $target found a fault"; exit 1; }
  grep -E "^Done [0-9]+ runs" "$scratch/$target.log" || true
done
echo "fuzz: no findings"
