// Filter selection and the "filter-thread" that builds one graph per filter index.
//
// A build thread gets everything it needs (description, picture format) when it starts and
// touches the engine only to store its result under `mutex`; release waits for running
// builds, so a graph is never stored into an engine that moved on to another file.
#include <cstdio>
#include <stdexcept>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

#include "media/lut_filter_text.h"
#include "player/ffmpeg_helper.h"
#include "player/filter_image.h"
#include "player/preview_looks.h"

struct FFmpegHelper::FilterBuild {
    FFmpegHelper* engine = nullptr;
    int index = 0;
    std::string description;
    PictureFormat format;
    int threads = 0;
    SDL_Thread* thread = nullptr;
    std::atomic<bool> done{false};
};

std::string FFmpegHelper::filterDescription(int index) const {
    if (index >= 0 && index < colourLookLimit) {
        try {
            return kalo::lutFilterText(programPath, index);
        } catch (const std::exception&) {
            return "";  // outside the filter table: nothing to build
        }
    }
    return previewLookGraph(index);
}

int FFmpegHelper::buildFilter(int index) {
    std::shared_ptr<FilterImage> image =
        FilterImage::build(filterDescription(index), sourceFormat, codecThreads);
    const bool ready = image->ready;
    storeFilter(index, std::move(image));
    return ready ? 0 : -1;
}

void FFmpegHelper::storeFilter(int index, std::shared_ptr<FilterImage> image) {
    SDL_LockMutex(mutex);
    filters[index] = std::move(image);
    filtersBuilding.erase(index);
    if (index == activeFilter) refilter = true;  // the shown picture gets the new look
    SDL_UnlockMutex(mutex);
}

int FFmpegHelper::filterThreadMain(void* data) {
    auto* build = static_cast<FilterBuild*>(data);
    std::shared_ptr<FilterImage> image =
        FilterImage::build(build->description, build->format, build->threads);
    const bool ready = image->ready;
    build->engine->storeFilter(build->index, std::move(image));
    if (!ready) {
        std::fputs("Filter failed to init!\n", stdout);
        std::fflush(stdout);
    }
    build->done = true;
    return 0;
}

void FFmpegHelper::startFilterBuild(int index) {
    auto build = std::make_shared<FilterBuild>();
    build->engine = this;
    build->index = index;
    build->description = filterDescription(index);
    build->format = sourceFormat;
    build->threads = codecThreads;
    build->thread = SDL_CreateThread(filterThreadMain, "filter-thread", build.get());
    if (!build->thread) {
        SDL_LockMutex(mutex);
        filtersBuilding.erase(index);
        SDL_UnlockMutex(mutex);
        return;
    }
    filterBuilds.push_back(std::move(build));
}

void FFmpegHelper::reapFilterBuilds(bool waitForAll) {
    for (auto it = filterBuilds.begin(); it != filterBuilds.end();) {
        if (waitForAll || (*it)->done) {
            SDL_WaitThread((*it)->thread, nullptr);
            it = filterBuilds.erase(it);
        } else {
            ++it;
        }
    }
}

void FFmpegHelper::waitForFilterBuilds() { reapFilterBuilds(true); }

void FFmpegHelper::selectFilter(int index) {
    ++filterSelection;
    activeFilter = index;
    refilter = true;
    bool startBuild = false;
    SDL_LockMutex(mutex);
    av_frame_unref(filteredFrame);
    ++pictureSerial;
    if (opened && index > 0 && filters.count(index) == 0 && filtersBuilding.count(index) == 0) {
        filtersBuilding.insert(index);
        startBuild = true;
    }
    SDL_UnlockMutex(mutex);
    reapFilterBuilds(false);
    if (startBuild) startFilterBuild(index);
}

void FFmpegHelper::setFilter(std::uint8_t index) { selectFilter(index); }

void FFmpegHelper::toggleFilter(int index) {
    if (activeFilter < 0) {
        selectFilter(index);
        if (filterChoiceCallback) filterChoiceCallback(index);
        return;
    }
    ++filterSelection;
    activeFilter = -1;
    refilter = true;
    SDL_LockMutex(mutex);
    av_frame_unref(filteredFrame);
    ++pictureSerial;
    SDL_UnlockMutex(mutex);
    if (filterChoiceCallback) filterChoiceCallback(-1);
}

std::shared_ptr<FFmpegHelper::FilterImage> FFmpegHelper::readyFilter(int index) {
    SDL_LockMutex(mutex);
    const auto found = filters.find(index);
    std::shared_ptr<FilterImage> image =
        found != filters.end() && found->second->ready ? found->second : nullptr;
    SDL_UnlockMutex(mutex);
    return image;
}

bool FFmpegHelper::runFilter(AVFrame* source, int index, AVFrame* out, const char* errorMessage) {
    av_frame_unref(out);
    if (index < 0 || !source || !source->data[0]) return false;
    // Held by this reference, the graph outlives a release that empties `filters`.
    const std::shared_ptr<FilterImage> image = readyFilter(index);
    if (!image) return false;
    SDL_LockMutex(filterMutex);
    const int result = image->filter(source);
    const bool filtered = result >= 0;
    if (filtered) av_frame_move_ref(out, image->outFrame.get());
    SDL_UnlockMutex(filterMutex);
    if (result < 0 && result != AVERROR(EAGAIN) && result != AVERROR_EOF) {
        std::fputs(errorMessage, stdout);
        std::fflush(stdout);
    }
    return filtered;
}

void FFmpegHelper::refilterCurrentPicture(const char* errorMessage) {
    const int index = activeFilter;
    SDL_LockMutex(mutex);
    const bool wanted = index >= 0 && frame && frame->data[0] && (refilter || !filteredFrame->data[0]);
    const std::uint64_t serial = pictureSerial;
    const std::uint64_t selection = filterSelection;
    av_frame_unref(refilterSource);
    if (wanted) {
        av_frame_ref(refilterSource, frame);
        refilter = false;
    }
    SDL_UnlockMutex(mutex);
    if (!wanted) return;

    if (runFilter(refilterSource, index, refilterOutput, errorMessage)) {
        SDL_LockMutex(mutex);
        // Keep it only if neither the picture nor the selection moved on meanwhile.
        if (serial == pictureSerial && selection == filterSelection) {
            av_frame_unref(filteredFrame);
            av_frame_move_ref(filteredFrame, refilterOutput);
            ++pictureSerial;
        }
        SDL_UnlockMutex(mutex);
    }
    av_frame_unref(refilterOutput);
    av_frame_unref(refilterSource);
}
