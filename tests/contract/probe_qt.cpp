// The contract tests' probe on the Qt layer: real input through XTest and
// the X server's own answers. The tests run in this process: waiting pumps
// the program's events.
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QPalette>
#include <filesystem>
#include <fstream>

#include "platform/qt/qt.h"
#include "probe.h"
#include "x11.h"

namespace probe {
namespace {

using namespace std;

filesystem::path g_home;  // the settings store's folder and the shell's log
bool g_marked = false;

// What the server sends comes in the order it happened: once the program has
// seen a mark made now, it has seen everything before it. The mark is an
// empty cut buffer 7 on the root window, which nothing here reads.
struct MarkWatch : QAbstractNativeEventFilter {
  bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
    auto* event = static_cast<xcb_property_notify_event_t*>(message);
    g_marked |= (event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY && event->atom == XCB_ATOM_CUT_BUFFER7;
    return false;
  }
};

// The program has handled all input so far, and the server has done what it
// asked in turn: a window mapped, then the keyboard given to it.
void Settle() {
  xcb_connection_t* c = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
  g_marked = false;
  xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, XCB_ATOM_CUT_BUFFER7, XCB_ATOM_STRING, 8, 0, nullptr);
  xcb_flush(c);
  for (int tries = 0; !g_marked && tries < 1000; ++tries)  // 5 s at most
    Wait(5);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// A form's number is its X window's.
x11::Id Id(Window form) {
  Settle();
  return x11::Id(form.number());
}
// A window's form, when it is one of ours.
Form Ours(x11::Id window) {
  Form form{int32_t(window)};
  return IsLoaded(form) ? form : Form();
}

}  // namespace

// Once: the application, an empty settings folder, the logging xdg-open
// first on PATH. Every time: no forms, no settings, an empty log.
void Reset() {
  static int argc = 0;
  if (!qApp) {
    char home[] = "/tmp/pinaleaf-contract-XXXXXX";
    g_home = mkdtemp(home);
    atexit([] { filesystem::remove_all(g_home); });
    setenv("XDG_CONFIG_HOME", home, 1);
    setenv("PINALEAF_SHELL_LOG", (g_home / "shell.log").c_str(), 1);
    setenv("PATH", (PINALEAF_TEST_TOOLS ":" + string(getenv("PATH"))).c_str(), 1);
    new QApplication(argc, nullptr);
    qApp->installNativeEventFilter(new MarkWatch);
    // The program handles what came before each of the hand's moves and
    // whatever the tests wait for.
    x11::pause = [](int ms) {
      Settle();
      Wait(ms);
    };
  }
  for (Form form : LoadedForms())
    UnloadForm(form);
  filesystem::remove(g_home / "pinaleaf" / "settings.ini");
  ofstream emptied(g_home / "shell.log");
  Wait(50);
}

void Wait(int ms) {
  double deadline = MonotonicSeconds() + ms / 1000.0;
  while (MonotonicSeconds() < deadline)
    WaitForMessagesUntil(deadline);
}

// In the middle of it, or else at the first point of a grid over it where
// its form shows: another window's frame may lie over it (a title bar
// taller than another window manager's).
void Click(Window target) {
  Rect r = OnScreen(target);
  x11::Id form = Id(backend::FormOf(target));
  for (int n = 12; n < 37; ++n) {  // of 5 by 5 points, the middle one first
    int x = r.left + r.width * (1 + n % 5 * 2) / 10, y = r.top + r.height * (1 + n / 5 % 5 * 2) / 10;
    if (x11::At(x, y) == form || n == 36) {
      x11::Click(x, y);
      break;
    }
  }
  Settle();
}

// X numbers Tab, Enter and Esc 0xFF00 and their characters' codes, space and
// a letter as the character typed (the letter small).
void Press(Key key, int modifiers) {
  int code = int(key);
  x11::Key(QString::asprintf("%#x", code < ' ' ? 0xFF00 | code : code | 0x20).toLatin1(), modifiers);
  Settle();
}

void Close(Form form) {
  x11::CloseBox(Id(form));
  Settle();
}

// X has no lock on the clipboard that another program could hold.
bool HoldClipboard(bool) {
  return false;
}
bool AnsiIsUtf8() {
  return true;
}

Form ActiveForm() {
  Settle();
  return Ours(x11::Focused());
}

vector<Form> ZOrder() {
  Settle();
  vector<Form> order;
  for (x11::Id window : x11::Shown()) {
    if (Form form = Ours(window))
      order.push_back(form);
  }
  return order;
}

bool IsTopmost(Form form) {
  return x11::HasState(Id(form), "_NET_WM_STATE_ABOVE");
}

// A form's window as the X server shows it (its frame lies outside it); a
// control where Qt draws it in its form's window, in the screen's pixels.
Rect OnScreen(Window window) {
  Form form = backend::FormOf(window);
  x11::Box box = x11::Geometry(Id(form));
  if (window == form)
    return {box.x, box.y, box.width, box.height};
  QWidget* widget = qt::WidgetOf(window);
  QRect r = widget->geometry();  // in its form
  auto pixels = [&](int logical) { return int(logical * widget->devicePixelRatioF()); };
  return {box.x + pixels(r.x()), box.y + pixels(r.y()), pixels(r.width()), pixels(r.height())};
}

// A new theme reaches a Qt program as a new palette for the application.
bool SetScheme(Color face, Color text) {
  QPalette palette = QApplication::palette();
  for (auto [role, c] : {pair(QPalette::Window, face), {QPalette::WindowText, text}, {QPalette::Text, text}})
    palette.setColor(role, QColor(qBlue(c), qGreen(c), qRed(c)));  // 0x00BBGGRR read as Qt's 0xAARRGGBB
  QApplication::setPalette(palette);
  Wait(200);
  return true;
}
Color PixelAt(Window window, int x, int y) {
  Rect r = OnScreen(window);
  return x11::Colours(r.left + x, r.top + y, 1, 1).at(0);
}
bool Shows(Window window, Color color) {
  Rect r = OnScreen(window);
  return ranges::count(x11::Colours(r.left, r.top, r.width, r.height), color) > 0;
}

string FileBytes(const Text& path) {
  return x11::FileText(QString::fromStdU16String(path).toStdString());
}

// The last line of the log, once there is one.
Text LastShellTarget() {
  string log;
  x11::WaitUntil([&] { return !(log = x11::FileText(g_home / "shell.log")).empty(); }, 10000);
  return QString::fromStdString(log).trimmed().section(u'\n', -1).toStdU16String();
}

}  // namespace probe
