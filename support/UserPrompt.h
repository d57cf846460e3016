// How a service asks the user: a message box titled with the main window's caption.
#pragma once
#include <functional>
#include <string>

namespace mb {  // message box styles and answers, as Windows numbers them
constexpr unsigned kOk = 0x0, kYesNo = 0x4, kRetryCancel = 0x5, kIconStop = 0x10,
                   kIconQuestion = 0x20, kIconExclamation = 0x30, kIconInformation = 0x40;
constexpr int kIdOk = 1, kIdCancel = 2, kIdRetry = 4, kIdYes = 6, kIdNo = 7;
}  // namespace mb

// Shows the text with the style's buttons and icon; returns the button pressed.
using AskUser = std::function<int(const std::string& text, unsigned style)>;
