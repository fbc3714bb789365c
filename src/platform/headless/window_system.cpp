// Headless windows: each window belongs to the thread that created it and is served by
// that thread's message queue. Sends from another thread wait until the owner ran them.
// Handles are registry numbers, so a stale handle finds nothing instead of freed memory.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "platform/headless/headless_state.h"
#include "platform/headless/headless_testing.h"
#include "platform/platform.h"

namespace headless {

namespace {

// The outcome of a message whose sender waits for it.
struct Reply {
  bool done = false;
  bool result = false;
};

struct Message {
  enum class Kind { Event, Title, Destroy, Quit } kind;
  uintptr_t window;
  platform::WindowEvent event;
  std::string text;
  bool escapeDown;
  // Set when a sender waits for the result. Shared, so that a sender that gave up
  // waiting leaves nothing dangling behind in the queue.
  std::shared_ptr<Reply> reply;
};

struct ThreadQueue {
  std::mutex lock;
  std::condition_variable ready;
  std::condition_variable served;
  std::deque<Message> messages;
  std::thread::id owner;
  bool closed = false;  // the loop has ended: nothing more is served
};

struct Window {
  std::shared_ptr<ThreadQueue> queue;
  std::string title;
  bool fullscreen = false;
  int width = 0, height = 0;
  bool hasMenu = false;
  std::set<int> checked;
};

struct Registry {
  std::mutex lock;
  std::map<uintptr_t, Window> windows;
  uintptr_t nextHandle = 0x100;
  uintptr_t current = 0;
  platform::WindowEventHandler handler = nullptr;
  std::vector<MessageBoxRecord> boxes;
  int screenWidth = 0, screenHeight = 0;
  int cursorHidden = 0;
  std::atomic<int> runningThreads{0};
  std::atomic<bool> failThread{false}, failWindow{false}, failMode{false};
  std::atomic<uint32_t> stallMs{0};
  std::atomic<bool> holdBoxes{false};
  bool hostWindow = false;
  uintptr_t lastDialog = 0;
  uintptr_t lastDialogOwner = 0;
  struct Dialog {
    platform::DialogCommandHandler onCommand;
    platform::DialogClosedHandler onClose;
  };
  std::map<uintptr_t, Dialog> dialogs;
};

Registry& R() {
  static Registry registry;
  return registry;
}

thread_local std::shared_ptr<ThreadQueue> threadQueue;
thread_local bool escapeKeyDown = false;

std::shared_ptr<ThreadQueue> QueueOfThisThread() {
  if (!threadQueue) {
    threadQueue = std::make_shared<ThreadQueue>();
    threadQueue->owner = std::this_thread::get_id();
  }
  return threadQueue;
}

uintptr_t Id(platform::WindowHandle w) { return reinterpret_cast<uintptr_t>(w); }
platform::WindowHandle Handle(uintptr_t id) { return reinterpret_cast<platform::WindowHandle>(id); }

// Runs one message on the owner thread.
bool Dispatch(const Message& m) {
  Registry& r = R();
  switch (m.kind) {
    case Message::Kind::Event: {
      escapeKeyDown = m.escapeDown;
      const bool handled = r.handler != nullptr && r.handler(Handle(m.window), m.event);
      escapeKeyDown = false;
      return handled;
    }
    case Message::Kind::Title: {
      std::lock_guard<std::mutex> g(r.lock);
      auto it = r.windows.find(m.window);
      if (it != r.windows.end()) it->second.title = m.text;
      return true;
    }
    case Message::Kind::Destroy: {
      const platform::WindowEvent e{platform::WindowEventKind::Destroy, 0};
      if (r.handler != nullptr) r.handler(Handle(m.window), e);
      return true;
    }
    case Message::Kind::Quit:
      return true;
  }
  return false;
}

// The queue of the thread that owns the window; null when the window is gone.
std::shared_ptr<ThreadQueue> QueueOf(uintptr_t window) {
  std::lock_guard<std::mutex> g(R().lock);
  auto it = R().windows.find(window);
  return it == R().windows.end() ? nullptr : it->second.queue;
}

// Delivers a message: directly on the owner thread, else queued and waited for.
bool Send(uintptr_t window, Message m) {
  const std::shared_ptr<ThreadQueue> q = QueueOf(window);
  if (!q) return false;
  m.window = window;
  if (q->owner == std::this_thread::get_id()) return Dispatch(m);
  auto reply = std::make_shared<Reply>();
  m.reply = reply;
  std::unique_lock<std::mutex> g(q->lock);
  if (q->closed) return false;
  q->messages.push_back(std::move(m));
  q->ready.notify_all();
  // Every queued message is either served or, when the loop ends, released unserved.
  q->served.wait_for(g, std::chrono::milliseconds(platform::kSendLimitMs),
                     [&] { return reply->done; });
  return reply->done && reply->result;
}

// Queues a message without waiting for it.
bool Post(uintptr_t window, Message m) {
  const std::shared_ptr<ThreadQueue> q = QueueOf(window);
  if (!q) return false;
  m.window = window;
  std::lock_guard<std::mutex> g(q->lock);
  if (q->closed) return false;
  q->messages.push_back(std::move(m));
  q->ready.notify_all();
  return true;
}

// Waits for the next message of the thread's queue and runs it; false for the quit message.
bool ServeOne(ThreadQueue& q) {
  Message m;
  {
    std::unique_lock<std::mutex> g(q.lock);
    q.ready.wait(g, [&] { return !q.messages.empty(); });
    m = std::move(q.messages.front());
    q.messages.pop_front();
  }
  if (const uint32_t stall = R().stallMs.exchange(0))
    std::this_thread::sleep_for(std::chrono::milliseconds(stall));
  const bool result = Dispatch(m);
  if (m.reply) {
    std::lock_guard<std::mutex> g(q.lock);
    m.reply->result = result;
    m.reply->done = true;
    q.served.notify_all();
  }
  return m.kind != Message::Kind::Quit;
}

}  // namespace

// --- test view ---------------------------------------------------------------------------

platform::WindowHandle CurrentWindow() {
  std::lock_guard<std::mutex> g(R().lock);
  return R().windows.count(R().current) ? Handle(R().current) : nullptr;
}
int LiveWindowCount() {
  std::lock_guard<std::mutex> g(R().lock);
  return static_cast<int>(R().windows.size());
}
int RunningWindowThreadCount() { return R().runningThreads.load(); }

bool SendEvent(platform::WindowHandle window, platform::WindowEventKind kind, uint32_t value,
               bool escapeDown) {
  Message m{};
  m.kind = Message::Kind::Event;
  m.event = {kind, value};
  m.escapeDown = escapeDown;
  return Send(Id(window), std::move(m));
}

bool PostEvent(platform::WindowHandle window, platform::WindowEventKind kind, uint32_t value) {
  Message m{};
  m.kind = Message::Kind::Event;
  m.event = {kind, value};
  return Post(Id(window), std::move(m));
}

void StallNextMessage(uint32_t milliseconds) { R().stallMs = milliseconds; }
void HoldMessageBoxes(bool hold) { R().holdBoxes = hold; }

template <typename F>
static auto WithWindow(platform::WindowHandle window, F f) {
  std::lock_guard<std::mutex> g(R().lock);
  auto it = R().windows.find(Id(window));
  return f(it == R().windows.end() ? nullptr : &it->second);
}

std::string WindowTitle(platform::WindowHandle window) {
  return WithWindow(window, [](Window* w) { return w ? w->title : std::string(); });
}
bool WindowIsFullscreen(platform::WindowHandle window) {
  return WithWindow(window, [](Window* w) { return w && w->fullscreen; });
}
void WindowClientSize(platform::WindowHandle window, int& width, int& height) {
  WithWindow(window, [&](Window* w) {
    width = w ? w->width : 0;
    height = w ? w->height : 0;
    return 0;
  });
}
bool WindowHasMenu(platform::WindowHandle window) {
  return WithWindow(window, [](Window* w) { return w && w->hasMenu; });
}
bool MenuItemChecked(platform::WindowHandle window, int id) {
  return WithWindow(window, [id](Window* w) { return w && w->hasMenu && w->checked.count(id); });
}
void CurrentScreenMode(int& width, int& height) {
  std::lock_guard<std::mutex> g(R().lock);
  width = R().screenWidth;
  height = R().screenHeight;
}
int CursorHideCount() {
  std::lock_guard<std::mutex> g(R().lock);
  return R().cursorHidden;
}
std::vector<MessageBoxRecord> MessageBoxes() {
  std::lock_guard<std::mutex> g(R().lock);
  return R().boxes;
}
void ClearMessageBoxes() {
  std::lock_guard<std::mutex> g(R().lock);
  R().boxes.clear();
}
void FailNextThreadStart() { R().failThread = true; }
void FailNextWindowCreation() { R().failWindow = true; }
void FailNextScreenModeSwitch() { R().failMode = true; }
std::atomic<bool> failContext{false};
void FailNextContextCreation() { failContext = true; }

void SetHostWindowPresent(bool present) {
  std::lock_guard<std::mutex> g(R().lock);
  R().hostWindow = present;
}
int OpenSetupDialogCount() {
  std::lock_guard<std::mutex> g(R().lock);
  return static_cast<int>(R().dialogs.size());
}
platform::WindowHandle LastSetupDialogOwner() {
  std::lock_guard<std::mutex> g(R().lock);
  return Handle(R().lastDialogOwner);
}
platform::WindowHandle LastSetupDialog() {
  std::lock_guard<std::mutex> g(R().lock);
  return R().dialogs.count(R().lastDialog) ? Handle(R().lastDialog) : nullptr;
}
void ClickSetupDialogButton(platform::WindowHandle dialog, int controlId) {
  platform::DialogCommandHandler handler = nullptr;
  {
    std::lock_guard<std::mutex> g(R().lock);
    auto it = R().dialogs.find(Id(dialog));
    if (it != R().dialogs.end()) handler = it->second.onCommand;
  }
  if (handler != nullptr) handler(controlId);
}
void CloseSetupDialog(platform::WindowHandle dialog) {
  platform::DialogClosedHandler handler = nullptr;
  {
    std::lock_guard<std::mutex> g(R().lock);
    auto it = R().dialogs.find(Id(dialog));
    if (it == R().dialogs.end()) return;
    handler = it->second.onClose;
    R().dialogs.erase(it);
  }
  if (handler != nullptr) handler();
}

// --- for the GL layer ------------------------------------------------------------------

bool ClientSizeOf(platform::WindowHandle window, int& width, int& height) {
  return WithWindow(window, [&](Window* w) {
    if (w == nullptr) return false;
    width = w->width;
    height = w->height;
    return true;
  });
}

}  // namespace headless

// --- the platform seam ------------------------------------------------------------------

namespace platform {

using headless::R;

void RegisterDisplayClass(InstanceHandle, WindowEventHandler handler) {
  std::lock_guard<std::mutex> g(R().lock);
  R().handler = handler;
}
void UnregisterDisplayClass(InstanceHandle) {}

bool SwitchScreenMode(int width, int height) {
  if (R().failMode.exchange(false)) return false;
  std::lock_guard<std::mutex> g(R().lock);
  R().screenWidth = width;
  R().screenHeight = height;
  return true;
}

void RestoreScreenMode() {
  std::lock_guard<std::mutex> g(R().lock);
  R().screenWidth = 0;
  R().screenHeight = 0;
}

WindowHandle CreateDisplayWindow(InstanceHandle, bool fullscreen, int width, int height) {
  if (R().failWindow.exchange(false)) return nullptr;
  uintptr_t id;
  {
    std::lock_guard<std::mutex> g(R().lock);
    id = R().nextHandle++;
    headless::Window& w = R().windows[id];
    w.queue = headless::QueueOfThisThread();
    w.fullscreen = fullscreen;
    w.width = width;
    w.height = height;
    w.hasMenu = true;  // the class menu
    w.title = "OpenGL display";
    R().current = id;
  }
  const WindowEvent create{WindowEventKind::Create, 0};
  if (R().handler != nullptr) R().handler(headless::Handle(id), create);
  return headless::Handle(id);
}

void ShowDisplayWindow(WindowHandle) {}

void FitWindowToPicture(WindowHandle window, int pictureWidth, int pictureHeight) {
  headless::WithWindow(window, [&](headless::Window* w) {
    if (w != nullptr) {
      w->width = pictureWidth;
      w->height = pictureHeight;
    }
    return 0;
  });
}

void AttachFreshMenu(WindowHandle window, InstanceHandle) {
  headless::WithWindow(window, [](headless::Window* w) {
    if (w != nullptr) {
      w->hasMenu = true;
      w->checked.clear();
    }
    return 0;
  });
}

void DetachMenu(WindowHandle window) {
  headless::WithWindow(window, [](headless::Window* w) {
    if (w != nullptr) {
      w->hasMenu = false;
      w->checked.clear();
    }
    return 0;
  });
}

bool IsMenuItemChecked(WindowHandle window, int id) {
  return headless::MenuItemChecked(window, id);
}

void SetMenuItemChecked(WindowHandle window, int id, bool checked) {
  headless::WithWindow(window, [&](headless::Window* w) {
    if (w != nullptr && w->hasMenu) {
      if (checked)
        w->checked.insert(id);
      else
        w->checked.erase(id);
    }
    return 0;
  });
}

void ShowMouseCursor(bool show) {
  std::lock_guard<std::mutex> g(R().lock);
  R().cursorHidden += show ? -1 : 1;
}

bool IsEscapeKeyDown() { return headless::escapeKeyDown; }

void RunMessageLoop(WindowReader) {
  std::shared_ptr<headless::ThreadQueue> q = headless::QueueOfThisThread();
  while (headless::ServeOne(*q)) {
  }
  // The thread's windows go away with it.
  {
    std::lock_guard<std::mutex> g(R().lock);
    for (auto it = R().windows.begin(); it != R().windows.end();)
      it = (it->second.queue == q) ? R().windows.erase(it) : std::next(it);
  }
  std::lock_guard<std::mutex> g(q->lock);
  q->closed = true;
  for (headless::Message& m : q->messages)
    if (m.reply) m.reply->done = true;
  q->messages.clear();
  q->served.notify_all();
}

void PostQuit() {
  std::shared_ptr<headless::ThreadQueue> q = headless::QueueOfThisThread();
  headless::Message m{};
  m.kind = headless::Message::Kind::Quit;
  {
    std::lock_guard<std::mutex> g(q->lock);
    q->messages.push_back(std::move(m));
  }
  q->ready.notify_all();
}

void SetWindowTitle(WindowHandle window, const char* title) {
  headless::Message m{};
  m.kind = headless::Message::Kind::Title;
  m.text = title;
  headless::Send(headless::Id(window), std::move(m));
}

bool SendDestroy(WindowHandle window) {
  headless::Message m{};
  m.kind = headless::Message::Kind::Destroy;
  return headless::Send(headless::Id(window), std::move(m));
}

// --- threads -----------------------------------------------------------------------------

namespace {
struct HeadlessThread {
  std::thread thread;
  std::atomic<bool> ended{false};
};
}  // namespace

ThreadHandle StartThread(ThreadProc proc, uint32_t* threadId) {
  if (R().failThread.exchange(false)) return nullptr;
  auto* t = new HeadlessThread;
  static std::atomic<uint32_t> nextId{1};
  if (threadId != nullptr) *threadId = nextId++;
  ++R().runningThreads;
  t->thread = std::thread([t, proc] {
    proc();
    --R().runningThreads;
    t->ended = true;
  });
  return t;
}

bool ThreadHasEnded(ThreadHandle thread) {
  return thread == nullptr || static_cast<HeadlessThread*>(thread)->ended.load();
}

void CloseThread(ThreadHandle thread) {
  if (thread == nullptr) return;
  auto* t = static_cast<HeadlessThread*>(thread);
  if (t->ended.load()) {
    t->thread.join();
    delete t;
  } else {
    // Still running: it owns itself from now on, as a closed Windows handle would.
    t->thread.detach();
  }
}

void SleepMs(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// --- message boxes, host window, setup dialog -------------------------------------------

int ShowMessageBox(const char* text, const char* caption, uint32_t style) {
  std::fprintf(stderr, "[message box] %s: %s\n", caption, text);
  {
    // A mode shown once per frame reports a box every frame for as long as it stands: only
    // the latest are kept, so that a long run does not grow without bound.
    constexpr size_t kBoxesKept = 256;
    std::lock_guard<std::mutex> g(R().lock);
    if (R().boxes.size() >= kBoxesKept) R().boxes.erase(R().boxes.begin());
    R().boxes.push_back({text, caption, style});
  }
  // A held box stays open like one nobody answers: its modal loop serves the thread's
  // windows until it is released, or until the quit message ends it (and is posted again
  // for the thread's own loop).
  if (R().holdBoxes && headless::threadQueue) {
    while (R().holdBoxes) {
      std::shared_ptr<headless::ThreadQueue> q = headless::threadQueue;
      {
        std::unique_lock<std::mutex> g(q->lock);
        if (!q->ready.wait_for(g, std::chrono::milliseconds(10),
                               [&] { return !q->messages.empty(); }))
          continue;
      }
      if (!headless::ServeOne(*q)) {
        PostQuit();
        break;
      }
    }
  }
  return 1;
}

WindowHandle FindHostWindow() {
  std::lock_guard<std::mutex> g(R().lock);
  return R().hostWindow ? headless::Handle(0x1) : nullptr;
}

WindowHandle CreateSetupDialog(InstanceHandle, WindowHandle owner, DialogCommandHandler onCommand,
                               DialogClosedHandler onClose) {
  std::lock_guard<std::mutex> g(R().lock);
  const uintptr_t id = R().nextHandle++;
  R().dialogs[id] = {onCommand, onClose};
  R().lastDialog = id;
  R().lastDialogOwner = headless::Id(owner);
  return headless::Handle(id);
}

}  // namespace platform
