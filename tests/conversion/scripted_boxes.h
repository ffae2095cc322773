#pragma once
// Answers the message boxes of a test from a script and keeps what they asked.
#include <deque>
#include <mutex>
#include <vector>

#include "platform/message_box.h"

class ScriptedBoxes {
public:
    explicit ScriptedBoxes(std::deque<int> answers = {}) : answers(std::move(answers)) {
        kalo::platform::setMessageBoxHandler([this](const kalo::platform::MessageBoxRequest& r) {
            std::lock_guard<std::mutex> lock(mutex);
            asked.push_back(r);
            if (this->answers.empty()) return 0;
            const int answer = this->answers.front();
            this->answers.pop_front();
            return answer;
        });
    }
    ~ScriptedBoxes() { kalo::platform::setMessageBoxHandler(nullptr); }

    std::vector<kalo::platform::MessageBoxRequest> requests() {
        std::lock_guard<std::mutex> lock(mutex);
        return asked;
    }

private:
    std::mutex mutex;
    std::deque<int> answers;
    std::vector<kalo::platform::MessageBoxRequest> asked;
};
