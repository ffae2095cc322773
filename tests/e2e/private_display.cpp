#include "private_display.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "scratch_folder.h"

namespace kalo::e2e {
namespace {

std::string displayName;

class PrivateDisplay : public testing::Environment {
public:
    void SetUp() override {
        // Xvfb writes its display number, then a line feed, to the descriptor it is given
        // once it accepts clients: standard output here, which the runner keeps in a file.
        server = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten",
                                     "tcp", "-s", "0", "-dpms"},
            folder.path());
        ASSERT_TRUE(server->started()) << "cannot start Xvfb: " << server->startError();

        std::string said;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while ((said = server->outputSoFar()).find('\n') == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const std::string number = said.substr(0, said.find('\n'));
        ASSERT_FALSE(number.empty() || said.find('\n') == std::string::npos)
            << "Xvfb did not tell its display within 20 s: " << server->errorSoFar();
        displayName = ":" + number;
        setenv("DISPLAY", displayName.c_str(), 1);
    }

    void TearDown() override {
        if (!server) return;
        server->sendSignal(SIGTERM);
        server->wait(std::chrono::seconds(5));  // killed when it takes longer
        server.reset();
    }

private:
    test::ScratchFolder folder;
    std::unique_ptr<test::ChildProcess> server;
};

[[maybe_unused]] testing::Environment* const registered = testing::AddGlobalTestEnvironment(new PrivateDisplay);

}  // namespace

std::string privateDisplayName() { return displayName; }

}  // namespace kalo::e2e
