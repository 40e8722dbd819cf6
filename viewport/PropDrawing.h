// Draws loaded models: the plotted prop instances with their transform, tint
// and transparency, and the Plotter's half-transparent preview of the
// selected brush under the cursor.
#pragma once

#include "scene/PropInstances.h"

// Multiplies the current matrix by the instance's placement: its position,
// its rotation about y, then x, then z, and its scale.
void MultiplyPropTransform(const PropInstance& instance);

// Every visible instance whose model exists, in index order.
void RenderPropInstances();

// In the Plotter with the plot tool: the selected brush's model standing on
// the working plane under the preview point (snapped to a cell centre).
void RenderPlotterBrushPreview();
