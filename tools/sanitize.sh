#!/usr/bin/env bash
# Runs the threaded code under ThreadSanitizer and the parsers under AddressSanitizer
# (with UndefinedBehaviorSanitizer), each in its own build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
display=(xvfb-run -a -s "-screen 0 1920x1080x24")

# Each test program runs with a temporary home of its own, as under CTest.
own_home=$PWD/tests/support/own_home.sh
run_tests() {  # build folder, test binary, gtest filter
  (cd "$1/bin" && "${display[@]}" "$own_home" "../tests/bin/$2" --gtest_filter="$3" --gtest_brief=1)
}

# Threads: scene loop, preview engine, conversion worker, console pump and the start-up
# preload. The job through the real converter is left out: FFmpeg's own worker threads use
# atomics that the sanitizer cannot see, so a sanitized converter reports races that are
# not ours.
KALO_BUILD_DIR=build-tsan KALO_BUILD_TARGETS="test_scene test_player test_conversion test_widgets kalo_assets" \
  tools/build.sh -DKALO_SANITIZE=thread
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
run_tests build-tsan test_scene '*'
run_tests build-tsan test_player '*'
run_tests build-tsan test_conversion '-*TheRealConverter*'
run_tests build-tsan test_widgets 'AssetPreload*'

# Parsers: configuration and profile documents, option tables, the depth filter's options;
# and the converter end to end: every converter test runs the sanitized kalo-depth, so its
# option parsing, pipeline, stops and output file handling run under the sanitizer (a
# sanitizer report makes kalo-depth exit non-zero, which fails the test that ran it).
KALO_BUILD_DIR=build-asan KALO_BUILD_TARGETS="test_config test_depth test_converter kalo-depth" \
  tools/build.sh -DKALO_SANITIZE=address
# A report exits with 86, a code no test expects of kalo-depth (0, 1, 255).
export ASAN_OPTIONS="detect_leaks=1 exitcode=86" UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1 exitcode=86"
run_tests build-asan test_config '*'
run_tests build-asan test_depth 'DepthOptions*'
KALO_TEST_TIME_SCALE=5 run_tests build-asan test_converter '*'
echo "sanitizers: all passed"
