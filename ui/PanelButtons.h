// The one face of every owner-drawn panel button: filled with the edit
// background, framed in the text colour (a thick accent frame for the active
// tool), the caption centred in the text colour.
#pragma once

#include <windows.h>

void DrawPanelButton(const DRAWITEMSTRUCT* item, bool active);
