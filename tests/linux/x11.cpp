#include "x11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace x11 {

using namespace std;

namespace {

// Windows come and go while we look: an error is an answer of "nothing", not
// the end of the tests.
Display* const display = [] {
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  return XOpenDisplay(nullptr);
}();
const ::Window root = DefaultRootWindow(display);

Atom Intern(const char* name) {
  return XInternAtom(display, name, False);
}

// The windows in one, the bottom first.
vector<Id> Children(Id window) {
  ::Window up, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, window, &up, &up, &children, &count);
  vector<Id> found(children, children + count);
  XFree(children);
  return found;
}

// The program's own window in a top-level one: under a window manager the
// frame it was put in holds it; where none runs, it is the top-level one.
Id ClientIn(Id top) {
  for (Id child : Children(top)) {
    if (!Property(child, "WM_STATE").empty())
      return child;
  }
  return top;
}

}  // namespace

function<void(int)> pause = [](int ms) { usleep(ms * 1000u); };

bool WaitUntil(const function<bool()>& ready, int ms) {
  for (int waited = 0; !ready(); waited += 10) {
    if (waited > ms)
      return false;
    pause(10);
  }
  return true;
}

vector<Id> Shown() {
  vector<Id> shown;
  for (Id window : Children(root)) {
    XWindowAttributes a;
    if (XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable && !a.override_redirect)
      shown.insert(shown.begin(), ClientIn(window));
  }
  return shown;
}

Id At(int x, int y) {
  ::Window top = 0;
  XTranslateCoordinates(display, root, root, x, y, &x, &y, &top);
  return ClientIn(top);
}

Box Geometry(Id window) {
  XWindowAttributes a = {};
  ::Window child;
  XGetWindowAttributes(display, window, &a);
  XTranslateCoordinates(display, window, root, 0, 0, &a.x, &a.y, &child);
  return {a.x, a.y, a.width, a.height};
}

// Qt gives the keyboard to a form's own window, never to a window in it.
Id Focused() {
  ::Window focus;
  int revert;
  XGetInputFocus(display, &focus, &revert);
  return focus;
}

vector<long> Property(Id window, const char* name, string* text) {
  int format = 0;
  unsigned long type, count = 0, left;
  unsigned char* data = nullptr;
  XGetWindowProperty(display, window, Intern(name), 0, 100000, False, AnyPropertyType, &type, &format, &count, &left,
                     &data);
  auto* items = reinterpret_cast<long*>(data);
  vector<long> found(items, items + (format == 32 ? count : 0));
  if (text)
    text->assign(reinterpret_cast<char*>(data), format == 8 ? count : 0);
  XFree(data);
  return found;
}

int Opacity(Id window) {
  for (unsigned long value : Property(window, "_NET_WM_WINDOW_OPACITY"))
    return int(lround(unsigned(value) * 255.0 / 0xFFFFFFFF));
  return 255;
}

bool HasState(Id window, const char* state) {
  return ranges::count(Property(window, "_NET_WM_STATE"), long(Intern(state)));
}

bool Composited() {
  return XGetSelectionOwner(display, Intern("_NET_WM_CM_S0")) != 0;
}

// The screen is 24-bit, 0xRRGGBB, as the test script starts it.
vector<unsigned> Colours(int x, int y, int width, int height) {
  vector<unsigned> colours;
  if (XImage* image = XGetImage(display, root, x, y, width, height, AllPlanes, ZPixmap)) {
    for (int at = 0; at < width * height; ++at)  // its bytes the other way round
      colours.push_back(__builtin_bswap32(XGetPixel(image, at % width, at / width)) >> 8);
    XDestroyImage(image);
  }
  return colours;
}

void Move(int x, int y) {
  XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
  XSync(display, False);
}

void Click(int x, int y, int button) {
  Move(x, y);
  pause(50);  // the hand comes to rest
  for (Bool down : {True, False})
    XTestFakeButtonEvent(display, button, down, CurrentTime);
  // A window manager holds a press until it has looked at it, and what
  // follows waits: the hand rests until the pointer is free again (a popup
  // a right click opens keeps it).
  WaitUntil(
      [&] {
        return button != 1 || XGrabPointer(display, root, False, 0, GrabModeAsync, GrabModeAsync, None, None,
                                           CurrentTime) == GrabSuccess;
      },
      3000);
  XUngrabPointer(display, CurrentTime);
  pause(50);  // and leaves before it moves on
}

// A hand rests a moment after pressing and after letting go: a window
// manager's loop starts from the press and ends with the release.
void Drag(int x, int y, int toX, int toY) {
  Move(x, y);
  for (Bool down : {True, False}) {
    XTestFakeButtonEvent(display, 1, down, CurrentTime);
    XSync(display, False);
    pause(150);
    for (int step = 1; down && step <= 10; ++step) {
      pause(20);
      Move(x + (toX - x) * step / 10, y + (toY - y) * step / 10);
    }
  }
}

// The key that gives the keysym in the server's map as it is now (a test
// may have set another layout), with Shift where it needs it; else a key
// with nothing on it, given the keysym for the rest of the run: a program
// reads the new map when it hears of the change, which may be after we
// would have put it back.
void Key(const char* name, int modifiers) {
  KeySym sym = XStringToKeysym(name);
  int per, code = 0, spare = 0;
  KeySym* map = XGetKeyboardMapping(display, 8, 248, &per);  // the keys X numbers, 8 to 255
  for (int key = 8; key <= 255 && !code; ++key) {
    KeySym* syms = map + ptrdiff_t(key - 8) * per;
    if (syms[0] == sym || syms[1] == sym) {
      code = key;
      modifiers |= syms[0] != sym;
    } else if (count(syms, syms + per, NoSymbol) == per) {
      spare = key;
    }
  }
  XFree(map);
  KeySym both[] = {sym, sym};
  if (!code)
    XChangeKeyboardMapping(display, code = spare, 2, both, 1);
  // Shift, Ctrl and Alt as asked, then the key; all let go in that order.
  const KeySym held[] = {XK_Shift_L, XK_Control_L, XK_Alt_L};
  for (Bool down : {True, False}) {
    for (int bit = 0; bit < 3; ++bit) {
      if (modifiers >> bit & 1)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, held[bit]), down, CurrentTime);
    }
    XTestFakeKeyEvent(display, code, down, CurrentTime);
  }
  XSync(display, False);
}

void CloseBox(Id window) {
  XEvent close = {.xclient = {.type = ClientMessage,
                              .window = window,
                              .message_type = Intern("WM_PROTOCOLS"),
                              .format = 32,
                              .data = {.l = {long(Intern("WM_DELETE_WINDOW"))}}}};
  XSendEvent(display, window, False, NoEventMask, &close);
  XSync(display, False);
}

string FileText(const string& path) {
  ifstream file(path, ios::binary);
  return {istreambuf_iterator<char>(file), {}};
}

}  // namespace x11
