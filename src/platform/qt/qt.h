// Inside the Qt backend: what its files share. Never included above the
// platform. Qt's types and numbers stay in this folder.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "platform/backend.h"

namespace platform::backend {

// What the backend keeps of a window beside the shared part's record.
struct WindowData {
  QPointer<QWidget> widget;
  bool leftPressed = false;  // a left press on it, for its click
  // Forms.
  FormKind kind = FormKind::Note;
  Twips minWidth = 0, minHeight = 0;
  QPointer<QTimer> timer;  // a child of the widget: it goes with it
  bool layered = false;
  bool topmost = false;
};

}  // namespace platform::backend

namespace platform::qt {

using backend::WindowData;

// Qt's pixels are device-independent, 96 to the inch whatever the screen's
// scale: fifteen twips each.
constexpr int kTwipsPerPixel = kTwipsPerInch / 96;
int ToPixels(Twips twips);
Twips ToTwips(int pixels);
QRect ToPixels(const Rect& rect);
Rect ToTwips(const QRect& rect);

QString ToQString(const Text& text);
Text ToText(const QString& text);
QColor ToQColor(Color color);
Color ToColor(const QColor& color);
QFont ToQFont(const Font& font);
Font ToFont(const QFont& font);

// The widget of a window of ours; null for anything else.
QWidget* WidgetOf(Window window);
// Our window a widget is, or is part of (a text box's viewport, a combo
// box's edit field); none for anything else. A form's number is its X11
// window's, which the active-note record stores; a control is no window
// of the system's, and its number is one of ours, below zero.
Window WindowOf(const QWidget* widget);

// The one filter that turns a widget's events into the sink's, installed on
// every form and control and on the parts of them that take the mouse.
void Listen(QWidget* widget);
// Asks for a form's window to be made active, and waits a moment for it;
// or only asks.
void ActivateAndWait(QWidget* widget);
void RequestActivation(QWidget* form);
// Paints and colours a window as its look says.
void ApplyLook(Window window);
// The user's time of day form, seconds included.
QString TimeFormat();
// A cursor that LoadCursorFile loaded; the system's hand for none.
QCursor CursorFromFile(CursorId id);
// Brings a shown form to the top of its band, leaving the keyboard where it is.
void RaiseWithoutActivating(QWidget* form);
// The window manager's move loop, or its size loop in a direction of
// _NET_WM_MOVERESIZE's, from where the pointer is.
void StartMoveResize(QWidget* form, int direction);
// States of _NET_WM_STATE on or off: _NET_WM_STATE_ABOVE, say.
void SetWindowState(QWidget* form, std::initializer_list<const char*> names, bool on);

}  // namespace platform::qt
