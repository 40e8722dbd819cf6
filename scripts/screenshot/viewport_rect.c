/* Run under Wine beside the editor: finds its main window (title starting
   "Tarsel Studio") and prints the 3D view's client rectangle in screen
   coordinates as "x y width height"; with the argument "close", asks the
   main window to close instead. Exit code 1 while the window is not there. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

static const wchar_t TITLE_PREFIX[] = L"Tarsel Studio";
static const wchar_t VIEWPORT_CLASS[] = L"OstrelViewport";

static BOOL CALLBACK FindMain(HWND window, LPARAM found)
{
    wchar_t title[256];
    if (GetWindowTextW(window, title, 256) > 0 && wcsncmp(title, TITLE_PREFIX, wcslen(TITLE_PREFIX)) == 0 &&
        IsWindowVisible(window)) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK FindViewport(HWND window, LPARAM found)
{
    wchar_t name[64];
    if (GetClassNameW(window, name, 64) > 0 && wcscmp(name, VIEWPORT_CLASS) == 0) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

int main(int argc, char** argv)
{
    HWND main = NULL, viewport = NULL;
    EnumWindows(FindMain, (LPARAM)&main);
    if (!main)
        return 1;
    if (argc > 1 && strcmp(argv[1], "close") == 0) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
    }
    EnumChildWindows(main, FindViewport, (LPARAM)&viewport);
    RECT client;
    POINT origin = {0, 0};
    if (!viewport || !GetClientRect(viewport, &client) || !ClientToScreen(viewport, &origin) || client.right <= 0 ||
        client.bottom <= 0)
        return 1;
    printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    return 0;
}
