#include "app/ThemeApi.h"

#include <dwmapi.h>
#include <uxtheme.h>

SetWindowThemeFunction g_pSetWindowTheme = SetWindowTheme;
DwmSetWindowAttributeFunction g_pDwmSetWindowAttribute = DwmSetWindowAttribute;

bool AllowDarkModeForApp()
{
    HMODULE uxtheme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!uxtheme)
        return false;
    using AllowDarkModeFunction = int(WINAPI*)(int);
    auto allow = reinterpret_cast<AllowDarkModeFunction>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, MAKEINTRESOURCEA(135))));
    if (!allow)
        return false;
    allow(1);
    return true;
}

void SetDarkTitleBar(HWND window, bool dark)
{
    BOOL value = dark ? TRUE : FALSE;
    g_pDwmSetWindowAttribute(window, DWM_IMMERSIVE_DARK_MODE_ATTRIBUTE, &value, sizeof value);
}
