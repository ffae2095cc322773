#pragma once
// Modal message boxes without a parent window. SDL draws them on every OS; this seam lets
// tests answer them from a script instead of waiting for a person.
#include <functional>
#include <string>
#include <vector>

namespace kalo::platform {

enum class MessageBoxKind { Error, Warning, Information };

struct MessageBoxButton {
    int id = 0;
    std::string text;  // UTF-8
    bool returnKeyDefault = false;
    bool escapeKeyDefault = false;
};

struct MessageBoxRequest {
    MessageBoxKind kind = MessageBoxKind::Information;
    std::string title;  // UTF-8
    std::string text;   // UTF-8
    std::vector<MessageBoxButton> buttons;  // empty: a simple box with one OK button
};

// Shows the box and waits for it. Returns the id of the pressed button; -1 when the box was
// closed without a button or could not be shown. A simple box answers 0.
int showMessageBox(const MessageBoxRequest& request);

// A simple box with one OK button.
void showSimpleMessageBox(MessageBoxKind kind, const std::string& title, const std::string& text);

// Replaces the real boxes with `handler` (which receives every request and returns the
// answer); an empty handler restores the real boxes. Returns the handler it replaced.
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

}  // namespace kalo::platform
