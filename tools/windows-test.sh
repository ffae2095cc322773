#!/usr/bin/env bash
# The Windows stage of the tests: cross-builds (tools/windows-build.sh), then, under Wine on
# a virtual X display,
#   1. test_windows.exe: the Win32 platform layer, the converter's Windows command string,
#      the configuration and option tables, and one job run by kalo-depth.exe exactly as the
#      application starts it;
#   2. kalo-depth.exe converting a clip from the command line;
#      Linux ffprobe checks both results (side-by-side H.264 MP4 with the sound kept);
#   3. kalo-converter.exe starting and showing its window: a screenshot is kept in
#      <build>/windows-test/kalo-converter.png.
# Checks that Wine cannot do (it lacks a few console calls) are reported as skipped with the
# reason, never as passed. The Wine prefix lives in the build folder and is reused.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${KALO_WIN_BUILD_DIR:-build-windows}
case $build_dir in /*) ;; *) build_dir=$root/$build_dir ;; esac
export KALO_WIN_BUILD_DIR=$build_dir

stage_started=$(date +%s)
tools/windows-build.sh
built=$(date +%s)

bin=$build_dir/bin
work=$build_dir/windows-test
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=${KALO_WINEPREFIX:-$build_dir/wine-prefix}
export WINEDEBUG=-all
# No .NET or HTML engine: nothing here uses them, and Wine would offer to install them.
export WINEDLLOVERRIDES="mscoree,mshtml="
screen=(-a -s "-screen 0 1920x1080x24")
# on_display COMMAND...: runs a Windows program under Wine on a virtual display of its own,
# and waits for that Wine session to end before the display goes, so that the next call
# starts afresh. Returns the program's exit status.
on_display() {
  xvfb-run "${screen[@]}" bash -c '"$@"; status=$?; wineserver -w; exit $status' on_display "$@"
}

failures=()
fail() { echo "windows-test: FAILED: $*"; failures+=("$*"); }

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "windows-test: creating the Wine prefix $WINEPREFIX"
  on_display wine wineboot --init >"$work/wineboot.log" 2>&1 || true
fi

# A short clip with sound, made by the Linux tools.
clip=$work/clip.mp4
ffmpeg -v error -f lavfi -i testsrc2=size=320x180:rate=12:duration=2 \
  -f lavfi -i sine=frequency=440:duration=2 -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest \
  -y "$clip"

# 1. The GoogleTest program, from the programs' folder as CTest runs tests. Wine's drive Z:
# is the Linux root. (Every Wine call here runs inside xvfb-run: a Wine server started
# without a display would be shared by the next call, which could then open no window.)
echo "windows-test: test_windows.exe under Wine"
set +e
(cd "$bin" && KALO_WIN_TEST_CLIP=$clip KALO_WIN_TEST_RESULT=$work/job_SBS.mp4 \
  on_display wine "$build_dir/tests/bin/test_windows.exe" \
    --gtest_output=xml:"Z:$work/test_windows.xml" >"$work/test_windows.log" 2>&1)
test_status=$?
set -e
# Wine writes the program's line ends as CR LF.
sed -i 's/\r$//' "$work/test_windows.log"
grep -E '^\[ +(OK|SKIPPED|FAILED) +\] [A-Za-z].*\(' "$work/test_windows.log" | sed 's/^/  /' || true
# A skip's reason is printed just before its [ SKIPPED ] line.
grep -B3 -E '^\[ +SKIPPED +\] [A-Za-z].*\(' "$work/test_windows.log" | grep -vE '^\[|^--|: Skipped$' \
  | sed 's/^/    skipped because: /' || true
passed=$(grep -cE '^\[ +OK +\] ' "$work/test_windows.log" || true)
skipped=$(grep -cE '^\[ +SKIPPED +\] [A-Za-z].*\(' "$work/test_windows.log" || true)
failed=$(grep -cE '^\[ +FAILED +\] [A-Za-z].*\(' "$work/test_windows.log" || true)
echo "windows-test: test_windows.exe: $passed tests passed, $skipped skipped (Wine), $failed failed"
# The closing summary and the XML report prove that the log holds the whole run.
finished_whole=1
grep -qE '^\[==========\] [0-9]+ tests? from .* ran' "$work/test_windows.log" || finished_whole=0
[ -s "$work/test_windows.xml" ] || finished_whole=0
if [ "$test_status" -ne 0 ] || [ "$failed" -ne 0 ] || [ "$passed" -eq 0 ] || [ "$finished_whole" -eq 0 ]; then
  tail -40 "$work/test_windows.log"
  fail "test_windows.exe (exit $test_status; log: $work/test_windows.log)"
fi

# probe FILE WIDTH HEIGHT: a side-by-side H.264 picture of that size and AAC sound.
probe() {
  local file=$1 width=$2 height=$3 streams
  if [ ! -s "$file" ]; then fail "$file was not written"; return; fi
  streams=$(ffprobe -v error -show_entries stream=codec_type,codec_name,width,height \
            -of csv=p=0 "$file" 2>&1 | grep -v '^$') || { fail "ffprobe refuses $file: $streams"; return; }
  grep -q "^h264,video,$width,$height" <<<"$streams" || fail "$file: no ${width}x$height H.264 video ($streams)"
  grep -q "^aac,audio" <<<"$streams" || fail "$file: no AAC audio ($streams)"
  # Read whole before searching: grep -q would stop early and, under pipefail, the cut-off
  # ffprobe would fail the check at random.
  local details
  details=$(ffprobe -v error -show_streams "$file" 2>/dev/null || true)
  grep -qi "type=side by side" <<<"$details" || fail "$file is not marked side by side"
  echo "windows-test: ffprobe accepts $(basename "$file"): $(tr '\n' ' ' <<<"$streams")"
}
if [ -e "$work/job_SBS.mp4" ]; then probe "$work/job_SBS.mp4" 1920 1080; fi

# 2. kalo-depth.exe on its own, from the command line.
echo "windows-test: kalo-depth.exe converting a clip"
set +e
(cd "$work" && on_display wine "$bin/kalo-depth.exe" -i clip.mp4 \
  -vf depth=outputmode=sbs:dl=25,scale=640:360 -c:v libx264 -profile:v baseline -b:v 2M \
  -y cli_SBS.mp4 >"$work/kalo-depth.log" 2>&1)
depth_status=$?
set -e
if [ "$depth_status" -ne 0 ]; then
  tail -20 "$work/kalo-depth.log"
  fail "kalo-depth.exe exited with $depth_status (log: $work/kalo-depth.log)"
fi
probe "$work/cli_SBS.mp4" 640 360

# 3. The application starts and shows its window. Under Wine on Xvfb, SDL's Direct3D
# renderers (through wined3d) put nothing on the screen in the colour-keyed window, so the
# application draws with SDL's OpenGL renderer here; Windows uses its default renderer.
echo "windows-test: kalo-converter.exe starting (SDL_RENDER_DRIVER=opengl under Wine)"
shot=$work/kalo-converter.png
cat >"$work/start-converter.sh" <<'EOS'
#!/usr/bin/env bash
# Runs inside xvfb-run: starts the application, waits for its window, takes a screenshot.
cd "$1"
SDL_RENDER_DRIVER=opengl wine ./kalo-converter.exe >"$3.log" 2>&1 &
for _ in $(seq 1 120); do
  if xdotool search --onlyvisible --class "kalo-converter.exe" >/dev/null 2>&1; then break; fi
  sleep 1
done
sleep 10  # the first frames, and the layout after the menu bar took its height
import -window root "$3"
shown=$(xdotool search --onlyvisible --class "kalo-converter.exe" 2>/dev/null | wc -l)
wineserver -k
echo "$shown" >"$2"
EOS
chmod +x "$work/start-converter.sh"
xvfb-run "${screen[@]}" "$work/start-converter.sh" "$bin" "$work/windows-shown" "$shot" || true
if [ "$(cat "$work/windows-shown" 2>/dev/null || echo 0)" -lt 1 ]; then
  tail -20 "$shot.log" 2>/dev/null || true
  fail "kalo-converter.exe showed no window (log: $shot.log)"
elif [ "$(convert "$shot" -format %k info:)" -lt 50 ]; then
  fail "the screenshot $shot is nearly blank"
else
  echo "windows-test: kalo-converter.exe showed its window; screenshot $shot"
fi

finished=$(date +%s)
echo "windows-test: build $((built - stage_started)) s, Wine checks $((finished - built)) s"
if [ "${#failures[@]}" -gt 0 ]; then
  echo "windows-test: ${#failures[@]} check(s) failed:"
  printf '  %s\n' "${failures[@]}"
  exit 1
fi
echo "windows-test: every Windows check passed ($skipped skipped under Wine, listed above)"
