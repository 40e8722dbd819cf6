// Texture choosers: a combo box listing "None" and then every texture of
// g_Textures by name, so item k + 1 stands for texture index k and item 0
// for none. Used by the properties panel, the Painter panel and the main
// window after the Texture Manager.
#pragma once

#include <windows.h>

// Empties the combo and adds "None" and every texture name in index order.
// The selection is not set.
void FillTextureCombo(HWND comboBox);

// True when the combo already lists "None" and exactly the current texture
// names in order, so a refill would change nothing.
bool TextureComboIsCurrent(HWND comboBox);
