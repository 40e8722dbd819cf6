#include "ui/TextureCombo.h"

#include <string>
#include <vector>

#include "scene/SceneState.h"

namespace {

const wchar_t NONE_ITEM[] = L"None";

bool ItemTextIs(HWND comboBox, int item, const std::wstring& expected)
{
    const LRESULT length = SendMessageW(comboBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
    if (length == CB_ERR || static_cast<size_t>(length) != expected.size())
        return false;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(comboBox, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()));
    return expected.compare(0, expected.size(), text.data(), static_cast<size_t>(length)) == 0;
}

} // namespace

void FillTextureCombo(HWND comboBox)
{
    SendMessageW(comboBox, CB_RESETCONTENT, 0, 0);
    SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NONE_ITEM));
    for (const Texture& texture : g_Textures)
        SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texture.name.c_str()));
}

bool TextureComboIsCurrent(HWND comboBox)
{
    const LRESULT count = SendMessageW(comboBox, CB_GETCOUNT, 0, 0);
    if (count == CB_ERR || static_cast<size_t>(count) != g_Textures.size() + 1)
        return false;
    if (!ItemTextIs(comboBox, 0, NONE_ITEM))
        return false;
    for (size_t i = 0; i < g_Textures.size(); ++i) {
        if (!ItemTextIs(comboBox, static_cast<int>(i) + 1, g_Textures[i].name))
            return false;
    }
    return true;
}
