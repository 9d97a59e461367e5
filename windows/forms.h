// The one instance of each window type, created when first referenced and
// destroyed when unloaded. "Loaded" means the window object exists; a
// loaded window may be hidden.
#pragma once

namespace soranika {

class MainWindow;

namespace Forms {

// The main window, created (not shown) on first reference.
MainWindow* Main();
// Whether the main window exists.
bool MainLoaded();

// The weekly schedule window: shown (loaded first when it is not), loaded
// without showing, unloaded.
void ShowSchedule();
void LoadSchedule();
void UnloadSchedule();

// The About window: shown, loaded first when it is not.
void ShowAbout();

// Unloads every window: the end of the program.
void UnloadAll();

} // namespace Forms

} // namespace soranika
