// build_windows.cpp: start-up's building of the user interface, in order:
// the single-instance test, the registry record, the stored-names path, the
// windows and controls, the stored names, the menu and the showing.
#include "shell.h"

#include "../platform/win32.h"
#include "../program/stored_names.h"

#include <cstdlib>

namespace {

// Writes the UTF-8 text as the REG_SZ value name of subkey under
// HKEY_CURRENT_USER, in UTF-16 so that a folder of any name is kept whole.
int write_registry_text(const char *subkey, const char *name, const char *text) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, const_cast<char *>(""), REG_OPTION_NON_VOLATILE,
                    KEY_WRITE, nullptr, &key, &disposition);
    wchar_t *wide_name = wide_from_utf8(name), *wide = wide_from_utf8(text);
    if (wide_name && wide)
        RegSetValueExW(key, wide_name, 0, REG_SZ, reinterpret_cast<const BYTE *>(wide),
                       static_cast<DWORD>((lstrlenW(wide) + 1) * sizeof(wchar_t)));
    std::free(wide_name);
    std::free(wide);
    RegCloseKey(key);
    return 0;
}

} // namespace

void build_windows() {
    // One instance at a time: a window of our class belongs to a running one.
    if (FindWindowA(class_name, nullptr)) {
        PostQuitMessage(0);
        return;
    }
    write_registry_text("Software\\Tavrelon\\Onymix 1.0", "Path", program_folder());
    form_stored_names_path();

    make_windows_and_controls();

    const char *stored = load_stored_names();
    if (*stored)
        write_text(stored_names_box, stored);

    build_menu();
    show_main_window();
}
