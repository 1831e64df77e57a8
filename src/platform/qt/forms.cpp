// Forms on Qt: the program's top-level windows, the events of every window,
// the z-order, dragging a frameless form, translucency and popup menus.
// Sinks, the loaded list and timers are the shared part's.

#include <sys/timerfd.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSocketNotifier>
#include <QStyleHints>
#include <QWindow>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/qt/qt.h"

namespace platform::qt {
namespace {

// Our shown forms, the one active last first: the window manager gives the
// keyboard to a window of its own choice when the active one goes, and the
// program takes it back for the next of these.
std::vector<Form> g_recent;

Key KeyOf(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z)
    return static_cast<Key>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
    return static_cast<Key>(int(Key::F1) + key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return Key::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return Key::Enter;
    case Qt::Key_Escape:
      return Key::Escape;
    case Qt::Key_Space:
      return Key::Space;
    default:
      return Key::Other;
  }
}

// The Latin letter of a key. A layout with none there (Russian, Greek)
// names the key by its place on the keyboard, as Windows does, so that Ctrl
// with the key in C's place is Ctrl+C: the places are X11's key codes of a
// PC keyboard.
int LetterOf(const QKeyEvent& key) {
  if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
    return key.key();
  if (key.key() <= 0x7F || key.key() > 0xFFFF || !QChar(char16_t(key.key())).isLetter())
    return 0;
  static const std::pair<quint32, std::string_view> kRows[] = {{24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
  for (auto [first, letters] : kRows) {
    if (key.nativeScanCode() >= first && key.nativeScanCode() - first < letters.size())
      return letters[key.nativeScanCode() - first];
  }
  return 0;
}

int ModifiersOf(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ShiftModifier ? kShift : 0) | (modifiers & Qt::ControlModifier ? kCtrl : 0) |
         (modifiers & Qt::AltModifier ? kAlt : 0);
}

int ButtonsOf(Qt::MouseButtons buttons) {
  return (buttons & Qt::LeftButton ? kLeftButton : 0) | (buttons & Qt::RightButton ? kRightButton : 0) |
         (buttons & Qt::MiddleButton ? kMiddleButton : 0);
}

// Where an event at `at` on `widget` falls on our window, in twips.
QPoint TwipsOn(QWidget* window, QWidget* widget, QPointF at) {
  QPoint point = widget == window ? at.toPoint() : widget->mapTo(window, at.toPoint());
  return {ToTwips(point.x()), ToTwips(point.y())};
}

// The form comes to the top of its band: the window manager keeps the
// topmost ones above the rest.
void ToTop(Form form) {
  std::erase(g_recent, form);
  g_recent.insert(g_recent.begin(), form);
  if (QWidget* widget = WidgetOf(form))
    RaiseWithoutActivating(widget);
}

// Marks a form's widget while it goes, until it is shown again.
const char kGoing[] = "pinaleafGoing";

// The active form is about to go: the next of ours takes the keyboard while
// it is still ours to give, before the window manager gives it elsewhere.
void ActivateNextAfter(Form gone, QWidget* goneWidget) {
  std::erase(g_recent, gone);
  if (goneWidget)
    goneWidget->setProperty(kGoing, true);
  if (QApplication::activeWindow() != goneWidget)
    return;
  for (Form form : g_recent) {
    if (QWidget* widget = WidgetOf(form); widget && widget->isVisible())
      return ActivateAndWait(widget);
  }
}

// The part of a form that takes its keys: the control that has or last had
// the focus, or the first that can take it, else the form itself.
QWidget* KeysOf(Form form) {
  Control target = backend::FocusTarget(form);
  return WidgetOf(target ? Window(target) : Window(form));
}

// Keys typed before the keyboard moved on from a form that goes still reach
// it: they go to the form that takes over, which Windows would have queued
// them for.
bool HandOver(QKeyEvent* key) {
  for (Form form : g_recent) {
    if (QWidget* widget = WidgetOf(form); !widget || !widget->isVisible())
      continue;
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                   key->nativeModifiers(), key->text(), key->isAutoRepeat());
    QCoreApplication::sendEvent(KeysOf(form), &copy);
    return true;
  }
  return false;
}

// The caret rests after five seconds without a key or a click, as it does
// on Windows: an idle note then wakes nobody. It blinks again at once.
void KeepCaretAwake() {
  static const int blinking = QGuiApplication::styleHints()->cursorFlashTime();
  static QTimer* rest = [] {
    auto* timer = new QTimer(qApp);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, [] { QApplication::setCursorFlashTime(0); });
    return timer;
  }();
  if (QApplication::cursorFlashTime() != blinking)
    QApplication::setCursorFlashTime(blinking);
  rest->start(5000);
}

class Events : public QObject {
 public:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(object);
    auto type = event->type();
    bool key = type == QEvent::KeyPress || type == QEvent::KeyRelease;
    if (key && widget && widget->window()->property(kGoing).toBool() && HandOver(static_cast<QKeyEvent*>(event)))
      return true;
    Window self = widget ? WindowOf(widget) : Window();
    QWidget* own = WidgetOf(self);
    if (!own)
      return false;
    if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)
      KeepCaretAwake();
    bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                 type == QEvent::MouseButtonRelease || type == QEvent::MouseMove;
    // A press a control leaves goes on to its parent, as a copy that Qt
    // makes itself: the sink hears of it once, from the window it fell on.
    if (mouse && !event->spontaneous())
      return false;
    switch (type) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        return MouseDown(self, own, widget, static_cast<QMouseEvent*>(event));
      case QEvent::MouseButtonRelease:
        return MouseUp(self, object, static_cast<QMouseEvent*>(event));
      // A window that comes to lie under the pointer hears of it as a move,
      // as on Windows, even when the pointer itself stays still.
      case QEvent::Enter:
      case QEvent::MouseMove: {
        auto* mouse = static_cast<QSinglePointEvent*>(event);
        QPoint at = TwipsOn(own, widget, mouse->position());
        backend::Deliver(self, [&](EventSink& s) {
          s.OnMouseMove(self, ButtonsOf(mouse->buttons()), ModifiersOf(mouse->modifiers()), at.x(), at.y());
        });
        return !WidgetOf(self);
      }
      case QEvent::KeyPress:
        return widget == own && KeyDown(self, static_cast<QKeyEvent*>(event));
      case QEvent::FocusIn:
        if (widget == own && backend::IsForm(self))
          backend::Deliver(self, [&](EventSink& s) { s.OnGotFocus(Form(self.number())); });
        else
          backend::FocusMovedTo(self);
        return false;
      case QEvent::WindowActivate:
        if (widget == own && backend::IsForm(self))
          Activated(Form(self.number()));
        return false;
      case QEvent::Resize:
        if (widget == own && backend::IsForm(self))
          backend::Resized(Form(self.number()));
        return false;
      // A new theme: colours of the user's scheme are looked up again.
      case QEvent::ApplicationPaletteChange:
        if (widget == own && backend::IsForm(self)) {
          ApplyLook(self);
          for (Control control : backend::ControlsOf(Form(self.number())))
            ApplyLook(control);
        }
        return false;
      case QEvent::Close:
        if (widget != own || !backend::IsForm(self))
          return false;
        event->ignore();
        backend::CloseRequested(Form(self.number()));
        return true;
      default:
        return false;
    }
  }

 private:
  static bool MouseDown(Window self, QWidget* own, QWidget* widget, QMouseEvent* mouse) {
    MouseButton button = mouse->button() == Qt::RightButton    ? kRightButton
                         : mouse->button() == Qt::MiddleButton ? kMiddleButton
                                                               : kLeftButton;
    QPoint at = TwipsOn(own, widget, mouse->position());
    bool handled = false;
    backend::Deliver(self, [&](EventSink& s) {
      handled = s.OnMouseDown(self, button, ModifiersOf(mouse->modifiers()), at.x(), at.y());
    });
    WindowData* data = backend::DataOf(self);
    if (data && button == kLeftButton)
      data->leftPressed = !handled;
    // The handler may have closed the form, or taken the press for a drag;
    // or a popup or a dialog took the release meanwhile, and the control
    // must not see half a click.
    bool over = !(QGuiApplication::mouseButtons() & mouse->button());
    if (handled || !data || over)
      return true;
    // A press in the selection places the caret, as in the Windows text
    // box, which drags no text: Qt's would start a drag from there.
    auto* edit = qobject_cast<QPlainTextEdit*>(own);
    if (edit && mouse->type() == QEvent::MouseButtonPress && mouse->modifiers() == Qt::NoModifier) {
      QTextCursor cursor = edit->textCursor();
      QPoint point = edit->viewport()->mapFromGlobal(mouse->globalPosition().toPoint());
      int pressed = edit->cursorForPosition(point).position();
      if (pressed >= cursor.selectionStart() && pressed <= cursor.selectionEnd()) {
        cursor.clearSelection();
        edit->setTextCursor(cursor);
      }
    }
    return false;
  }

  // The control handles the release first; then the click is heard.
  static bool MouseUp(Window self, QObject* object, QMouseEvent* mouse) {
    WindowData* data = backend::DataOf(self);
    bool click = data && data->leftPressed && mouse->button() == Qt::LeftButton;
    if (data && mouse->button() == Qt::LeftButton)
      data->leftPressed = false;
    if (!click)
      return false;
    object->event(mouse);
    if (backend::DataOf(self))
      backend::Deliver(self, [&](EventSink& s) { s.OnClick(self); });
    return true;
  }

  // The key goes on to the control, except a cut the program made itself,
  // and Ctrl with a letter in a text box: the Windows one has no use for
  // any but C, V, X and Z, and Qt's binds D, E, K and more on X11, which
  // are the program's shortcuts alone.
  static bool KeyDown(Window self, QKeyEvent* key) {
    if (backend::IsForm(self))
      return false;
    int letter = LetterOf(*key);
    if (letter != key->key() && letter && (key->modifiers() & Qt::ControlModifier)) {
      QKeyEvent latin(key->type(), letter, key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                      key->nativeModifiers(), key->text(), key->isAutoRepeat());
      QCoreApplication::sendEvent(WidgetOf(self), &latin);
      return true;
    }
    Control control(self.number());
    int modifiers = ModifiersOf(key->modifiers());
    backend::Deliver(self, [&](EventSink& s) { s.OnKeyDown(control, KeyOf(letter ? letter : key->key()), modifiers); });
    if (!backend::DataOf(self) || backend::KindOf(self) != backend::ControlKind::TextBox)
      return !backend::DataOf(self);
    if (key->matches(QKeySequence::Cut)) {
      bool handled = false;
      backend::Deliver(self, [&](EventSink& s) { handled = s.OnCut(TextBox(self.number())); });
      return handled || !backend::DataOf(self);
    }
    return modifiers == kCtrl && letter && !QStringView(u"CVXZ").contains(QChar(letter));
  }

  // The focus comes back where it was, or to the first control that can
  // take it; the form itself takes it only when none can.
  static void Activated(Form form) {
    if (g_recent.empty() || g_recent.front() != form)
      ToTop(form);
    QWidget* widget = KeysOf(form);
    if (widget && !widget->hasFocus())
      widget->setFocus(Qt::ActiveWindowFocusReason);
  }
};

// After the screens change, a form left wholly outside every work area comes
// back inside the nearest one.
void KeepOnSomeWorkArea() {
  for (Form form : LoadedForms()) {
    QWidget* widget = WidgetOf(form);
    if (!widget || !widget->isVisible())
      continue;
    QRect frame = widget->frameGeometry();
    auto screens = QGuiApplication::screens();
    if (std::ranges::any_of(screens, [&](QScreen* s) { return s->availableGeometry().intersects(frame); }))
      continue;
    QScreen* nearest = QGuiApplication::screenAt(frame.center());
    QRect work = (nearest ? nearest : QGuiApplication::primaryScreen())->availableGeometry();
    widget->move(std::clamp(frame.left(), work.left(), std::max(work.left(), work.right() + 1 - frame.width())),
                 std::clamp(frame.top(), work.top(), std::max(work.top(), work.bottom() + 1 - frame.height())));
  }
}

void WatchScreens() {
  auto* application = qGuiApp;
  auto watch = [](QScreen* screen) {
    QObject::connect(screen, &QScreen::availableGeometryChanged, qApp, KeepOnSomeWorkArea, Qt::QueuedConnection);
  };
  for (QScreen* screen : QGuiApplication::screens())
    watch(screen);
  QObject::connect(application, &QGuiApplication::screenAdded, application, watch);
  QObject::connect(application, &QGuiApplication::screenRemoved, application, KeepOnSomeWorkArea, Qt::QueuedConnection);
}

// The system clock set, or the machine awake again: the kernel cancels a
// timer of the wall clock that asks to hear of it, and every form hears.
void WatchClock() {
  int timer = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timer < 0)
    return;
  auto arm = [timer] {
    itimerspec never = {};
    never.it_value.tv_sec = std::numeric_limits<time_t>::max() / 2;
    timerfd_settime(timer, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr);
  };
  arm();
  auto* notifier = new QSocketNotifier(timer, QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [timer, arm] {
    std::uint64_t expired = 0;
    if (read(timer, &expired, sizeof expired) >= 0 || errno != ECANCELED)
      return;
    arm();
    for (Form form : LoadedForms())
      backend::Deliver(form, [&](EventSink& s) { s.OnClockChanged(form); });
  });
}

}  // namespace

// Activation goes through the window manager: it is waited for, a moment at
// most, so the form is active when the call returns, as on other systems.
// Asked again now and then: a window manager ignores a window it has not
// taken in yet. Qt's widgets miss an activation that comes while a popup
// is open (a file dialog closed by the Enter that closes its completer),
// and none comes again for a window that has the keyboard already: they
// are told.
void ActivateAndWait(QWidget* widget) {
  RequestActivation(widget);
  double asked = MonotonicSeconds(), deadline = asked + 0.5;
  while (QApplication::activeWindow() != widget && widget->isVisible() && MonotonicSeconds() < deadline) {
    WaitForMessagesUntil(std::min(deadline, MonotonicSeconds() + 0.02));
    if (QGuiApplication::focusWindow() == widget->windowHandle() && !QApplication::activePopupWidget())
      QApplication::setActiveWindow(widget);
    else if (MonotonicSeconds() > asked + 0.1) {
      RequestActivation(widget);
      asked = MonotonicSeconds();
    }
  }
}

void Listen(QWidget* widget) {
  static Events events;
  widget->installEventFilter(&events);
  widget->setMouseTracking(true);
}

}  // namespace platform::qt

namespace platform {
using namespace qt;

namespace backend {

Form NewFormWindow(const FormSpec& design) {
  [[maybe_unused]] static const bool watching = [] {
    WatchScreens();
    WatchClock();
    return true;
  }();
  Qt::WindowFlags flags = Qt::Window;
  if (design.kind == FormKind::Note)
    flags = Qt::Window | Qt::FramelessWindowHint;  // not a helper window, which a window manager passes over when it
                                                   // hands on the keyboard
  if (design.kind == FormKind::Dialog) {
    flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  }
  auto* widget = new QWidget(nullptr, flags);
  widget->setWindowTitle(ToQString(design.caption));
  widget->setAutoFillBackground(true);
  QRect place = ToPixels(design.rect);
  if (QWidget* over = WidgetOf(design.over))
    place.moveTopLeft(over->geometry().topLeft());
  if (design.platformPlaces)
    widget->resize(place.size());  // the window manager places it
  else
    widget->setGeometry(place);
  // A dialog's size is fixed: no window manager offers to change it.
  if (design.kind == FormKind::Dialog)
    widget->setFixedSize(place.size());
  else
    widget->setMinimumSize(ToPixels(design.minWidth), ToPixels(design.minHeight));
  auto data = std::make_shared<WindowData>();
  data->widget = widget;
  data->kind = design.kind;
  data->minWidth = design.minWidth;
  data->minHeight = design.minHeight;
  Form form(static_cast<std::int32_t>(widget->winId()));
  // A note has no button on the taskbar, nor a place in the pager.
  if (design.kind == FormKind::Note)
    SetWindowState(widget, {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}, true);
  AddForm(form, std::move(data));
  LookOf(form)->backColor = design.backColor;
  ApplyLook(form);
  Listen(widget);
  return form;
}

void ShowFormWindow(Form form) {
  WindowData* data = DataOf(form);
  if (!data || !data->widget || data->kind == FormKind::Hidden)
    return;
  QWidget* widget = data->widget;
  widget->setProperty(kGoing, {});
  widget->show();
  ToTop(form);
  ActivateAndWait(widget);
  KeepCaretAwake();
}

// The records are gone already: the widget is found by its window.
void DestroyFormWindow(Form form) {
  QWidget* widget = QWidget::find(static_cast<WId>(form.number()));
  ActivateNextAfter(form, widget);
  if (widget) {
    widget->hide();
    widget->deleteLater();
  }
}

void Restack(Form form, ZOrder where, bool activate) {
  WindowData* data = DataOf(form);
  if (!data || !data->widget)
    return;
  bool topmost = where == ZOrder::Topmost || (where == ZOrder::Top && data->topmost);
  if (topmost != data->topmost) {
    data->topmost = topmost;
    SetWindowState(data->widget, {"_NET_WM_STATE_ABOVE"}, topmost);
  }
  if (data->widget->isVisible())
    ToTop(form);
  if (activate)
    ActivateAndWait(data->widget);
}

void FocusControl(Control control) {
  QWidget* widget = WidgetOf(control);
  if (!widget)
    return;
  if (QApplication::activeWindow() != widget->window())
    ActivateAndWait(widget->window());
  widget->setFocus(Qt::OtherFocusReason);
}

void SetFormTimer(Form form, int intervalMs) {
  WindowData* data = DataOf(form);
  if (!data || !data->widget)
    return;
  if (!data->timer) {
    data->timer = new QTimer(data->widget);
    data->timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(data->timer, &QTimer::timeout, [form] { backend::Tick(form); });
  }
  if (intervalMs > 0)
    data->timer->start(intervalMs);
  else
    data->timer->stop();
}

Form ActiveForm() {
  Window active = WindowOf(QApplication::activeWindow());
  return IsForm(active) ? Form(active.number()) : Form();
}

void ColorsChanged(Window window) {
  ApplyLook(window);
}

void FontChanged(Control control) {
  ApplyLook(control);
}

void PointerChanged(Form form) {
  const Look* look = LookOf(form);
  QWidget* widget = WidgetOf(form);
  if (!look || !widget)
    return;
  std::vector<QWidget*> parts = {widget};
  for (Control control : ControlsOf(form)) {
    if (QWidget* part = WidgetOf(control))
      parts.push_back(part);
  }
  for (QWidget* part : parts) {
    if (look->pointer == Pointer::Default) {
      part->unsetCursor();
      for (QWidget* child : part->findChildren<QWidget*>())
        child->unsetCursor();
      ApplyLook(WindowOf(part));  // a text box's own I-beam
      continue;
    }
    QCursor cursor = look->pointer == Pointer::IBeam      ? QCursor(Qt::IBeamCursor)
                     : look->pointer == Pointer::SizeNWSE ? QCursor(Qt::SizeFDiagCursor)
                                                          : CursorFromFile(look->cursor);
    part->setCursor(cursor);
    for (QWidget* child : part->findChildren<QWidget*>())
      child->setCursor(cursor);
  }
}

namespace {

// Keys that reach the popup once it has closed are its owner's: Qt gives
// them to the popup until the window system says that the keyboard is
// back. Those that come before the program has acted on the choice (in one
// batch of events with the key that chose) are held until it has, and then
// handed on in order, as Windows queues them.
bool g_holdingKeys = false;
std::vector<std::pair<Form, std::unique_ptr<QEvent>>> g_heldKeys;

// To the part of the form that takes keys; once it is gone, to the form
// that took over.
void SendKey(Form form, QEvent* key) {
  if (QWidget* widget = KeysOf(form))
    QCoreApplication::sendEvent(widget, key);
  else
    HandOver(static_cast<QKeyEvent*>(key));
}

// Entries are chosen with the left button only, as the program's popups are
// on Windows (a right click elsewhere still closes the popup).
struct MenuFilter : QObject {
  Form owner;
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* menu = static_cast<QWidget*>(object);
    if (event->type() == QEvent::MouseButtonRelease) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      return mouse->button() == Qt::RightButton && menu->rect().contains(mouse->position().toPoint());
    }
    if ((event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) || menu->isVisible())
      return false;
    if (g_holdingKeys)
      g_heldKeys.emplace_back(owner, event->clone());
    else
      SendKey(owner, event);
    return true;
  }
};

// Keys that the window system sent to the popup before it let the keyboard
// go, and that come once Qt has forgotten its window, are the active
// form's: Qt would drop them.
struct KeysToAPopupGone : QAbstractNativeEventFilter {
  bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
    auto* key = static_cast<xcb_key_press_event_t*>(message);
    int type = key->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)  // every other event, pointer moves too, passes at once
      return false;
    if (QWidget* active = QApplication::activeWindow(); active && !QWidget::find(key->event))
      key->event = static_cast<xcb_window_t>(active->winId());
    return false;
  }
};

}  // namespace

// The popup reports its choice as it closes, and the program acts on it
// before the keys held meanwhile are handed on.
void ShowMenu(MenuId, const std::vector<MenuItem>& items, Form owner) {
  [[maybe_unused]] static const bool filtering = [] {
    static KeysToAPopupGone keysToAPopupGone;
    qApp->installNativeEventFilter(&keysToAPopupGone);
    return true;
  }();
  auto* menu = new QMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  auto* filter = new MenuFilter();
  filter->setParent(menu);
  filter->owner = owner;
  menu->installEventFilter(filter);
  for (const MenuItem& item : items) {
    if (item.id == 0) {
      menu->addSeparator();
      continue;
    }
    QString caption = ToQString(item.caption);
    if (!item.shortcutLabel.empty())
      caption += u'\t' + ToQString(item.shortcutLabel);
    QAction* action = menu->addAction(caption);
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
    action->setData(item.id);
  }
  if (QWidget* widget = WidgetOf(owner); widget && widget->isVisible())
    widget->activateWindow();
  g_holdingKeys = true;
  QAction* chosen = menu->exec(QCursor::pos());
  MenuClosed(chosen ? chosen->data().toInt() : 0);
  QTimer::singleShot(0, [] {
    g_holdingKeys = false;
    for (auto& [form, key] : std::exchange(g_heldKeys, {}))
      SendKey(form, key.get());
  });
}

}  // namespace backend

void HideForm(Form form) {
  QWidget* widget = WidgetOf(form);
  if (!widget || !widget->isVisible())
    return;
  ActivateNextAfter(form, widget);
  widget->hide();
}

bool IsVisible(Window window) {
  QWidget* widget = WidgetOf(window);
  return widget && widget->isVisible();
}

Rect GetRect(Window window) {
  QWidget* widget = WidgetOf(window);
  if (!widget)
    return {};
  QRect frame = widget->frameGeometry();  // only once the frame is round it
  bool framed = backend::IsForm(window) && widget->isVisible() && frame.contains(widget->geometry());
  return ToTwips(framed ? frame : widget->geometry());
}

// A form's frame, where it has one, lies around its client area. One
// request to the window manager: a move and then a size would each be
// answered, the first with the old size, and the form would hear of it.
void SetRect(Window window, const Rect& rect) {
  QWidget* widget = WidgetOf(window);
  if (!widget)
    return;
  QRect r = ToPixels(rect);
  QSize frameSize = (widget->frameGeometry().size() - widget->geometry().size()).expandedTo({0, 0});
  if (backend::IsForm(window) && !widget->isVisible()) {
    widget->move(r.topLeft());  // the frame's place, once it has one
    return widget->resize(r.size() - frameSize);
  }
  // Just after showing, the window manager's frame may not yet be round
  // the form: none is counted then.
  if (backend::IsForm(window)) {
    QRect frame = widget->frameGeometry(), client = widget->geometry();
    auto at_least_0 = [](int margin) { return std::max(margin, 0); };
    r = r.marginsRemoved({at_least_0(client.left() - frame.left()), at_least_0(client.top() - frame.top()),
                          at_least_0(frame.right() - client.right()), at_least_0(frame.bottom() - client.bottom())});
  }
  widget->setGeometry(r);
}

Rect ScreenRect() {
  return ToTwips(QGuiApplication::primaryScreen()->geometry());
}

Rect WorkArea(Form form) {
  QWidget* widget = WidgetOf(form);
  QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
  return ToTwips(screen->availableGeometry());
}

bool LayeredFormsSupported() {
  return true;
}

// A form is drawn with one alpha through the window's opacity, which the
// compositor applies; unlayered, it is opaque. X has no colour key: it is
// refused.
bool SetLayered(Form form, bool layered) {
  WindowData* data = backend::DataOf(form);
  if (!data || !data->widget || !backend::IsForm(form))
    return false;
  data->layered = layered;
  if (!layered)
    data->widget->setWindowOpacity(1);
  return true;
}

bool SetLayeredAlpha(Form form, int alpha) {
  WindowData* data = backend::DataOf(form);
  if (!data || !data->layered || !data->widget)
    return false;
  data->widget->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
  return true;
}

bool SetLayeredColorKey(Form form, Color) {
  WindowData* data = backend::DataOf(form);
  return data && data->layered;
}

// The window manager's own loop, from where the pointer went down: the
// controls are no windows of their own, so the form has seen the press.
void DragForm(Form form, DragEdge edge) {
  WindowData* data = backend::DataOf(form);
  if (!data || !data->widget || !data->widget->isVisible())
    return;
  // _NET_WM_MOVERESIZE's directions, from the top left corner clockwise; 8 moves.
  using E = DragEdge;
  const std::pair<DragEdge, int> kDirections[] = {{E::TopLeft, 0},    {E::Top, 1},         {E::TopRight, 2},
                                                  {E::Right, 3},      {E::BottomRight, 4}, {E::Bottom, 5},
                                                  {E::BottomLeft, 6}, {E::Left, 7}};
  int direction = 8;
  for (auto [held, number] : kDirections)
    direction = edge == held ? number : direction;
  StartMoveResize(data->widget, direction);
}

}  // namespace platform
