// Stands in for the system-information tool in the Windows tests: writes the
// number of arguments it was started with to a file named after itself with
// ".ran" added, and ends.
#include <windows.h>

#include <shellapi.h>

#include <string>

int main() {
    wchar_t self[4096];
    const DWORD length = GetModuleFileNameW(nullptr, self, sizeof self / sizeof self[0]);
    if (length == 0 || length >= sizeof self / sizeof self[0]) {
        return 1;
    }
    int count = 0;
    if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
        LocalFree(arguments);
    }
    const std::string text = std::to_string(count - 1);
    // Written aside and renamed, so that a reader never sees half of it.
    const std::wstring marker = std::wstring(self, length) + L".ran";
    const std::wstring partial = marker + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    const bool wrote =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return wrote && MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
