// A running conversion: leaving (Escape, the close control, File › 退出) is refused until it
// is stopped, and stopping asks first and leaves the part already written as a playable file.
#include <thread>

#include "e2e_fixture.h"

namespace kalo::e2e {
namespace {

namespace fs = std::filesystem;

class StopAndQuit : public EndToEnd {
protected:
    // A clip long enough to be still converting whatever the test does meanwhile; the job
    // is started through the save dialog and has written its first frames.
    void startLongJob() {
        // Long enough that the stop lands mid-job however fast the converter runs: the job
        // ends at the stop, so the length costs only the clip's making.
        source = makeClip("long clip.mp4", 150.0);
        ASSERT_TRUE(startApp());
        ASSERT_TRUE(openSourceByButton(source));
        ASSERT_TRUE(restPointer());
        idleFace = grab(layout.convertControl);
        output = root / "long clip_SBS.mp4";
        ASSERT_TRUE(convertWithSaveDialog(output, 1));
        ASSERT_TRUE(waitForOutput("frame=", 1, 60));
        ASSERT_TRUE(waitForPicture(layout.convertControl, [&](const Picture& p) { return p != idleFace; }, 5,
                                   "the stop face of the convert button"));
        shot("converting");
    }

    // The converter keeps reporting new frames and the job has not ended.
    testing::AssertionResult jobStillRunning() {
        const std::size_t statusLines = occurrences("frame=");
        if (auto more = waitForOutput("frame=", statusLines + 1, 20); !more) return more;
        if (occurrences(jobFinishedLine) != 0) return testing::AssertionFailure() << "the job ended";
        return appStillRunning();
    }

    // The convert face is back: the frame that decides about the completion text is drawn.
    testing::AssertionResult convertFaceBack() {
        if (auto rested = restPointer(); !rested) return rested;
        return waitForPicture(layout.convertControl, [&](const Picture& p) { return p == idleFace; }, 10,
                              "the convert face back after the job");
    }

    Picture idleFace;
    fs::path source;
    fs::path output;
};

TEST_F(StopAndQuit, LeavingIsRefusedWhileConverting) {
    ASSERT_NO_FATAL_FAILURE(startLongJob());

    for (int box = 1; box <= 3; ++box) dialog->queueBoxClose();
    std::string said;
    ASSERT_TRUE(pressKeys("Escape"));
    ASSERT_TRUE(expectBox(1, "错误", &said));
    EXPECT_EQ(said, "转换进行中，请先停止再退出");
    ASSERT_TRUE(jobStillRunning());
    EXPECT_EQ(dialog->boxCount(), 1u) << "one Escape, one refusal";

    requestClose(window);  // the window's close control
    ASSERT_TRUE(expectBox(2, "错误"));
    ASSERT_TRUE(jobStillRunning());
    ASSERT_EQ(dialog->boxCount(), 2u) << "one press on the close control, one refusal";

    ASSERT_TRUE(pressKeys("alt+f Down Return"));  // File › "退出"
    ASSERT_TRUE(expectBox(3, "错误"));
    ASSERT_TRUE(jobStillRunning());
    ASSERT_EQ(dialog->boxCount(), 3u) << "one File › 退出, one refusal";

    dialog->queueBoxButton("确定");
    ASSERT_TRUE(click(layout.convertControl.centre(), "the stop button"));
    ASSERT_TRUE(expectBox(4, "取消渲染"));
    ASSERT_TRUE(waitForOutput(jobFinishedLine, 1, 30));
    ASSERT_TRUE(convertFaceBack());
    ASSERT_TRUE(quitWithEscape());
}

TEST_F(StopAndQuit, StopAsksFirstAndLeavesAPlayablePartialFile) {
    ASSERT_NO_FATAL_FAILURE(startLongJob());

    // "取消" keeps the job, and so does closing the box.
    dialog->queueBoxButton("取消");
    dialog->queueBoxClose();
    std::string asked;
    for (std::size_t box = 1; box <= 2; ++box) {
        ASSERT_TRUE(click(layout.convertControl.centre(), "the stop button"));
        ASSERT_TRUE(expectBox(box, "取消渲染", &asked));
        EXPECT_EQ(asked, "你确定取消渲染吗? ");
        ASSERT_TRUE(jobStillRunning());
    }

    // "确定" stops it.
    dialog->queueBoxButton("确定");
    ASSERT_TRUE(click(layout.convertControl.centre(), "the stop button"));
    ASSERT_TRUE(expectBox(3, "取消渲染"));
    ASSERT_TRUE(waitForOutput(jobFinishedLine, 1, 30));
    ASSERT_TRUE(convertFaceBack());
    shot("stopped");
    EXPECT_EQ(occurrences(completionShownLine), 0u) << "a stopped job is not complete";

    int frames = 0;
    ASSERT_TRUE(decodesCleanly(output, root, &frames));
    int sourceFrames = 0;
    ASSERT_TRUE(decodesCleanly(source, root, &sourceFrames));
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, sourceFrames) << "the whole clip was converted: the stop came too late to prove anything";
    ASSERT_TRUE(quitWithEscape());
}

}  // namespace
}  // namespace kalo::e2e
