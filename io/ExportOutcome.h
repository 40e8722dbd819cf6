// What an export hands back to the window layer: whether its file was
// written, and the message boxes to show in order (no owner window).
#pragma once

#include <string>
#include <vector>

#include "scene/CommandMessage.h"

struct ExportOutcome {
    bool written = false;
    std::vector<CommandMessage> messages;

    void Add(const std::wstring& caption, const std::wstring& text, MessageIcon icon)
    {
        CommandMessage message;
        message.show = true;
        message.caption = caption;
        message.text = text;
        message.icon = icon;
        messages.push_back(message);
    }
    // Every failure is one "Export Error" box.
    ExportOutcome& Fail(const std::wstring& text)
    {
        Add(L"Export Error", text, MESSAGE_ICON_ERROR);
        written = false;
        return *this;
    }
    ExportOutcome& Succeed(const std::wstring& text)
    {
        Add(L"Export Complete", text, MESSAGE_ICON_INFORMATION);
        written = true;
        return *this;
    }
};
