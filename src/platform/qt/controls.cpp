// Controls on Qt: the text box and the dialog controls, their look, and the
// conversions between Qt's terms and the program's.

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimeEdit>
#include <algorithm>
#include <cmath>

#include "platform/qt/qt.h"

namespace platform::qt {
namespace {
const char kControlNumber[] = "pinaleafControl";
}  // namespace

int ToPixels(Twips twips) {
  return static_cast<int>(std::lround(twips / double(kTwipsPerPixel)));
}
Twips ToTwips(int pixels) {
  return pixels * kTwipsPerPixel;
}
QRect ToPixels(const Rect& rect) {
  return {ToPixels(rect.left), ToPixels(rect.top), ToPixels(rect.width), ToPixels(rect.height)};
}
Rect ToTwips(const QRect& rect) {
  return {ToTwips(rect.x()), ToTwips(rect.y()), ToTwips(rect.width()), ToTwips(rect.height())};
}

// Both are UTF-16: any text passes unchanged.
QString ToQString(const Text& text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}
Text ToText(const QString& text) {
  return Text(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

QColor ToQColor(Color color) {
  Color rgb = ResolveColor(color);
  return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}
Color ToColor(const QColor& color) {
  return static_cast<Color>(color.red()) | static_cast<Color>(color.green()) << 8 |
         static_cast<Color>(color.blue()) << 16;
}

QFont ToQFont(const Font& font) {
  QFont qfont(ToQString(font.name));
  qfont.setPointSizeF(font.size > 0 ? font.size : 9.0);
  qfont.setBold(font.bold);
  qfont.setItalic(font.italic);
  qfont.setUnderline(font.underline);
  qfont.setStrikeOut(font.strikethrough);
  return qfont;
}
Font ToFont(const QFont& font) {
  return {ToText(font.family()), static_cast<float>(font.pointSizeF()), font.bold(), font.italic(), font.underline(),
          font.strikeOut()};
}

QWidget* WidgetOf(Window window) {
  WindowData* data = backend::DataOf(window);
  return data ? data->widget.data() : nullptr;
}

// The window itself, or the nearest of ours above a part of it.
Window WindowOf(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    QVariant control = widget->property(kControlNumber);
    Window window(widget->isWindow() ? static_cast<std::int32_t>(widget->internalWinId()) : control.toInt());
    if (window && backend::DataOf(window))
      return window;
    if (widget->isWindow())
      return {};
  }
  return {};
}

void ApplyLook(Window window) {
  QWidget* widget = WidgetOf(window);
  const backend::Look* look = backend::LookOf(window);
  if (!widget || !look)
    return;
  auto kind = backend::KindOf(window);
  QPalette palette = widget->palette();
  if (!kind || kind == backend::ControlKind::Label) {
    palette.setColor(QPalette::Window, ToQColor(look->backColor));
    palette.setColor(QPalette::WindowText, ToQColor(look->foreColor));
  }
  if (kind == backend::ControlKind::TextBox) {
    palette.setColor(QPalette::Base, ToQColor(look->backColor));
    palette.setColor(QPalette::Text, ToQColor(look->foreColor));
    static_cast<QPlainTextEdit*>(widget)->viewport()->setCursor(Qt::IBeamCursor);
  }
  widget->setPalette(palette);
  if (kind)
    widget->setFont(ToQFont(look->font));
}

}  // namespace platform::qt

namespace platform {
using namespace qt;
using backend::ControlKind;

namespace {

std::int32_t NewControlNumber() {
  static std::int32_t last = 0;
  return --last;
}

// A control of the form, reporting to the form's sink. It is drawn in the
// form's window, which hears the mouse first: a drag from it starts where
// the press was.
template <class Kind>
Kind Add(Form form, QWidget* widget, ControlKind kind, const Rect& rect, const backend::Look& look) {
  Kind control(NewControlNumber());
  widget->setProperty(kControlNumber, control.number());
  widget->setGeometry(ToPixels(rect));
  auto data = std::make_shared<WindowData>();
  data->widget = widget;
  backend::AddControl(control, form, kind, look, std::move(data));
  ApplyLook(control);
  Listen(widget);
  for (QWidget* part : widget->findChildren<QWidget*>())
    Listen(part);
  widget->show();
  if (backend::LookOf(form)->pointer != Pointer::Default)
    backend::PointerChanged(form);  // a custom pointer over the new control too
  return control;
}

template <class Widget>
Widget* As(Window window) {
  return qobject_cast<Widget*>(WidgetOf(window));
}

// Typed line ends are "\n" here; any other kind pasted in becomes one.
QString OneLineEnd(const Text& text) {
  QString qtext = ToQString(text);
  qtext.replace(u"\r\n"_qs, u"\n"_qs);
  qtext.replace(u'\r', u'\n');
  return qtext;
}

// A paste puts the clipboard's text in place of the selection, as the
// program's own Paste does: none when the clipboard holds no text, or an
// empty one, which Qt's text box would leave the selection for. With nobody
// holding the clipboard (its owner gone, as when the program that copied
// has ended), Qt 6.4's would read the first of no formats and end the
// program.
class TextEdit : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  void insertFromMimeData(const QMimeData* source) override {
    if (source->hasText() && !source->text().isEmpty())
      QPlainTextEdit::insertFromMimeData(source);
    else
      textCursor().removeSelectedText();
  }
};

QTextCursor CursorOf(TextBox textBox) {
  auto* edit = As<QPlainTextEdit>(textBox);
  return edit ? edit->textCursor() : QTextCursor();
}

}  // namespace

TextBox CreateTextBox(Form form, const TextBoxSpec& design) {
  QWidget* parent = WidgetOf(form);
  if (!parent)
    return {};
  auto* edit = new TextEdit(parent);
  edit->setFrameShape(QFrame::NoFrame);
  edit->setPlainText(OneLineEnd(design.text));
  edit->setTabChangesFocus(false);
  edit->viewport()->setAcceptDrops(false);  // no text is dragged in, as on Windows
  return Add<TextBox>(form, edit, ControlKind::TextBox, design.rect, {design.backColor, design.foreColor, design.font});
}

Label CreateLabel(Form form, const Rect& rect, const Text& caption, const Font& font) {
  QWidget* parent = WidgetOf(form);
  if (!parent)
    return {};
  auto* label = new QLabel(ToQString(caption), parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setAutoFillBackground(true);
  return Add<Label>(form, label, ControlKind::Label, rect, backend::OnForm(form, font));
}

Button CreateButton(Form form, const Rect& rect, const Text& caption, const Font& font, std::function<void()> pressed) {
  QWidget* parent = WidgetOf(form);
  if (!parent)
    return {};
  auto* push = new QPushButton(ToQString(caption), parent);
  push->setAutoDefault(true);  // Enter presses it, as Space does
  Button button = Add<Button>(form, push, ControlKind::Button, rect, backend::OnForm(form, font));
  backend::SetPressed(button, std::move(pressed));
  QObject::connect(push, &QPushButton::clicked, [button] { backend::Pressed(button); });
  return button;
}

ComboBox CreateComboBox(Form form, const Rect& rect, const Font& font) {
  QWidget* parent = WidgetOf(form);
  if (!parent)
    return {};
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);  // Enter adds nothing to the list
  ComboBox control = Add<ComboBox>(form, combo, ControlKind::ComboBox, rect, backend::OnForm(form, font));
  QObject::connect(combo, &QComboBox::editTextChanged,
                   [control] { backend::Deliver(control, [&](EventSink& s) { s.OnChange(control); }); });
  return control;
}

void ComboAdd(ComboBox combo, const Text& item) {
  if (auto* box = As<QComboBox>(combo)) {
    QSignalBlocker quiet(box);  // adding the first item sets the edit text
    QString text = box->currentText();
    box->addItem(ToQString(item));
    box->setEditText(text);
  }
}

int ComboCount(ComboBox combo) {
  auto* box = As<QComboBox>(combo);
  return box ? box->count() : 0;
}

Text ComboItem(ComboBox combo, int index) {
  auto* box = As<QComboBox>(combo);
  return box && index >= 0 && index < box->count() ? ToText(box->itemText(index)) : Text();
}

void ComboSelect(ComboBox combo, int index) {
  auto* box = As<QComboBox>(combo);
  if (box && index >= 0 && index < box->count())
    box->setCurrentIndex(index);
}

Calendar CreateMonthCalendar(Form form, const Rect& rect) {
  QWidget* parent = WidgetOf(form);
  if (!parent)
    return {};
  auto* calendar = new QCalendarWidget(parent);
  calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  Calendar control = Add<Calendar>(form, calendar, ControlKind::Calendar, rect, backend::OnForm(form, Font{}));
  QObject::connect(calendar, &QCalendarWidget::selectionChanged,
                   [control] { backend::Deliver(control, [&](EventSink& s) { s.OnChange(control); }); });
  return control;
}

Date GetCalendarDate(Calendar calendar) {
  auto* widget = As<QCalendarWidget>(calendar);
  QDate date = widget ? widget->selectedDate() : QDate();
  return {date.year(), date.month(), date.day()};
}

void SetCalendarDate(Calendar calendar, const Date& date) {
  if (auto* widget = As<QCalendarWidget>(calendar)) {
    QSignalBlocker quiet(widget);
    widget->setSelectedDate(QDate(date.year, date.month, date.day));
  }
}

TimePicker CreateTimePicker(Form form, const Rect& rect, const Font& font) {
  QWidget* parent = WidgetOf(form);
  if (!parent)
    return {};
  auto* edit = new QTimeEdit(parent);
  edit->setDisplayFormat(TimeFormat());
  TimePicker control = Add<TimePicker>(form, edit, ControlKind::TimePicker, rect, backend::OnForm(form, font));
  QObject::connect(edit, &QTimeEdit::timeChanged,
                   [control] { backend::Deliver(control, [&](EventSink& s) { s.OnChange(control); }); });
  return control;
}

TimeOfDay GetPickerTime(TimePicker picker) {
  auto* edit = As<QTimeEdit>(picker);
  QTime time = edit ? edit->time() : QTime();
  return {time.hour(), time.minute(), time.second()};
}

void SetPickerTime(TimePicker picker, const TimeOfDay& time) {
  if (auto* edit = As<QTimeEdit>(picker)) {
    QSignalBlocker quiet(edit);
    edit->setTime(QTime(time.hour, time.minute, time.second));
  }
}

void SetControlVisible(Control control, bool visible) {
  if (QWidget* widget = WidgetOf(control))
    widget->setVisible(visible);
}

void SetEnabled(Control control, bool enabled) {
  QWidget* widget = WidgetOf(control);
  if (!widget)
    return;
  // Qt would pass the focus on to the next control: here nobody keeps it.
  if (!enabled && widget->hasFocus())
    widget->clearFocus();
  widget->setEnabled(enabled);
}

bool IsEnabled(Control control) {
  QWidget* widget = WidgetOf(control);
  return widget && widget->isEnabled();
}

Window GetFocus() {
  return WindowOf(QApplication::focusWidget());
}

void SetCaption(Window window, const Text& caption) {
  QWidget* widget = WidgetOf(window);
  if (auto* label = qobject_cast<QLabel*>(widget))
    label->setText(ToQString(caption));
  else if (auto* button = qobject_cast<QPushButton*>(widget))
    button->setText(ToQString(caption));
  else if (widget && backend::IsForm(window))
    widget->setWindowTitle(ToQString(caption));
}

Text GetCaption(Window window) {
  QWidget* widget = WidgetOf(window);
  if (auto* label = qobject_cast<QLabel*>(widget))
    return ToText(label->text());
  if (auto* button = qobject_cast<QPushButton*>(widget))
    return ToText(button->text());
  return widget && backend::IsForm(window) ? ToText(widget->windowTitle()) : Text();
}

// The text as typed: paragraph and line separators are the line ends.
Text GetText(Control control) {
  if (auto* box = As<QComboBox>(control))
    return ToText(box->currentText());
  auto* edit = As<QPlainTextEdit>(control);
  if (!edit)
    return {};
  QString text = edit->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, u'\n');
  text.replace(QChar::LineSeparator, u'\n');
  return ToText(text);
}

void SetText(TextBox textBox, const Text& text) {
  if (auto* edit = As<QPlainTextEdit>(textBox)) {
    edit->setPlainText(OneLineEnd(text));
    edit->moveCursor(QTextCursor::Start);
  }
}

int GetSelStart(TextBox textBox) {
  QTextCursor cursor = CursorOf(textBox);
  return cursor.isNull() ? 0 : cursor.selectionStart();
}

// As the Windows text box: -1 as the start takes the selection away and
// leaves the caret; other offsets count as unsigned, so a negative one is
// past the end, and every offset is held inside the text.
void SetSelection(TextBox textBox, int start, int length) {
  auto* edit = As<QPlainTextEdit>(textBox);
  if (!edit)
    return;
  QTextCursor cursor = edit->textCursor();
  if (start == -1) {
    cursor.clearSelection();
  } else {
    auto end = static_cast<unsigned>(GetText(textBox).size());
    auto held = [&](int at) { return static_cast<int>(std::min(static_cast<unsigned>(at), end)); };
    cursor.setPosition(held(start));
    cursor.setPosition(held(start + length), QTextCursor::KeepAnchor);
  }
  edit->setTextCursor(cursor);
}

Text GetSelectedText(TextBox textBox) {
  QTextCursor cursor = CursorOf(textBox);
  if (cursor.isNull())
    return {};
  auto from = static_cast<size_t>(cursor.selectionStart());
  auto to = static_cast<size_t>(cursor.selectionEnd());
  return GetText(textBox).substr(from, to - from);
}

void ReplaceSelection(TextBox textBox, const Text& text) {
  auto* edit = As<QPlainTextEdit>(textBox);
  if (!edit)
    return;
  QTextCursor cursor = edit->textCursor();
  cursor.insertText(OneLineEnd(text));
  edit->setTextCursor(cursor);
}

// The text box's own menu asks its parent, which has none.
void BlockContextMenu(TextBox textBox) {
  if (QWidget* widget = WidgetOf(textBox))
    widget->setContextMenuPolicy(Qt::NoContextMenu);
}

void UnblockContextMenu(TextBox textBox) {
  if (QWidget* widget = WidgetOf(textBox))
    widget->setContextMenuPolicy(Qt::DefaultContextMenu);
}

}  // namespace platform
