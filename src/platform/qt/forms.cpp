// Forms on Qt: the program's top-level windows, the events of every window,
// the z-order, dragging a frameless form, translucency and popup menus.
// Sinks, the loaded list and timers are the shared part's.

#include <sys/timerfd.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSocketNotifier>
#include <QStyleHints>
#include <QWindow>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <vector>

#include "platform/qt/qt.h"

namespace platform::qt {
namespace {

// Our shown forms, the top of the stack first: where no window manager
// keeps the z-order, this says which form takes over from one that goes.
std::vector<Form> g_stack;

// The form being moved or sized by the program's own loop.
struct Drag {
  QPointer<QWidget> form;
  DragEdge edge = DragEdge::Move;
  QPoint start;  // the pointer, on the screen
  QRect frame;   // the form's rectangle then
  QSize least;
};
Drag g_drag;
QPoint g_pressedAt;  // on the screen: where a drag takes hold

// A mouse event a control leaves unaccepted goes on to its parent, as the
// same event: the sink hears of it once, from the window it fell on. Qt
// makes each event in the same place, so its moment, kind and place on the
// screen tell one from the next. (A key reaches the sink only from the
// window that has the keyboard.)
bool HeardBefore(QEvent* event) {
  struct Seen {
    const QEvent* event = nullptr;
    QEvent::Type type = QEvent::None;
    quint64 time = 0;
    QPointF at;
    bool operator==(const Seen&) const = default;
  };
  static Seen last;
  auto* mouse = static_cast<QMouseEvent*>(event);
  Seen now{event, event->type(), mouse->timestamp(), mouse->globalPosition()};
  bool again = now == last;
  last = now;
  return again;
}

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

void Unstack(Form form) {
  std::erase(g_stack, form);
}

// Our topmost forms stay above the rest: a window manager keeps them there,
// and without one the program does.
void KeepTopmostAbove() {
  for (size_t i = g_stack.size(); i-- > 0;) {
    WindowData* data = backend::DataOf(g_stack[i]);
    if (data && data->topmost && data->widget)
      data->widget->raise();
  }
}

// A topmost form goes to the very top; another below the topmost ones.
void ToTopOfBand(Form form) {
  WindowData* data = backend::DataOf(form);
  Unstack(form);
  auto at = data->topmost ? g_stack.begin() : std::find_if(g_stack.begin(), g_stack.end(), [](Form other) {
    WindowData* them = backend::DataOf(other);
    return !them || !them->topmost;
  });
  g_stack.insert(at, form);
  data->widget->raise();
  KeepTopmostAbove();
}

// Activation goes through the system: it is waited for, a moment at most,
// so the form is active when the call returns, as on other systems.
void ActivateAndWait(QWidget* widget) {
  widget->activateWindow();
  double deadline = MonotonicSeconds() + 0.5;
  while (QApplication::activeWindow() != widget && widget->isVisible() && MonotonicSeconds() < deadline)
    WaitForMessagesUntil(std::min(deadline, MonotonicSeconds() + 0.02));
}

// The form that went leaves the keyboard to the next of ours down.
void ActivateNextAfter(Form gone) {
  Unstack(gone);
  if (QApplication::activeWindow() && QApplication::activeWindow() != WidgetOf(gone))
    return;
  for (Form form : g_stack) {
    if (QWidget* widget = WidgetOf(form); widget && widget->isVisible()) {
      widget->activateWindow();
      return;
    }
  }
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
    Window self = widget ? WindowOf(widget) : Window();
    QWidget* own = WidgetOf(self);
    if (!own)
      return false;
    if (backend::IsForm(self) && FollowDrag(own, event))
      return true;
    auto type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)
      KeepCaretAwake();
    bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                 type == QEvent::MouseButtonRelease || type == QEvent::MouseMove;
    if (mouse && HeardBefore(event))
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
    g_pressedAt = mouse->globalPosition().toPoint();
    bool handled = false;
    backend::Deliver(self, [&](EventSink& s) {
      handled = s.OnMouseDown(self, button, ModifiersOf(mouse->modifiers()), at.x(), at.y());
    });
    WindowData* data = backend::DataOf(self);
    if (data && button == kLeftButton)
      data->leftPressed = !handled && !g_drag.form;
    // The handler may have closed the form, or taken the press for a drag;
    // or a popup or a dialog took the release meanwhile, and the control
    // must not see half a click.
    bool over = !(QGuiApplication::mouseButtons() & mouse->button());
    return handled || !data || g_drag.form || over;
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

  // The key is never swallowed, except a cut the program made itself.
  static bool KeyDown(Window self, QKeyEvent* key) {
    if (backend::IsForm(self))
      return false;
    Control control(self.number());
    backend::Deliver(self,
                     [&](EventSink& s) { s.OnKeyDown(control, KeyOf(key->key()), ModifiersOf(key->modifiers())); });
    if (!backend::DataOf(self))
      return true;
    if (key->matches(QKeySequence::Cut) && backend::KindOf(self) == backend::ControlKind::TextBox) {
      bool handled = false;
      backend::Deliver(self, [&](EventSink& s) { handled = s.OnCut(TextBox(self.number())); });
      return handled || !backend::DataOf(self);
    }
    return false;
  }

  // The focus comes back where it was, or to the first control that can
  // take it; the form itself takes it only when none can.
  static void Activated(Form form) {
    if (std::find(g_stack.begin(), g_stack.end(), form) == g_stack.end() || g_stack.front() != form)
      ToTopOfBand(form);
    Control target = backend::FocusTarget(form);
    QWidget* widget = WidgetOf(target ? Window(target) : Window(form));
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

void Listen(QWidget* widget) {
  static Events events;
  widget->installEventFilter(&events);
  widget->setMouseTracking(true);
}

// Without a window manager the program moves and sizes the form itself:
// the pointer is grabbed until the left button is let go.
bool FollowDrag(QWidget* form, QEvent* event) {
  if (g_drag.form != form)
    return false;
  auto type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonPress)
    return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  if (type == QEvent::MouseButtonRelease || !(mouse->buttons() & Qt::LeftButton)) {
    form->releaseMouse();
    g_drag = {};
    return true;
  }
  QPoint delta = mouse->globalPosition().toPoint() - g_drag.start;
  QRect r = g_drag.frame;
  using E = DragEdge;
  E edge = g_drag.edge;
  if (edge == E::Move) {
    form->move(r.topLeft() + delta);
    return true;
  }
  bool left = edge == E::Left || edge == E::TopLeft || edge == E::BottomLeft;
  bool right = edge == E::Right || edge == E::TopRight || edge == E::BottomRight;
  bool top = edge == E::Top || edge == E::TopLeft || edge == E::TopRight;
  bool bottom = edge == E::Bottom || edge == E::BottomLeft || edge == E::BottomRight;
  // The edge held stops at the smallest size; the other stays.
  if (left)
    r.setLeft(std::min(r.left() + delta.x(), r.right() + 1 - g_drag.least.width()));
  if (right)
    r.setRight(std::max(r.right() + delta.x(), r.left() - 1 + g_drag.least.width()));
  if (top)
    r.setTop(std::min(r.top() + delta.y(), r.bottom() + 1 - g_drag.least.height()));
  if (bottom)
    r.setBottom(std::max(r.bottom() + delta.y(), r.top() - 1 + g_drag.least.height()));
  form->setGeometry(r);
  return true;
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
    flags = Qt::Tool | Qt::FramelessWindowHint;
  if (design.kind == FormKind::Dialog) {
    flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  }
  auto* widget = new QWidget(nullptr, flags);
  widget->setAttribute(Qt::WA_NativeWindow);
  widget->setWindowTitle(ToQString(design.caption));
  widget->setAutoFillBackground(true);
  QRect place = ToPixels(design.rect);
  if (QWidget* over = WidgetOf(design.over))
    place.moveTopLeft(over->geometry().topLeft());
  // A window manager places a form that sets no place; without one, the
  // forms fall down and across the screen as on Windows.
  static int placed = 0;
  if (design.platformPlaces && !WindowManagerRuns()) {
    int step = 26 * (1 + placed++ % 8);
    place.moveTopLeft({step, step});
  }
  if (design.platformPlaces && WindowManagerRuns())
    widget->resize(place.size());
  else
    widget->setGeometry(place);
  if (design.kind == FormKind::Dialog)
    widget->setFixedSize(place.size());
  else
    widget->setMinimumSize(ToPixels(design.minWidth), ToPixels(design.minHeight));
  auto data = std::make_shared<WindowData>();
  data->widget = widget;
  data->kind = design.kind;
  data->minWidth = design.minWidth;
  data->minHeight = design.minHeight;
  Form form = NumberOf<Form>(widget);
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
  widget->show();
  ToTopOfBand(form);
  ActivateAndWait(widget);
  KeepCaretAwake();
}

// The records are gone already: the widget is found by its window.
void DestroyFormWindow(Form form) {
  QWidget* widget = QWidget::find(static_cast<WId>(form.number()));
  if (g_drag.form == widget)
    g_drag = {};
  ActivateNextAfter(form);
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
    ToTopOfBand(form);
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

// Entries are chosen with the left button only, as the program's popups are
// on Windows; a right click elsewhere still closes the popup.
struct LeftButtonOnly : QObject {
  bool eventFilter(QObject* menu, QEvent* event) override {
    auto* mouse = static_cast<QMouseEvent*>(event);
    return event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton &&
           static_cast<QWidget*>(menu)->rect().contains(mouse->position().toPoint());
  }
};

// The popup reports its choice when it closes; the shared part waits.
void ShowMenu(MenuId, const std::vector<MenuItem>& items, Form owner) {
  static LeftButtonOnly leftButtonOnly;
  auto* menu = new QMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->installEventFilter(&leftButtonOnly);
  auto reported = std::make_shared<bool>(false);
  auto report = [reported](int chosen) {
    if (!*reported)
      MenuClosed(chosen);
    *reported = true;
  };
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
    int id = item.id;
    QObject::connect(action, &QAction::triggered, [report, id] { report(id); });
  }
  // The choice is heard after the menu hides: nothing chosen is told once
  // the events of that moment are handled.
  QObject::connect(menu, &QMenu::aboutToHide, [report] { QTimer::singleShot(0, [report] { report(0); }); });
  if (QWidget* widget = WidgetOf(owner); widget && widget->isVisible())
    widget->activateWindow();
  menu->popup(QCursor::pos());
  if (!menu->isVisible())
    report(0);
}

}  // namespace backend

void HideForm(Form form) {
  QWidget* widget = WidgetOf(form);
  if (!widget || !widget->isVisible())
    return;
  widget->hide();
  ActivateNextAfter(form);
}

bool IsVisible(Window window) {
  QWidget* widget = WidgetOf(window);
  return widget && widget->isVisible();
}

Rect GetRect(Window window) {
  QWidget* widget = WidgetOf(window);
  if (!widget)
    return {};
  return ToTwips(backend::IsForm(window) && widget->isVisible() ? widget->frameGeometry() : widget->geometry());
}

// A form's frame, where it has one, lies around its client area.
void SetRect(Window window, const Rect& rect) {
  QWidget* widget = WidgetOf(window);
  if (!widget)
    return;
  QRect r = ToPixels(rect);
  if (!backend::IsForm(window))
    return widget->setGeometry(r);
  QSize frame = widget->frameGeometry().size() - widget->geometry().size();
  widget->move(r.topLeft());
  widget->resize(r.size() - frame);
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
// compositor applies. X has no colour key: it is refused.
bool SetLayered(Form form, bool layered) {
  WindowData* data = backend::DataOf(form);
  if (!data || !data->widget || !backend::IsForm(form))
    return false;
  data->layered = layered;
  if (!layered)
    SetOpacityProperty(data->widget, std::nullopt);
  return true;
}

bool SetLayeredAlpha(Form form, int alpha) {
  WindowData* data = backend::DataOf(form);
  if (!data || !data->layered || !data->widget)
    return false;
  SetOpacityProperty(data->widget, std::clamp(alpha, 0, 255));
  return true;
}

bool SetLayeredColorKey(Form form, Color) {
  WindowData* data = backend::DataOf(form);
  return data && data->layered;
}

// The window manager's own loop where there is one; else the program's.
void DragForm(Form form, DragEdge edge) {
  WindowData* data = backend::DataOf(form);
  if (!data || !data->widget || !data->widget->isVisible())
    return;
  QWidget* widget = data->widget;
  QWindow* window = widget->windowHandle();
  using E = DragEdge;
  Qt::Edges edges;
  if (edge == E::Left || edge == E::TopLeft || edge == E::BottomLeft)
    edges |= Qt::LeftEdge;
  if (edge == E::Right || edge == E::TopRight || edge == E::BottomRight)
    edges |= Qt::RightEdge;
  if (edge == E::Top || edge == E::TopLeft || edge == E::TopRight)
    edges |= Qt::TopEdge;
  if (edge == E::Bottom || edge == E::BottomLeft || edge == E::BottomRight)
    edges |= Qt::BottomEdge;
  if (window && WindowManagerRuns() && (edge == E::Move ? window->startSystemMove() : window->startSystemResize(edges)))
    return;
  g_drag = {widget, edge, g_pressedAt, widget->geometry(),
            QSize(ToPixels(data->minWidth), ToPixels(data->minHeight)).expandedTo(QSize(1, 1))};
  widget->grabMouse();
}

}  // namespace platform
