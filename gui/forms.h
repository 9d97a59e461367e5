// The one instance of each window type, created when first referenced and
// destroyed when unloaded. "Loaded" means the window object exists; a
// loaded window may be hidden.
#pragma once

namespace soranika {

class MainWindow;
class ScheduleWindow;
class AboutWindow;

namespace Forms {

// The main window, created (not shown) on first reference. Closing it
// unloads every other window.
MainWindow* Main();
bool MainLoaded();

// The weekly schedule window, or null when it is not loaded.
ScheduleWindow* Schedule();
// Shows it, loading it first when it is not loaded. A loaded window is
// centred on the screen at its first showing.
void ShowSchedule();
// Loads it without showing it, when it is not loaded.
void LoadSchedule();
void UnloadSchedule();

// The About window, or null when it is not loaded; shown, loaded first
// when it is not; unloaded.
AboutWindow* About();
void ShowAbout();
void UnloadAbout();

// Unloads every window: the end of the program.
void UnloadAll();

} // namespace Forms

} // namespace soranika
