// comctl32, for the up-down arrows, loaded only from the system folder.
#pragma once

// Where the system offers it (Windows 8 and later, 7 with KB2533623), limits
// every later LoadLibrary to the system folder, so a DLL planted beside the
// exe or in the current directory is never picked up.
void restrictDllSearchToSystemFolder();

// Loads <system folder>\comctl32.dll by its full path and registers the
// up-down class. The library stays loaded for the life of the process, as the
// controls' code lives in it. False when the class is not available.
bool loadUpDownControl();
