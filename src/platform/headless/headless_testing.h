// What tests and tools can see and do in the headless platform: the windows it made,
// their menus, titles and sizes, the presented picture, the message boxes that were
// reported instead of shown, and events posted as a user would make them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

struct MessageBoxRecord {
  std::string text;
  std::string caption;
  uint32_t style;
};

// The most recently created window that still exists, or null.
platform::WindowHandle CurrentWindow();
// Windows alive and window threads running.
int LiveWindowCount();
int RunningWindowThreadCount();

// Sends an event to the window's procedure and waits until its thread has run it.
// Escape is reported pressed to the procedure when escapeDown is true. False when the
// window no longer exists.
bool SendEvent(platform::WindowHandle window, platform::WindowEventKind kind, uint32_t value,
               bool escapeDown = false);

// Queues an event for the window's thread without waiting, as a posted message.
bool PostEvent(platform::WindowHandle window, platform::WindowEventKind kind, uint32_t value);
// The next message a window thread serves waits this long first: a window thread that
// stops answering for a while.
void StallNextMessage(uint32_t milliseconds);
// While held, message boxes stay open as if nobody answered them.
void HoldMessageBoxes(bool hold);

std::string WindowTitle(platform::WindowHandle window);
bool WindowIsFullscreen(platform::WindowHandle window);
void WindowClientSize(platform::WindowHandle window, int& width, int& height);
bool WindowHasMenu(platform::WindowHandle window);
bool MenuItemChecked(platform::WindowHandle window, int id);
// Screen mode switched to by fullscreen (0 x 0 = desktop).
void CurrentScreenMode(int& width, int& height);
// How many times the cursor is hidden (ShowMouseCursor(false) minus (true)).
int CursorHideCount();

// The picture at the last buffer swap of the current window, top row first, RGBA texels.
// False when nothing was presented yet.
bool PresentedPicture(std::vector<uint32_t>& texels, int& width, int& height);
int PresentCount();

std::vector<MessageBoxRecord> MessageBoxes();
void ClearMessageBoxes();

// Failure injection: the next attempt fails.
void FailNextThreadStart();
void FailNextWindowCreation();
void FailNextScreenModeSwitch();
void FailNextContextCreation();

// The host's main window "Kalvrine 2" for the setup dialog: present or not.
void SetHostWindowPresent(bool present);
// Setup dialogs open now, and the owner the last one was created with.
int OpenSetupDialogCount();
platform::WindowHandle LastSetupDialogOwner();
// Simulates a click on a dialog control, and the close command.
void ClickSetupDialogButton(platform::WindowHandle dialog, int controlId);
void CloseSetupDialog(platform::WindowHandle dialog);
platform::WindowHandle LastSetupDialog();

}  // namespace headless
