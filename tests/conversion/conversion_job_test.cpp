// Jobs run through the real worker, process and console with a stand-in converter that
// writes FFmpeg-style status lines: the events and their order, progress and time left read
// from the console, cancel, failure, a converter that cannot start, and a converter that
// writes a great deal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "clip_factory.h"
#include "config/option_tables.h"
#include "conversion/convert_actions.h"
#include "conversion/converter_command_line.h"
#include "conversion/converter_location.h"
#include "conversion/progress_monitor.h"
#include "media_probe.h"
#include "platform/text_encoding.h"
#include "scene/user_events.h"
#include "scripted_boxes.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

const fs::path fakeConverter = fs::path(KALO_TEST_BIN_DIR) / "fake_converter";

// Paths to the record's wide text as the application makes it (UTF-8 based, whatever the
// process locale).
std::wstring wide(const fs::path& path) { return kalo::utf8ToWide(kalo::pathToUtf8(path)); }

class ConversionJob : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER), 0) << SDL_GetError();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        refreshOptionTables();
        folder = fs::path(KALO_TEST_BIN_DIR) / "conversion_job" /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        breakRunningConverter();
        EXPECT_TRUE(waitForConversionWorker(10s));
        SDL_Quit();
    }

    fs::path script(const std::string& text, const fs::path& where) {
        fs::create_directories(where.parent_path());
        std::ofstream(where) << text;
        return where;
    }

    JobLaunch launch(const std::string& scriptText, const fs::path& converter = fakeConverter) {
        JobLaunch job;
        job.snapshot.input = script(scriptText, folder / "script.txt").wstring();
        job.snapshot.output = (folder / "record.txt").wstring();
        job.converter = converter;
        job.programDirectory = folder;
        return job;
    }

    // Collects user events until event 11 or the limit; polls the console every 100 ms while
    // the job runs (after event 10), as the screen does.
    struct Run {
        std::vector<Sint32> codes;
        JobOutcome outcome = JobOutcome::NotStarted;
        SDL_Event finished{};
        std::vector<float> progress;
        std::set<std::string> texts;
        bool ended = false;
    };
    Run follow(std::chrono::milliseconds limit, std::uint64_t totalFrames = 0,
               ProgressMonitor* monitor = nullptr) {
        Run run;
        const auto deadline = Clock::now() + limit;
        auto nextPoll = Clock::now();
        bool started = false;
        while (Clock::now() < deadline) {
            SDL_Event event;
            while (SDL_PollEvent(&event)) {
                if (event.type != SDL_USEREVENT) continue;
                run.codes.push_back(event.user.code);
                if (event.user.code == EVT_CONVERSION_STARTED) {
                    started = true;
                    if (monitor) monitor->beginJob();
                }
                if (event.user.code == EVT_CONVERSION_FINISHED) {
                    run.outcome = jobOutcomeOf(event);
                    run.finished = event;
                    run.ended = true;
                    return run;
                }
            }
            if (monitor && started && Clock::now() >= nextPoll) {
                const ProgressReading reading = monitor->poll(totalFrames);
                run.progress.push_back(reading.progress);
                run.texts.insert(reading.text);
                nextPoll += 100ms;
            }
            std::this_thread::sleep_for(5ms);
        }
        return run;
    }

    static std::vector<std::string> lines(const fs::path& file) {
        std::ifstream in(file);
        std::vector<std::string> all;
        for (std::string line; std::getline(in, line);) all.push_back(line);
        return all;
    }

    fs::path folder;
};

}  // namespace

TEST_F(ConversionJob, StartedFromTheRecordRunsToCompletionWithProgressAndTimeLeft) {
    // A folder name no shell could be trusted with: the converter must get it verbatim.
    const fs::path awkward = folder / kalo::pathFromUtf8("视频 \"quoted\" $HOME; rm -rf x `date`");
    auto record = std::make_shared<WindowsManager>();
    JobSnapshot job;
    job.input = wide(script("frames 120\nstep_ms 25\n", awkward / "in put.mp4"));
    job.output = wide(awkward / "out put.mp4");
    job.filterIndex = 2;
    ASSERT_TRUE(record->update(job));
    convertButton(record);
    ASSERT_EQ(record->command, COMMAND_CONVERT);

    setenv(converterEnvironmentVariable, fakeConverter.c_str(), 1);
    ScriptedBoxes boxes;
    ASSERT_EQ(startConversionJob(record), JobStart::Started);
    unsetenv(converterEnvironmentVariable);
    // Changes of the record after the start never reach the running job.
    JobSnapshot changed = record->snapshot();
    changed.output = L"/elsewhere.mp4";
    record->update(changed);

    ProgressMonitor monitor;
    const Run run = follow(20s, 120, &monitor);

    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.codes, (std::vector<Sint32>{EVT_CONVERSION_STARTED, EVT_CONVERSION_FINISHED}));
    EXPECT_EQ(run.outcome, JobOutcome::Completed);
    EXPECT_EQ(conversionFinished(run.finished).outcome, JobOutcome::Completed);
    EXPECT_TRUE(boxes.requests().empty());

    // Progress rose from the console rows; several time-left texts were shown.
    ASSERT_GE(run.progress.size(), 5u);
    EXPECT_GT(*std::max_element(run.progress.begin(), run.progress.end()), 0.5f);
    EXPECT_LT(run.progress.front(), 0.5f);
    std::set<std::string> timeParts;
    for (const std::string& text : run.texts) {
        EXPECT_NE(text.find("% 剩余"), std::string::npos) << text;
        timeParts.insert(text.substr(text.find(' ')));
    }
    EXPECT_GE(timeParts.size(), 2u);
    EXPECT_TRUE(monitor.endJob(run.outcome).finished);

    // What the converter received: exactly the argument list, paths untouched.
    std::vector<std::string> expected;
    JobSnapshot started = job;
    for (const std::wstring& value :
         buildConverterCommandLine(started, applicationDirectory()).values()) {
        expected.push_back(kalo::wideToUtf8(value));
    }
    EXPECT_EQ(lines(awkward / "out put.mp4"), expected);
    EXPECT_NE(converterProcessId.load(), 0);
}

TEST_F(ConversionJob, CancelStopsTheConverterWithinASecond) {
    ASSERT_TRUE(startConversionWorker(launch("frames 100000\nstep_ms 10\n")));
    ProgressMonitor monitor;
    // Let it run until the console shows its count moving.
    Run first = follow(1500ms, 100000, &monitor);
    ASSERT_FALSE(first.ended);
    ASSERT_EQ(first.codes, std::vector<Sint32>{EVT_CONVERSION_STARTED});
    ASSERT_GT(monitor.timeLeft.lastFrames, 0);

    ScriptedBoxes boxes({0, 1});
    EXPECT_FALSE(confirmAndCancelConversion());  // "取消": the job goes on
    EXPECT_TRUE(conversionWorkerRunning());
    const auto askedAt = Clock::now();
    EXPECT_TRUE(confirmAndCancelConversion());  // "确定"
    const Run run = follow(1000ms);
    EXPECT_LT(Clock::now() - askedAt, 1000ms);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.outcome, JobOutcome::Stopped);
    EXPECT_EQ(conversionFinished(run.finished).outcome, JobOutcome::Stopped);

    const auto asked = boxes.requests();
    ASSERT_EQ(asked.size(), 2u);  // the two confirmations, no error box for a stop
    EXPECT_EQ(asked[1].kind, kalo::platform::MessageBoxKind::Information);
    EXPECT_EQ(asked[1].title, "取消渲染");
    EXPECT_EQ(asked[1].text, "你确定取消渲染吗? ");
    ASSERT_EQ(asked[1].buttons.size(), 2u);
    EXPECT_EQ(asked[1].buttons[0].id, 0);
    EXPECT_EQ(asked[1].buttons[0].text, "取消");
    EXPECT_TRUE(asked[1].buttons[0].escapeKeyDefault);
    EXPECT_EQ(asked[1].buttons[1].id, 1);
    EXPECT_EQ(asked[1].buttons[1].text, "确定");
    EXPECT_TRUE(asked[1].buttons[1].returnKeyDefault);

    const auto record = lines(folder / "record.txt");
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record.back().rfind("stopped at ", 0), 0u);
    // The converter is gone: a quit now signals nothing.
    EXPECT_FALSE(breakRunningConverter());
}

TEST_F(ConversionJob, AFailureArrivesAsAFailureWithTheConvertersLastErrorLine) {
    ASSERT_TRUE(startConversionWorker(
        launch("frames 5\nstep_ms 5\nexit 3\nerror Invalid data found when processing input\n")));
    const Run run = follow(10s);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.codes, (std::vector<Sint32>{EVT_CONVERSION_STARTED, EVT_CONVERSION_FINISHED}));
    EXPECT_EQ(run.outcome, JobOutcome::Failed);

    ScriptedBoxes boxes;
    EXPECT_EQ(conversionFinished(run.finished).outcome, JobOutcome::Failed);
    const auto asked = boxes.requests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, kalo::platform::MessageBoxKind::Error);
    EXPECT_EQ(asked[0].title, "错误");
    EXPECT_EQ(asked[0].text,
              "转换失败: Invalid data found when processing input (exit code 3)");
}

TEST_F(ConversionJob, AConverterThatCannotStartIsReportedWithItsPath) {
    const fs::path notAProgram = folder / "not a program";
    std::ofstream(notAProgram) << "\x01\x02 this is not an executable\n";
    fs::permissions(notAProgram, fs::perms::owner_all);
    const std::int64_t previousId = converterProcessId;

    ASSERT_TRUE(startConversionWorker(launch("frames 5\n", notAProgram)));
    const Run run = follow(10s);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.outcome, JobOutcome::NotStarted);
    EXPECT_EQ(converterProcessId.load(), previousId);

    ScriptedBoxes boxes;
    conversionFinished(run.finished);
    const auto asked = boxes.requests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].text.find(notAProgram.string()), std::string::npos) << asked[0].text;
    EXPECT_NE(asked[0].text.find("无法启动转换程序"), std::string::npos) << asked[0].text;
}

TEST_F(ConversionJob, AConverterThatWritesALotIsNeverStalled) {
    // Twenty warning rows per frame: far more than a terminal's buffer holds unread.
    ASSERT_TRUE(startConversionWorker(launch("frames 400\nstep_ms 0\nwarnings 20\n")));
    ProgressMonitor monitor;
    const Run run = follow(60s, 400, &monitor);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.outcome, JobOutcome::Completed);
}

TEST_F(ConversionJob, AnEndedProcessIsNeverSignalledAndInheritsNoDescriptor) {
    // A descriptor the application left inheritable (a pipe here; fonts and the open source
    // in the running program) must not reach the converter: a pipe's write end held by it
    // would keep the reader from ever seeing the end.
    int leaky[2];
    ASSERT_EQ(pipe(leaky), 0);
    kalo::platform::ProcessLaunch process;
    process.program = fakeConverter;
    process.arguments = {L"-i", script("frames 3\nstep_ms 1\n", folder / "s.txt").wstring(), L"-y",
                         (folder / "r.txt").wstring()};
    std::string error;
    auto child = kalo::platform::ChildProcess::start(process, &error);
    ASSERT_TRUE(child) << error;
    EXPECT_GT(child->id(), 0);
    EXPECT_TRUE(child->running());
    const kalo::platform::ProcessEnd end = child->wait();
    EXPECT_TRUE(end.succeeded()) << end.describe();
    EXPECT_FALSE(child->running());
    EXPECT_FALSE(child->interrupt());
    close(leaky[0]);
    close(leaky[1]);
    std::ifstream record(folder / "r.txt");
    const std::string recorded{std::istreambuf_iterator<char>(record), {}};
    EXPECT_NE(recorded.find("-y\n"), std::string::npos) << "the converter wrote no record";
    EXPECT_EQ(recorded.find("inherited descriptor"), std::string::npos) << recorded;

    process.program = folder / "missing";
    EXPECT_FALSE(kalo::platform::ChildProcess::start(process, &error));
    EXPECT_FALSE(error.empty());
}

#ifdef KALO_HAVE_CONVERTER
TEST_F(ConversionJob, TheRealConverterConvertsAShortClip) {
    const fs::path clip = folder / "clip.mp4";
    const fs::path output = folder / "clip_SBS.mp4";
    ASSERT_TRUE(kalo::test::makeClip(clip, "320x240", 2, folder, /*tone=*/false));

    JobLaunch job;
    job.snapshot.input = wide(clip);
    job.snapshot.output = wide(output);
    job.snapshot.modeIndex = 1;
    job.snapshot.bitrateIndex = 2;
    job.converter = fs::path(KALO_BIN_DIR) / "kalo-depth";
    job.programDirectory = KALO_BIN_DIR;
    ASSERT_TRUE(startConversionWorker(job));

    ProgressMonitor monitor;
    const Run run = follow(120s, 50, &monitor);
    ASSERT_TRUE(run.ended);
    ScriptedBoxes boxes;
    const JobReport report = conversionFinished(run.finished);
    EXPECT_EQ(report.outcome, JobOutcome::Completed) << report.detail;
    EXPECT_TRUE(boxes.requests().empty());
    // Its status line was read back from the console while it worked.
    ASSERT_FALSE(run.progress.empty());
    EXPECT_GT(*std::max_element(run.progress.begin(), run.progress.end()), 0.0f);

    // A side-by-side picture at the chosen size, every frame of the source.
    EXPECT_EQ(kalo::test::probeDecodedVideo(output, folder),
              (std::vector<std::string>{"width=1920", "height=1080", "nb_read_frames=50"}));
}
#endif

TEST_F(ConversionJob, ANewJobWaitsForAConverterThatIsStillStopping) {
    auto record = std::make_shared<WindowsManager>();
    JobSnapshot job;
    job.input = wide(script("frames 100000\nstep_ms 10\nstop_ms 5000\n", folder / "slow.txt"));
    job.output = wide(folder / "slow-record.txt");
    ASSERT_TRUE(record->update(job));
    record->command = COMMAND_CONVERT;
    setenv(converterEnvironmentVariable, fakeConverter.c_str(), 1);
    ASSERT_EQ(startConversionJob(record), JobStart::Started);
    ASSERT_EQ(follow(500ms).codes, std::vector<Sint32>{EVT_CONVERSION_STARTED});

    // Stopped, but it takes longer than a new job waits: the new job is refused, with a
    // message, rather than run beside it.
    EXPECT_TRUE(breakRunningConverter());
    {
        ScriptedBoxes boxes;
        EXPECT_EQ(startConversionJob(record), JobStart::PreviousStopping);
        const auto asked = boxes.requests();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, "上一个转换仍在停止中，请稍后再试。");
    }
    const Run stopped = follow(10s);
    ASSERT_TRUE(stopped.ended);
    EXPECT_EQ(stopped.outcome, JobOutcome::Stopped);

    // One that stops within the wait: the new job starts after it, and the old job's end
    // reaches the main loop before the new job's start.
    job.input = wide(script("frames 100000\nstep_ms 10\nstop_ms 300\n", folder / "quick.txt"));
    ASSERT_TRUE(record->update(job));
    ASSERT_EQ(startConversionJob(record), JobStart::Started);
    ASSERT_EQ(follow(500ms).codes, std::vector<Sint32>{EVT_CONVERSION_STARTED});
    EXPECT_TRUE(breakRunningConverter());
    job.input = wide(script("frames 10\nstep_ms 1\n", folder / "next.txt"));
    ASSERT_TRUE(record->update(job));
    EXPECT_EQ(startConversionJob(record), JobStart::Started);
    unsetenv(converterEnvironmentVariable);
    std::vector<Sint32> codes = follow(10s).codes;
    const Run next = follow(10s);
    codes.insert(codes.end(), next.codes.begin(), next.codes.end());
    EXPECT_EQ(codes, (std::vector<Sint32>{EVT_CONVERSION_FINISHED, EVT_CONVERSION_STARTED,
                                          EVT_CONVERSION_FINISHED}));
    EXPECT_EQ(next.outcome, JobOutcome::Completed);
}
