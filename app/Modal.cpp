#include "app/Modal.h"

#include <cwchar>

bool g_ModalScripted = false;
std::vector<ModalAnswer> g_ModalAnswers;
std::vector<ModalCall> g_ModalCalls;
int g_ModalUnexpectedCalls = 0;

namespace {

// Records the call and hands out the next scripted answer; false when none
// was queued.
bool TakeScriptedAnswer(const ModalCall& call, ModalAnswer& answer)
{
    g_ModalCalls.push_back(call);
    if (g_ModalAnswers.empty()) {
        ++g_ModalUnexpectedCalls;
        return false;
    }
    answer = g_ModalAnswers.front();
    g_ModalAnswers.erase(g_ModalAnswers.begin());
    return true;
}

BOOL ScriptedFileDialog(int kind, OPENFILENAMEW* request)
{
    // The filter list ends at its first empty string.
    std::wstring filter;
    for (const wchar_t* part = request->lpstrFilter; part && *part; part += wcslen(part) + 1)
        filter.append(part).push_back(L'\0');
    ModalCall call = {kind, request->hwndOwner, request->lpstrTitle ? request->lpstrTitle : L"", L"", request->Flags,
                      -1, 0, filter, request->lpstrDefExt ? request->lpstrDefExt : L""};
    ModalAnswer answer;
    if (!TakeScriptedAnswer(call, answer) || !answer.result)
        return FALSE;
    if (!request->lpstrFile || request->nMaxFile == 0 || answer.path.size() >= request->nMaxFile)
        return FALSE;
    wcscpy(request->lpstrFile, answer.path.c_str());
    return TRUE;
}

} // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    if (!g_ModalScripted)
        return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    ModalAnswer answer;
    if (!TakeScriptedAnswer({MODAL_MESSAGE_BOX, owner, caption, text, flags, -1, 0, L"", L""}, answer))
        return IDCANCEL;
    return static_cast<int>(answer.result);
}

INT_PTR ShowDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc, LPARAM param)
{
    if (!g_ModalScripted)
        return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, proc, param);
    ModalAnswer answer;
    if (!TakeScriptedAnswer({MODAL_DIALOG, owner, L"", L"", 0, templateId, 0, L"", L""}, answer))
        return IDCANCEL;
    return answer.result;
}

BOOL ShowChooseColor(CHOOSECOLORW* chooser)
{
    if (!g_ModalScripted)
        return ChooseColorW(chooser);
    ModalAnswer answer;
    if (!TakeScriptedAnswer({MODAL_CHOOSE_COLOR, chooser->hwndOwner, L"", L"", 0, -1, chooser->rgbResult, L"", L""}, answer) ||
        !answer.result)
        return FALSE;
    chooser->rgbResult = answer.color;
    return TRUE;
}

BOOL ShowOpenFileDialog(OPENFILENAMEW* request)
{
    if (!g_ModalScripted)
        return GetOpenFileNameW(request);
    return ScriptedFileDialog(MODAL_OPEN_FILE, request);
}

BOOL ShowSaveFileDialog(OPENFILENAMEW* request)
{
    if (!g_ModalScripted)
        return GetSaveFileNameW(request);
    return ScriptedFileDialog(MODAL_SAVE_FILE, request);
}

void ShowCommandMessage(HWND owner, const CommandMessage& message)
{
    if (!message.show)
        return;
    UINT icon = 0;
    switch (message.icon) {
    case MESSAGE_ICON_INFORMATION: icon = MB_ICONINFORMATION; break;
    case MESSAGE_ICON_WARNING: icon = MB_ICONWARNING; break;
    case MESSAGE_ICON_ERROR: icon = MB_ICONERROR; break;
    default: break;
    }
    ShowMessageBox(owner, message.text, message.caption, MB_OK | icon);
}
