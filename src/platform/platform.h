// What the plugin needs of an operating system, and nothing more.
//
// Two implementations: win32/ makes the real Windows calls with the exact arguments the
// plugin's Windows behaviour requires; headless/ is our own, for Linux tests and tools:
// a window thread with a message queue and synchronous cross-thread sends, a menu model
// with check marks, an offscreen Mesa context, message boxes reported instead of shown.
//
// The rules (which flag a command sets, when to restart, what a title says, how the
// scale is chosen) live in src/display and src/plugin, once, for both.
#pragma once

#include <cstdint>

namespace platform {

using InstanceHandle = void*;  // the plugin module (resources are loaded through it)
using WindowHandle = void*;
using ThreadHandle = void*;
using GLContextHandle = void*;  // the window's device context and GL context together

// ---------------------------------------------------------------------------------------
// Render window. Created and pumped on the window thread; titles and destruction are
// sent to it synchronously from the host thread.

enum class WindowEventKind : uint8_t {
  Create,      // inside CreateDisplayWindow, before it returns
  Destroy,     // the window is going away; the handler clears its handle
  Close,       // close box, Alt+F4 reaches this only if SysKeyDown passes it on
  KeyDown,     // value = virtual key
  SysKeyDown,  // value = virtual key (Alt held)
  Command,     // value = menu command identifier (the whole wParam)
};

struct WindowEvent {
  WindowEventKind kind;
  uint32_t value;
};

// Returns true when the event was handled (result 0); false lets the system's default
// handling run.
using WindowEventHandler = bool (*)(WindowHandle window, const WindowEvent& event);

constexpr uint32_t kKeyReturn = 0x0D;
constexpr uint32_t kKeyEscape = 0x1B;

// Registers the window class "display" (icon group 102, menu 104, black background).
// Registering again while a class is left from an earlier thread is harmless.
void RegisterDisplayClass(InstanceHandle instance, WindowEventHandler handler);
void UnregisterDisplayClass(InstanceHandle instance);

// Switches the screen to width x height at 32 bits per pixel; false when refused.
bool SwitchScreenMode(int width, int height);
// Back to the desktop mode.
void RestoreScreenMode();

// Creates the window of class "display" titled "OpenGL display": fullscreen as a popup
// of width x height, otherwise bordered with a system menu; the class menu is attached.
// Null when creation fails.
WindowHandle CreateDisplayWindow(InstanceHandle instance, bool fullscreen, int width, int height);
void ShowDisplayWindow(WindowHandle window);
// Resizes a windowed display so that its picture of pictureWidth x pictureHeight fits
// (the window fitting rule: adjusted rectangle, outer height + 44), keeping its corner.
// From another thread than the window's, it is a send with the limit below.
void FitWindowToPicture(WindowHandle window, int pictureWidth, int pictureHeight);
// Attaches a freshly loaded menu 104, or detaches the menu.
void AttachFreshMenu(WindowHandle window, InstanceHandle instance);
void DetachMenu(WindowHandle window);
// The menu's own check marks. An item checked means its state is exactly "checked".
bool IsMenuItemChecked(WindowHandle window, int id);
void SetMenuItemChecked(WindowHandle window, int id, bool checked);
// Shows or hides the mouse cursor (one step of the system's display counter).
void ShowMouseCursor(bool show);
// True while the keyboard state of Escape has its high bit set (window thread).
bool IsEscapeKeyDown();
// Runs the window thread's message loop until the quit message. currentWindow() is asked
// afresh before every wait for the window whose messages are served; once it gives null,
// any window of the thread is served, so the quit message ends the loop.
using WindowReader = WindowHandle (*)();
void RunMessageLoop(WindowReader currentWindow);
// Posts the quit message to the calling (window) thread.
void PostQuit();

// Host thread: sends run by the window thread's procedure. Each waits at most
// kSendLimitMs for the window thread, then goes on without the result.
constexpr uint32_t kSendLimitMs = 1000;
void SetWindowTitle(WindowHandle window, const char* title);
// False when the window thread did not run it within the limit.
bool SendDestroy(WindowHandle window);

// ---------------------------------------------------------------------------------------
// Threads.

using ThreadProc = void (*)();
// Starts proc on a new thread at once; null when no thread could be created.
ThreadHandle StartThread(ThreadProc proc, uint32_t* threadId);
// True once the thread has ended.
bool ThreadHasEnded(ThreadHandle thread);
void CloseThread(ThreadHandle thread);
void SleepMs(uint32_t milliseconds);

// ---------------------------------------------------------------------------------------
// OpenGL on the host thread: a double-buffered RGBA context (24 colour bits, 16 depth
// bits) on the window's surface, made current on the calling thread.

// Takes the window's device context and sets its pixel format. Never null.
GLContextHandle OpenGLSurface(WindowHandle window);
// Creates the GL context and makes it current; false when either step fails.
bool CreateAndBindContext(GLContextHandle surface);
// Unbinds and deletes the context and releases the device context.
void ReleaseContext(GLContextHandle surface, WindowHandle window);
void SwapSurfaceBuffers(GLContextHandle surface);
// Entry point of a GL extension function, or null.
void* GetGLProcAddress(const char* name);

// ---------------------------------------------------------------------------------------
// Message boxes (no owner). Style values are the Windows ones (MB_ICONHAND = 0x10,
// MB_ICONINFORMATION = 0x40, MB_YESNO | MB_ICONEXCLAMATION = 0x34).

int ShowMessageBox(const char* text, const char* caption, uint32_t style);

// ---------------------------------------------------------------------------------------
// Settings and files, by the Windows private-profile rules.

int GetProfileInt(const char* section, const char* key, int defaultValue, const char* path);
bool WriteProfileString(const char* section, const char* key, const char* value, const char* path);
void DeleteFileNamed(const char* name);

// ---------------------------------------------------------------------------------------
// The modeless setup dialog 103, owned by the host's main window when one exists.

using DialogCommandHandler = void (*)(int controlId);
using DialogClosedHandler = void (*)();
// The host's main window (class "Kalvrine 2"), or null.
WindowHandle FindHostWindow();
// Creates and shows dialog 103; null when creation fails. onClose runs after the
// dialog was destroyed by its close command.
WindowHandle CreateSetupDialog(InstanceHandle instance, WindowHandle owner,
                               DialogCommandHandler onCommand, DialogClosedHandler onClose);

}  // namespace platform
