// probe.h: what the driver and menu_probe.dll agree on. The driver hooks the
// program's thread with the probe's window-procedure hook and sends the main
// window the probe message; the probe, inside the program, describes the
// menus and fonts (and the windows it saw created, and the floating-point
// control state at each command it saw) and sends the text back in a
// WM_COPYDATA.
#pragma once

// wParam: the About window; lParam: the driver's window for the answer.
#define PROBE_MESSAGE_NAME "Onymix end-to-end probe"
#define PROBE_HOOK_NAME "probe_call_window_proc"
// The WH_CBT hook that logs every window the program creates; set on the
// program's thread while it is still suspended at start.
#define PROBE_CREATION_HOOK_NAME "probe_creation_hook"
