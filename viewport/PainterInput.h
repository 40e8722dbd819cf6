// The Painter's share of the viewport's mouse input: the face under the
// cursor lit as it moves, and the left press that selects faces of one mesh
// object (Shift adds or removes), paints a newly added face at once with the
// selected brush on Shift+click, and first offers to convert a primitive.
// The face summary goes to the Painter panel's "Surface Info" box.
#pragma once

#include <windows.h>

#include <string>

// Mouse move in the Painter (no right or middle drag): updates g_HoveredFace
// and g_HoveredFaceObject and, while no face is selected, the summary.
void HoverPainter(HWND viewport, int x, int y);

// Left press in the Painter, any tool; shift: the Shift key as read.
void PressPainter(HWND viewport, int x, int y, bool shift);

// "N face(s) selected\nObject: name\nFace indices: ..." for the current
// face selection (the first ten indices, then "... (+M more)"), or
// "No faces selected".
std::wstring FaceSelectionSummary(const std::wstring& objectName);
