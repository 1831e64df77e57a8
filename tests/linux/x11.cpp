#include "x11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

namespace x11 {
namespace {

// Windows come and go while we look: an error is an answer of "nothing", not
// the end of the tests.
Display* D() {
  static Display* display = [] {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    return XOpenDisplay(nullptr);
  }();
  return display;
}

void Sleep(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The key that gives `sym` in the server's map as it is now (a test may
// have set another layout), and Shift (1) if it needs it; else a key with
// nothing on it, given `sym` for the rest of the run: a program reads the
// new map when it hears of the change, which may be after we would have put
// it back.
std::pair<KeyCode, int> KeyFor(KeySym sym) {
  int first = 0, last = 0, per = 0;
  XDisplayKeycodes(D(), &first, &last);
  KeySym* map = XGetKeyboardMapping(D(), KeyCode(first), last - first + 1, &per);
  std::pair<KeyCode, int> found = {0, 0};
  KeyCode spare = 0;
  for (int code = last; code >= first; --code) {
    KeySym* syms = map + static_cast<ptrdiff_t>(code - first) * per;
    for (int level = std::min(per, 2); level-- > 0;) {
      if (syms[level] == sym)
        found = {KeyCode(code), level};
    }
    if (!spare && std::all_of(syms, syms + per, [](KeySym s) { return s == NoSymbol; }))
      spare = KeyCode(code);
  }
  XFree(map);
  if (found.first)
    return found;
  KeySym syms[] = {sym, sym};
  XChangeKeyboardMapping(D(), spare, 2, syms, 1);
  XSync(D(), False);
  return {spare, 0};
}

void Stroke(KeySym sym, int modifiers) {
  auto [code, shift] = KeyFor(sym);
  std::vector<KeyCode> keys;
  for (auto [bit, modifier] : {std::pair(1, XK_Shift_L), {2, XK_Control_L}, {4, XK_Alt_L}}) {
    if ((modifiers | shift) & bit)
      keys.push_back(XKeysymToKeycode(D(), modifier));
  }
  keys.push_back(code);
  for (KeyCode key : keys)
    XTestFakeKeyEvent(D(), key, True, CurrentTime);
  for (size_t i = keys.size(); i-- > 0;)
    XTestFakeKeyEvent(D(), keys[i], False, CurrentTime);
  XSync(D(), False);
}

// The program's own window in a top-level one: under a window manager the
// frame it was put in holds it; a popup, or any window where none runs, is itself.
Id ClientIn(Id top) {
  if (OverrideRedirect(top) || !Property(top, "WM_STATE").empty())
    return top;
  for (Id child : Children(top)) {
    if (!Property(child, "WM_STATE").empty())
      return child;
  }
  return top;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& ready, int ms, const std::function<void()>& pass) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!ready()) {
    if (std::chrono::steady_clock::now() > end)
      return false;
    pass ? pass() : Sleep(10);
  }
  return true;
}

std::vector<Id> Shown(long pid) {
  std::vector<Id> shown;
  for (Id window : Children(DefaultRootWindow(D()))) {
    XWindowAttributes a;
    Id client = ClientIn(window);
    if (XGetWindowAttributes(D(), window, &a) && a.map_state == IsViewable &&
        (!pid || Property(client, "_NET_WM_PID") == std::vector{pid})) {
      shown.insert(shown.begin(), client);
    }
  }
  return shown;
}

Box Geometry(Id window) {
  XWindowAttributes a = {};
  int x = 0, y = 0;
  ::Window child;
  XGetWindowAttributes(D(), window, &a);
  XTranslateCoordinates(D(), window, DefaultRootWindow(D()), 0, 0, &x, &y, &child);
  return {x, y, a.width, a.height};
}

std::vector<Id> Managed() {
  std::vector<long> list = Property(DefaultRootWindow(D()), "_NET_CLIENT_LIST");
  return {list.begin(), list.end()};
}

std::vector<Id> Children(Id window, Id* parent) {
  ::Window root, up = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(D(), window, &root, &up, &children, &count);
  std::vector<Id> found(children, children + count);
  XFree(children);
  if (parent)
    *parent = up;
  return found;
}

Id Focused() {
  ::Window focus = 0;
  int revert;
  XGetInputFocus(D(), &focus, &revert);
  for (Id window = focus, parent = 0; window > PointerRoot; window = parent) {
    Children(window, &parent);
    if (parent == DefaultRootWindow(D()) || !Property(window, "WM_STATE").empty())
      return window;
  }
  return 0;
}

std::string Title(Id window) {
  XTextProperty text = {};
  XGetWMName(D(), window, &text);
  std::string title(reinterpret_cast<char*>(text.value), text.nitems);
  XFree(text.value);
  return title;
}

bool OverrideRedirect(Id window) {
  XWindowAttributes a = {};
  return XGetWindowAttributes(D(), window, &a) && a.override_redirect;
}

std::vector<long> Property(Id window, const char* name) {
  Atom type;
  int format = 0;
  unsigned long count = 0, left;
  unsigned char* data = nullptr;
  XGetWindowProperty(D(), window, Intern(name), 0, 64, False, AnyPropertyType, &type, &format, &count, &left, &data);
  std::vector<long> items(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + (format == 32 ? count : 0));
  XFree(data);
  return items;
}

unsigned long Intern(const char* name) {
  return XInternAtom(D(), name, False);
}

std::optional<int> Opacity(Id window) {
  for (unsigned long value : Property(window, "_NET_WM_WINDOW_OPACITY"))
    return static_cast<int>(std::lround(static_cast<double>(value & 0xFFFFFFFF) * 255 / 0xFFFFFFFF));
  return std::nullopt;
}

bool HasState(Id window, const char* state) {
  std::vector<long> states = Property(window, "_NET_WM_STATE");
  return std::ranges::count(states, static_cast<long>(Intern(state)));
}

bool Composited() {
  return XGetSelectionOwner(D(), Intern("_NET_WM_CM_S0")) != 0;
}

// The screen is 24-bit, 0xRRGGBB, as the test script starts it.
std::vector<unsigned> Colours(Box box) {
  std::vector<unsigned> colours;
  XImage* image = XGetImage(D(), DefaultRootWindow(D()), box.x, box.y, box.width, box.height, AllPlanes, ZPixmap);
  for (int at = 0; image && at < box.width * box.height; ++at) {
    unsigned long rgb = XGetPixel(image, at % box.width, at / box.width);
    colours.push_back((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
  }
  if (image)
    XDestroyImage(image);
  return colours;
}

void Click(int x, int y, int button) {
  XTestFakeMotionEvent(D(), -1, x, y, CurrentTime);
  XSync(D(), False);
  Sleep(50);  // the hand comes to rest
  XTestFakeButtonEvent(D(), button, True, CurrentTime);
  XTestFakeButtonEvent(D(), button, False, CurrentTime);
  XSync(D(), False);
  Sleep(50);  // and leaves before it moves on
}

// A hand rests a moment after pressing and after letting go: a window
// manager's loop starts from the press and ends with the release.
void Drag(int x, int y, int toX, int toY, const std::function<void()>& pass) {
  XTestFakeMotionEvent(D(), -1, x, y, CurrentTime);
  XTestFakeButtonEvent(D(), 1, True, CurrentTime);
  XSync(D(), False);
  pass ? pass() : Sleep(150);
  for (int step = 1; step <= 10; ++step) {
    XSync(D(), False);
    pass ? pass() : Sleep(20);
    XTestFakeMotionEvent(D(), -1, x + (toX - x) * step / 10, y + (toY - y) * step / 10, CurrentTime);
  }
  XTestFakeButtonEvent(D(), 1, False, CurrentTime);
  XSync(D(), False);
  pass ? pass() : Sleep(150);
}

void Key(const char* name, int modifiers) {
  Stroke(XStringToKeysym(name), modifiers);
}

// Latin-1 characters are their own keysyms; the rest of Unicode is 0x01000000 above.
void Type(const std::u32string& text) {
  for (char32_t c : text)
    Stroke(c == U'\n' || c == U'\r' ? XK_Return : c < 0x100 ? c : 0x01000000 | c, 0);
}

void CloseBox(Id window) {
  XEvent close = {};
  close.xclient = {.type = ClientMessage, .window = window, .message_type = Intern("WM_PROTOCOLS"), .format = 32};
  close.xclient.data.l[0] = static_cast<long>(Intern("WM_DELETE_WINDOW"));
  XSendEvent(D(), window, False, NoEventMask, &close);
  XSync(D(), False);
}

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

}  // namespace x11

namespace x11 {

void Move(int x, int y) {
  XTestFakeMotionEvent(D(), -1, x, y, CurrentTime);
  XSync(D(), False);
}

std::string Name(Id window) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, left = 0;
  unsigned char* bytes = nullptr;
  XGetWindowProperty(D(), window, XInternAtom(D(), "_NET_WM_NAME", False), 0, 1 << 20, False,
                     XInternAtom(D(), "UTF8_STRING", False), &type, &format, &count, &left, &bytes);
  std::string name(bytes ? reinterpret_cast<char*>(bytes) : "", count);
  XFree(bytes);
  return name;
}

}  // namespace x11
