// Where kalo-depth writes, as users name it: never over a file it reads, whatever the
// spelling; the file a name or link stands for; within the user's rights and the
// file-name limit; and nothing left behind by runs that died.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "converter/pipeline/output_file.h"
#include "converter/platform/partial_file.h"
#include "media_fixtures.h"

namespace kalo::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> convertCommand(const std::string& input, const std::string& output) {
    return {kaloDepth(), "-hide_banner", "-nostats", "-i", input, "-vf", "depth=outputmode=sbs", "-y", output};
}

// A clip that plays: ffprobe finds its video and ffmpeg decodes all of it without a word.
bool plays(const fs::path& file, const fs::path& work) {
    if (!streamOfType(probe(file, work), "video")) return false;
    const ProcessResult decode = decodeAll(file, work);
    return decode.exited && decode.exitCode == 0 && decode.err.empty();
}

// The largest "frame=" count on the status row so far.
long framesShown(const std::string& err) {
    const size_t at = err.rfind("frame=");
    return at == std::string::npos ? -1 : std::strtol(err.substr(at + 6, 5).c_str(), nullptr, 10);
}

struct Spelling {
    const char* name;
    std::string input;
    std::string output;
};

TEST(OutputTarget, NoSpellingOfTheSourceIsEverOverwritten) {
    ScratchFolder work;
    const fs::path folder = work / "w";
    fs::create_directories(folder / "sub");
    const fs::path source = folder / "in.mp4";
    ASSERT_TRUE(makeClip(source, "160x90", 0.5, work.path()));
    const std::string sourceBytes = readFile(source);
    fs::create_symlink("in.mp4", folder / "link.mp4");
    fs::create_hard_link(source, folder / "hard.mp4");

    const std::string in = source.u8string();
    const std::vector<Spelling> spellings = {
        {"same name", in, in},
        {"./", in, (folder / "." / "in.mp4").u8string()},
        {"../", in, (folder / "sub" / ".." / "in.mp4").u8string()},
        {"symbolic link", in, (folder / "link.mp4").u8string()},
        {"hard link", in, (folder / "hard.mp4").u8string()},
        {"file: input", "file:" + in, in},
        {"file: output", in, "file:" + in},
        {"async:file: input", "async:file:" + in, in},
        {"subfile input", "subfile,,start,0,end,0,,:" + in, in},
    };
    for (const Spelling& s : spellings) {
        SCOPED_TRACE(s.name);
        const ProcessResult result = runProcess(convertCommand(s.input, s.output), work.path());
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_NE(lastLine(result.err).find("is the input"), std::string::npos) << result.err;
        EXPECT_TRUE(readFile(source) == sourceBytes) << "the source was changed";
        EXPECT_EQ(temporaryFilesIn(folder), 0);
    }
    EXPECT_TRUE(fs::is_symlink(folder / "link.mp4"));
}

TEST(OutputTarget, LongNamesAndFileUrlsAreWrittenOtherProtocolsRefused) {
    ScratchFolder work;
    const fs::path source = work / "in.mp4";
    ASSERT_TRUE(makeClip(source, "160x90", 0.5, work.path()));

    // Names the file system takes, however little room they leave for a temporary name.
    std::string chinese;
    for (int i = 0; i < 83; ++i) chinese += "结";  // 249 bytes of UTF-8
    for (const std::string& fileName : {std::string(236, 'L') + ".mp4", std::string(251, 'M') + ".mp4",
                                        chinese + ".mp4"}) {
        SCOPED_TRACE(fileName.size());
        const fs::path output = work / fileName;
        const ProcessResult result = runProcess(convertCommand(source.u8string(), output.u8string()), work.path());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(plays(output, work.path()));
        EXPECT_EQ(temporaryFilesIn(work.path()), 0);
    }

    // "file:" names the file after it, as for FFmpeg.
    const fs::path named = work / "z.mp4";
    const ProcessResult file = runProcess(convertCommand(source.u8string(), "file:" + named.u8string()), work.path());
    EXPECT_EQ(file.exitCode, 0) << file.err;
    EXPECT_TRUE(plays(named, work.path()));
    EXPECT_EQ(temporaryFilesIn(work.path()), 0);

    // Protocols that cannot take a file renamed into place: one line, nothing written.
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"http://127.0.0.1:9/out.mp4", "protocol"},
        {"tcp://127.0.0.1:9", "protocol"},
        {"async:file:" + (work / "a.mp4").u8string(), "protocol"},
        {(work / "list.m3u8").u8string(), "MP4 (.mp4) or Matroska (.mkv)"},
    };
    for (const auto& [target, expected] : refused) {
        SCOPED_TRACE(target);
        const auto before = std::distance(fs::directory_iterator(work.path()), fs::directory_iterator());
        const ProcessResult result = runProcess(convertCommand(source.u8string(), target), work.path());
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_NE(lastLine(result.err).find(expected), std::string::npos) << result.err;
        EXPECT_EQ(std::distance(fs::directory_iterator(work.path()), fs::directory_iterator()), before);
    }
}

TEST(OutputTarget, TemporaryNameStaysWithinTheFileNameLimit) {
    std::string chinese;
    for (int i = 0; i < 83; ++i) chinese += "结";
    for (const std::string& name : {std::string("a.mp4"), std::string(240, 'x') + ".mp4",
                                    std::string(251, 'y') + ".mp4", chinese + ".mp4", "b" + chinese + ".mp4"}) {
        SCOPED_TRACE(name);
        const std::string temporary = converter::temporaryFileName(name, 4194304, "0badf00d");
        EXPECT_LE(temporary.size(), 255u);
        EXPECT_NE(temporary.find(".4194304-0badf00d.kalo-part"), std::string::npos) << temporary;
        // Cut between characters, never inside one: the part before the id is a prefix of
        // the name that ends on a character boundary.
        const std::string prefix = temporary.substr(0, temporary.find(".4194304-"));
        EXPECT_EQ(name.compare(0, prefix.size(), prefix), 0);
        EXPECT_TRUE(prefix.size() == name.size() || (static_cast<unsigned char>(name[prefix.size()]) & 0xC0) != 0x80);
        if (name.size() <= 200) {
            EXPECT_EQ(prefix, name);
        }
    }
}

TEST(OutputTarget, SymbolicLinkTargetReplacesTheFileItNamesAndStays) {
    ScratchFolder work;
    const fs::path source = work / "in.mp4";
    ASSERT_TRUE(makeClip(source, "160x90", 0.5, work.path()));
    fs::create_directories(work / "results");
    writeBytes(work / "results" / "real.mp4", "an older result");
    fs::permissions(work / "results" / "real.mp4", fs::perms::owner_read | fs::perms::owner_write |
                                                          fs::perms::group_read);
    fs::create_symlink(fs::path("results") / "real.mp4", work / "link.mp4");

    const ProcessResult result = runProcess(convertCommand(source.u8string(), (work / "link.mp4").u8string()), work.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    ASSERT_TRUE(fs::is_symlink(work / "link.mp4"));
    EXPECT_EQ(fs::read_symlink(work / "link.mp4"), fs::path("results") / "real.mp4");
    EXPECT_TRUE(plays(work / "results" / "real.mp4", work.path()));
    // The replaced file keeps its permissions.
    EXPECT_EQ(fs::status(work / "results" / "real.mp4").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(temporaryFilesIn(work / "results"), 0);
    EXPECT_EQ(temporaryFilesIn(work.path()), 0);
}

struct Permissions {
    const char* name;
    fs::perms file;
    fs::perms folder;
};

// Run as an ordinary user (the test drops root), so that permissions apply as to a user.
TEST(OutputTarget, FilesTheUserCannotWriteAreRefusedOthersKeepTheirMode) {
    ScratchFolder work;
    const fs::path source = work / "in.mp4";
    ASSERT_TRUE(makeClip(source, "160x90", 0.5, work.path()));
    fs::permissions(work.path(), fs::perms::all);  // the converter's output files go here too
    const uid_t user = unprivilegedUserId();
    const fs::perms rwxAll = fs::perms::all;
    const fs::perms rxAll = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

    const std::vector<Permissions> refused = {
        {"read-only file in a folder the user may write", readOnly, rwxAll},
        {"read-only file in a folder the user may not write", readOnly, rxAll},
    };
    for (const Permissions& p : refused) {
        SCOPED_TRACE(p.name);
        const fs::path folder = work / "refused";
        fs::create_directories(folder);
        const fs::path target = folder / "out.mp4";
        writeBytes(target, "keep me");
        ASSERT_EQ(chown(target.c_str(), user, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(chown(folder.c_str(), user, static_cast<gid_t>(-1)), 0);
        fs::permissions(target, p.file);
        fs::permissions(folder, p.folder);
        ChildProcess child(convertCommand(source.u8string(), target.u8string()), work.path(),
                           ChildProcess::User::Unprivileged);
        const ProcessResult result = child.wait(std::chrono::seconds(120));
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_NE(lastLine(result.err).find("Permission denied"), std::string::npos) << result.err;
        EXPECT_EQ(readFile(target), "keep me");
        EXPECT_EQ(fs::status(target).permissions(), p.file);
        EXPECT_EQ(temporaryFilesIn(folder), 0);
        fs::permissions(folder, rwxAll);
        fs::remove_all(folder);
    }

    // A file the user may write is replaced, and keeps its mode and owner.
    const fs::path target = work / "private.mp4";
    writeBytes(target, "an older result");
    ASSERT_EQ(chown(target.c_str(), user, static_cast<gid_t>(-1)), 0);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    ChildProcess child(convertCommand(source.u8string(), target.u8string()), work.path(),
                       ChildProcess::User::Unprivileged);
    const ProcessResult result = child.wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(plays(target, work.path()));
    struct stat status {};
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_EQ(status.st_uid, user);
}

// The next run to a target removes what a killed run left, and only that.
TEST(OutputTarget, TemporaryOfAKilledRunGoesWithTheNextRunOnly) {
    ScratchFolder work;
    const fs::path source = work / "long.mp4";
    ASSERT_TRUE(makeClip(source, "640x360", 4.0, work.path()));
    const fs::path output = work / "out.mp4";

    {
        ChildProcess killed(applicationCommand(source, output), work.path());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (framesShown(killed.errorSoFar()) < 5 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        killed.sendSignal(SIGKILL);
        const ProcessResult result = killed.wait(std::chrono::seconds(30));
        ASSERT_EQ(result.signal, SIGKILL);
    }
    ASSERT_EQ(temporaryFilesIn(work.path()), 1) << "a killed run leaves its temporary file";
    EXPECT_FALSE(fs::exists(output));

    // Temporaries a live run holds: one of this very process, one whose writer id is gone
    // but whose claim is held (a writer on another machine sharing the folder).
    const fs::path ownLive = work / converter::temporaryFileName("out.mp4", getpid(), "00000001");
    writeBytes(ownLive, "being written");
    ChildProcess ended({"true"}, work.path());
    ASSERT_TRUE(ended.wait(std::chrono::seconds(10)).succeeded()) << ended.startError();
    const pid_t gone = ended.id();
    const fs::path claimed = work / converter::temporaryFileName("out.mp4", gone, "00000002");
    converter::PartialFileClaim claim;
    std::string error;
    ASSERT_TRUE(claim.create(claimed.u8string(), error)) << error;

    const ProcessResult next = runProcess(applicationCommand(source, output, "", "320:180"), work.path());
    EXPECT_EQ(next.exitCode, 0) << next.err;
    EXPECT_NE(next.err.find("left by an earlier run"), std::string::npos) << next.err;
    EXPECT_TRUE(plays(output, work.path()));
    EXPECT_TRUE(fs::exists(ownLive));
    EXPECT_TRUE(fs::exists(claimed));
    EXPECT_EQ(temporaryFilesIn(work.path()), 2);
}

}  // namespace
}  // namespace kalo::test
