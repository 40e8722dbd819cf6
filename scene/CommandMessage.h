// The message box a command ends with, as data: the core builds it, the
// window layer shows it. Shared by the CSG commands and the exporters.
#pragma once

#include <string>

enum MessageIcon {
    MESSAGE_ICON_NONE = 0,
    MESSAGE_ICON_INFORMATION = 1,
    MESSAGE_ICON_WARNING = 2,
    MESSAGE_ICON_ERROR = 3
};

// A message box to show when the command returns; show is false when the
// command ends silently (its outcome is in the log only).
struct CommandMessage {
    bool show = false;
    std::wstring caption;
    std::wstring text;
    MessageIcon icon = MESSAGE_ICON_NONE;
};

inline CommandMessage MakeCommandMessage(const std::wstring& caption, const std::wstring& text, MessageIcon icon)
{
    CommandMessage message;
    message.show = true;
    message.caption = caption;
    message.text = text;
    message.icon = icon;
    return message;
}
