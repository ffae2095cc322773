#include "converter/cli/help_text.h"

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

namespace kalo::converter {
namespace {

constexpr const char* kVersion = "1.0.0";

std::string libraryVersion(const char* name, unsigned version) {
    return std::string(name) + " " + std::to_string(AV_VERSION_MAJOR(version)) + "." +
           std::to_string(AV_VERSION_MINOR(version)) + "." + std::to_string(AV_VERSION_MICRO(version));
}

}  // namespace

std::string bannerText() {
    return std::string("kalo-depth version ") + kVersion + ", 2D to side-by-side 3D (FFmpeg " +
           av_version_info() + " libraries)\n";
}

std::string versionText() {
    return std::string("kalo-depth version ") + kVersion + "\n" +
           "  " + libraryVersion("libavutil    ", avutil_version()) + "\n" +
           "  " + libraryVersion("libavcodec   ", avcodec_version()) + "\n" +
           "  " + libraryVersion("libavformat  ", avformat_version()) + "\n" +
           "  " + libraryVersion("libavfilter  ", avfilter_version()) + "\n";
}

std::string helpText() {
    return R"(usage: kalo-depth [options] -i INPUT [output options] OUTPUT

Converts a 2D video into side-by-side stereoscopic 3D with the `depth` video filter, in
FFmpeg's command-line syntax. The result is H.264 (libx264) in MP4 with the audio kept.

General options:
  -h, -help             show this help and exit
  -version              show the version and exit
  -hide_banner          do not print the banner
  -loglevel LEVEL       quiet, panic, fatal, error, warning, info (default), verbose,
                        debug, trace, or a number (-v is the same)
  -y                    overwrite the output file without asking
  -n                    never overwrite an existing output file
  -nostats / -stats     hide / show the status line (shown by default)
  -benchmark            print CPU time per stage at the end

Input options (before -i):
  -ss TIME              start reading at TIME ([HH:]MM:SS[.xx] or seconds)
  -t DURATION           read at most DURATION
  -threads N|auto       decoder threads

Output options (after -i):
  -vf CHAIN             video filters; any FFmpeg filter may stand before and after `depth`
  -c:v libx264          video encoder (the only one)
  -profile:v P          baseline, main or high
  -b:v RATE             video bit rate, e.g. 10M
  -preset P             libx264 preset (default: the encoder's own, medium)
  -pix_fmt yuv420p      output pixel format (the only one)
  -threads N|auto       encoder threads (default: automatic)
  -ss TIME, -t DURATION start and length of the output
  -c:a copy|aac         audio: copy, or encode to AAC (default: copy when MP4 takes the
                        codec, otherwise AAC)
  -an                   drop the audio

The depth filter: depth=outputmode=sbs|depth[:mode=portrait|landscape][:dl=N]
  outputmode=sbs        left and right views side by side at the input's size, each
                        squeezed to half width (follow with scale=W:H for the output size)
  outputmode=depth      the estimated depth map as a grey picture (near bright, far dark)
  mode=portrait         close-up scene prior; mode=landscape: distant scenes; absent: mixed
  dl=N                  strength: the largest parallax, in thousandths of the picture
                        width, 0 to 100 (default 25)

Example:
  kalo-depth -i in.mp4 -vf depth=outputmode=sbs:dl=25,scale=1920:1080 -c:v libx264 \
             -profile:v baseline -b:v 10M -y out.mp4

Exit status: 0 when the whole input was converted, 255 when stopped by a signal (the
file written so far is finished and playable), 1 on any error.
)";
}

}  // namespace kalo::converter
