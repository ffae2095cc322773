#include "private_display.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace kalo::e2e {
namespace {

std::string displayName;

class PrivateDisplay : public testing::Environment {
public:
    void SetUp() override {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        // Xvfb writes its display number to the descriptor once it accepts clients.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, ready[0]);  // first: it may be descriptor 3
        posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> arguments{"Xvfb", "-displayfd", "3", "-screen", "0", "1920x1080x24",
                                           "-nolisten", "tcp", "-s", "0", "-dpms"};
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        const int spawned = posix_spawnp(&server, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ready[1]);
        ASSERT_EQ(spawned, 0) << "cannot start Xvfb";

        std::string number;
        pollfd wait{ready[0], POLLIN, 0};
        char c = 0;
        while (poll(&wait, 1, 20000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
        close(ready[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not tell its display within 20 s";
        displayName = ":" + number;
        setenv("DISPLAY", displayName.c_str(), 1);
    }

    void TearDown() override {
        if (server <= 0) return;
        kill(server, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && waitpid(server, &status, WNOHANG) == 0; ++i) usleep(50000);
        if (waitpid(server, &status, WNOHANG) == 0) {
            kill(server, SIGKILL);
            waitpid(server, &status, 0);
        }
        server = -1;
    }

private:
    pid_t server = -1;
};

[[maybe_unused]] testing::Environment* const registered = testing::AddGlobalTestEnvironment(new PrivateDisplay);

}  // namespace

std::string privateDisplayName() { return displayName; }

}  // namespace kalo::e2e
