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
        messages.push_back(MakeCommandMessage(caption, text, icon));
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
