// Menu and tool enabling: greys the CSG items of the Edit menu from the
// current selection, and enables or disables the tools panel's tool and
// primitive buttons while a primitive is being created.
#pragma once

void UpdateCSGMenuState();
void SetCreationToolsEnabled(bool enable);
