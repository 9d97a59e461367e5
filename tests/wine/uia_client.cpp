// Asks a window for its UI Automation root, as a screen reader does when it
// meets a window: WM_GETOBJECT with UiaRootObjectId.
//   uia-client TITLE   the visible top-level window with that title
// Prints what the window answered; exits 1 when there is no such window.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr LPARAM kUiaRootObjectId = -25;

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    wchar_t title[256];
    if (IsWindowVisible(window) && GetWindowTextW(window, title, 256) > 0 &&
        search->title == title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: uia-client TITLE\n");
        return 2;
    }
    Search search{argv[1]};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        std::fprintf(stderr, "uia-client: no window with that title\n");
        return 1;
    }
    const LRESULT answer = SendMessageW(search.found, WM_GETOBJECT, 0, kUiaRootObjectId);
    std::printf("asked for the UI Automation root: %lld\n", static_cast<long long>(answer));
    return 0;
}
