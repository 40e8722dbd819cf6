// The one door for modal boxes and dialogs. Production calls go straight to
// Win32; a test sets g_ModalScripted, queues answers and reads back every
// call (caption, text, flags, dialog id). A scripted call with no answer
// queued is counted in g_ModalUnexpectedCalls and answered with cancel.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "scene/CommandMessage.h"

enum ModalKind {
    MODAL_MESSAGE_BOX,
    MODAL_DIALOG,
    MODAL_CHOOSE_COLOR,
    MODAL_OPEN_FILE,
    MODAL_SAVE_FILE
};

struct ModalCall {
    int kind;
    HWND owner;
    std::wstring caption;   // message boxes
    std::wstring text;      // message boxes
    UINT flags;             // message boxes
    int dialogId;           // dialogs, -1 otherwise
    COLORREF color;         // colour picker: the colour it starts from
    std::wstring filter;            // file dialogs: the pairs, NUL-separated
    std::wstring defaultExtension;  // file dialogs; caption holds the title, flags the flags
};

struct ModalAnswer {
    INT_PTR result;          // button id, dialog result, or TRUE/FALSE
    std::wstring path;       // file dialogs
    COLORREF color;          // colour picker
};

extern bool g_ModalScripted;
extern std::vector<ModalAnswer> g_ModalAnswers;   // taken from the front
extern std::vector<ModalCall> g_ModalCalls;
extern int g_ModalUnexpectedCalls;

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);
INT_PTR ShowDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc, LPARAM param);
BOOL ShowChooseColor(CHOOSECOLORW* chooser);
BOOL ShowOpenFileDialog(OPENFILENAMEW* request);
BOOL ShowSaveFileDialog(OPENFILENAMEW* request);

// Shows a box a core command handed back, with its icon; nothing when the
// command ended silently.
void ShowCommandMessage(HWND owner, const CommandMessage& message);
