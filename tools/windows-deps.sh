#!/usr/bin/env bash
# Builds the Windows (x86-64, mingw-w64) libraries that both programs and the Wine tests link:
# x264, FFmpeg (only the parts the programs use), FreeType, SDL2, SDL2_image, SDL2_ttf and
# GoogleTest, from Debian's source packages, plus the header-only nlohmann-json and GLM.
#
# Everything goes into one cache folder outside the checkout,
#   ${KALO_WIN_DEPS_DIR:-$HOME/.cache/kalo-win-deps}/<key>/prefix
# where <key> hashes the source package versions, the cross compiler's version, this script
# and the toolchain file. A finished prefix is reused as it is (a second run takes seconds);
# any change of those makes a new one. The last line printed is the prefix.
#
# Needs: tools/setup.sh's Windows packages (cross compiler, nasm, dpkg-dev) and deb-src
# entries for Debian's archive (added here when missing, as root).
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$(pwd)
toolchain=$checkout/cmake/mingw-w64-x86_64.cmake
triple=x86_64-w64-mingw32
jobs=${KALO_WIN_DEPS_JOBS:-$(nproc)}
cache_root=${KALO_WIN_DEPS_DIR:-$HOME/.cache/kalo-win-deps}
source_packages=(x264 ffmpeg freetype libsdl2 libsdl2-image libsdl2-ttf)

say() { echo "windows-deps: $*" >&2; }
fail() { say "$*"; exit 1; }

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi

for tool in $triple-gcc-posix $triple-g++-posix $triple-windres nasm pkg-config cmake dpkg-source; do
  command -v "$tool" >/dev/null || fail "$tool is missing; run tools/setup.sh"
done
[ -f /usr/src/googletest/CMakeLists.txt ] || fail "/usr/src/googletest is missing (package googletest)"
[ -f /usr/include/nlohmann/json.hpp ] || fail "nlohmann/json.hpp is missing (package nlohmann-json3-dev)"
[ -f /usr/include/glm/glm.hpp ] || fail "glm/glm.hpp is missing (package libglm-dev)"

# Source package versions; without deb-src entries apt knows none.
source_version() { apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -1; }
if [ -z "$(source_version x264)" ]; then
  if ! ls /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null | xargs grep -qs 'deb-src'; then
    say "adding deb-src entries for Debian's archive"
    "${SUDO[@]}" tee /etc/apt/sources.list.d/kalo-debian-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  fi
  "${SUDO[@]}" apt-get update -qq
fi

versions=""
for p in "${source_packages[@]}"; do
  v=$(source_version "$p")
  [ -n "$v" ] || fail "no source package $p known to apt"
  versions+="$p=$v;"
done
versions+="googletest=$(dpkg-query -W -f='${Version}' googletest);"
versions+="nlohmann-json3-dev=$(dpkg-query -W -f='${Version}' nlohmann-json3-dev);"
versions+="libglm-dev=$(dpkg-query -W -f='${Version}' libglm-dev);"
versions+="gcc=$($triple-gcc-posix -dumpfullversion)"
key=$( { echo "$versions"; cat "$0" "$toolchain"; } | sha256sum | cut -c1-16)
top=$cache_root/$key
prefix=$top/prefix

if [ -f "$top/complete" ]; then
  say "reusing $prefix"
  echo "$prefix"
  exit 0
fi

say "building into $prefix (key $key: $versions)"
started=$(date +%s)
rm -rf "$top"
mkdir -p "$top/src" "$top/logs" "$prefix"
work=$top/src
logs=$top/logs

# step NAME COMMAND...: runs one build step quietly; on failure shows its log's end.
step() {
  local name=$1; shift
  local t0; t0=$(date +%s)
  say "$name ..."
  if ! ( "$@" ) >"$logs/$name.log" 2>&1; then
    tail -40 "$logs/$name.log" >&2
    fail "$name failed (full log: $logs/$name.log)"
  fi
  say "$name done in $(( $(date +%s) - t0 )) s"
}

fetch_sources() {
  cd "$work"
  # apt drops privileges to _apt for downloads; a folder it cannot write only warns.
  apt-get source -qq "${source_packages[@]}"
}
step sources fetch_sources
src_dir() { find "$work" -maxdepth 1 -mindepth 1 -type d -name "$1-*" | sort | head -1; }

export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
export CC=$triple-gcc-posix CXX=$triple-g++-posix
make_j() { nice -n 15 make -j"$jobs" "$@"; }
cmake_dep() {  # cmake_dep SOURCE BUILD [options...]
  local src=$1 build=$2; shift 2
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DKALO_WIN_DEPS_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF "$@"
  nice -n 15 cmake --build "$build" -j"$jobs"
  cmake --install "$build"
}

build_x264() {
  cd "$(src_dir x264)"
  ./configure --host=$triple --cross-prefix=$triple- --prefix="$prefix" \
    --enable-static --disable-cli --bit-depth=8 --disable-opencl \
    --disable-lavf --disable-swscale --disable-ffms --disable-gpac --disable-lsmash
  make_j
  make install
}
step x264 build_x264

# FFmpeg: what the programs open, decode, filter and write, and nothing else.
build_ffmpeg() {
  cd "$(src_dir ffmpeg)"
  ./configure --prefix="$prefix" --target-os=mingw32 --arch=x86_64 --enable-cross-compile \
    --cross-prefix=$triple- --cc=$CC --cxx=$CXX --pkg-config=pkg-config --pkg-config-flags=--static \
    --extra-cflags="-I$prefix/include" --extra-ldflags="-L$prefix/lib" \
    --enable-static --disable-shared --enable-gpl --enable-libx264 \
    --disable-autodetect --enable-w32threads --disable-debug --disable-doc --disable-programs \
    --disable-avdevice --disable-postproc --disable-network --disable-everything \
    --enable-protocol=file,pipe \
    --enable-demuxer=mov,matroska,avi,mpegts,mpegps,flv,asf,m4v,h264,hevc,mpegvideo,wav,mp3,aac,ac3,ogg,flac \
    --enable-decoder=h264,hevc,mpeg4,mpeg1video,mpeg2video,msmpeg4v3,vp8,vp9,mjpeg,wmv3,vc1 \
    --enable-decoder=aac,mp3,mp3float,mp2,ac3,eac3,opus,vorbis,flac,alac,wmav2 \
    --enable-decoder=pcm_s16le,pcm_s16be,pcm_s24le,pcm_f32le,pcm_u8 \
    --enable-parser=h264,hevc,mpeg4video,mpegvideo,vp8,vp9,mjpeg,vc1,aac,ac3,mpegaudio,opus,vorbis,flac \
    --enable-encoder=libx264,aac \
    --enable-muxer=mp4,mov,matroska \
    --enable-filter=buffer,buffersink,abuffer,abuffersink,format,aformat,null,anull,scale,crop,pad \
    --enable-filter=transpose,hflip,vflip,rotate,setsar,setdar,fps,trim,atrim,aresample,split \
    --enable-filter=lut3d,eq,hue,colorchannelmixer,curves,unsharp
  make_j
  make install
}
step ffmpeg build_ffmpeg

build_freetype() {
  cmake_dep "$(src_dir freetype)" "$work/build-freetype" \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}
step freetype build_freetype

build_sdl2() {
  cmake_dep "$(src_dir libsdl2)" "$work/build-sdl2" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_UNINSTALL=ON
}
step sdl2 build_sdl2

# Images: the assets are PNG (and BMP, which SDL itself reads); stb's decoder is built in.
build_sdl2_image() {
  cmake_dep "$(src_dir libsdl2-image)" "$work/build-sdl2-image" \
    -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_TESTS=OFF \
    -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_BACKEND_WIC=OFF \
    -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_JPG=ON -DSDL2IMAGE_BMP=ON \
    -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_GIF=OFF -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_LBM=OFF \
    -DSDL2IMAGE_PCX=OFF -DSDL2IMAGE_PNM=OFF -DSDL2IMAGE_QOI=OFF -DSDL2IMAGE_SVG=OFF \
    -DSDL2IMAGE_TGA=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_XCF=OFF \
    -DSDL2IMAGE_XPM=OFF -DSDL2IMAGE_XV=OFF
}
step sdl2_image build_sdl2_image

build_sdl2_ttf() {
  cmake_dep "$(src_dir libsdl2-ttf)" "$work/build-sdl2-ttf" \
    -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF
}
step sdl2_ttf build_sdl2_ttf

# Their CMake builds write a pkg-config file only for shared libraries; the programs find
# every library through pkg-config, so the static ones get theirs here.
write_pc() {  # write_pc NAME VERSION REQUIRES LIBRARY
  cat >"$prefix/lib/pkgconfig/$1.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: $1
Description: $1 (static, built by tools/windows-deps.sh)
Version: $2
Requires: $3
Libs: -L\${libdir} -l$4
Cflags: -I\${includedir}/SDL2
EOF
}
version_of() { basename "$(src_dir "$1")" | sed -e "s/^$1-//" -e 's/+.*//'; }
write_pc_files() {
  write_pc SDL2_image "$(version_of libsdl2-image)" sdl2 SDL2_image
  write_pc SDL2_ttf "$(version_of libsdl2-ttf)" "sdl2 freetype2" SDL2_ttf
}
step pkgconfig_files write_pc_files

build_googletest() {
  cmake_dep /usr/src/googletest "$work/build-googletest" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
}
step googletest build_googletest

copy_headers() {
  mkdir -p "$prefix/include" "$prefix/share/cmake"
  cp -r /usr/include/nlohmann /usr/include/glm "$prefix/include/"
  cp -r /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
}
step headers copy_headers

rm -rf "$work"   # the sources and object files: only the prefix is kept
echo "$(( $(date +%s) - started ))" >"$top/build-seconds"
touch "$top/complete"
say "done in $(( $(date +%s) - started )) s"
echo "$prefix"
