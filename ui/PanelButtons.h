// The one face of every owner-drawn panel button: filled with the edit
// background, framed in the text colour (a thick accent frame for the active
// tool), the caption centred in the text colour.
//
// Panels call it from WM_DRAWITEM. Panels whose buttons are disabled while
// nothing is selected pass DIM_WHEN_DISABLED so a disabled caption is drawn
// in PanelDimTextColor (ui/PanelColors.h); the others keep the text colour.
#pragma once

#include <windows.h>

enum DisabledCaption {
    KEEP_TEXT_WHEN_DISABLED = 0,
    DIM_WHEN_DISABLED = 1
};

void DrawPanelButton(const DRAWITEMSTRUCT* item, bool active, int disabledCaption = KEEP_TEXT_WHEN_DISABLED);
