// Services on Qt and the Linux desktop: the clock and its locale, the
// message pump, the clipboard, dialogs, files, the shell, sound, and the
// X11 properties the program sets itself.

#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPixmap>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <chrono>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "platform/qt/qt.h"

namespace platform::qt {
namespace {

// Cursor files as read, each made a cursor when first shown: reading images
// wakes Qt's image plugins, which start-up can do without.
struct CursorFile {
  QString path;
  QByteArray bytes;
  QPoint hotSpot;
  std::optional<QCursor> cursor;
};
std::vector<CursorFile> g_cursors;  // CursorId n is g_cursors[n - 1]

xcb_connection_t* Connection() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

// Each name is asked of the server once: a new note is on the screen sooner.
xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  static std::map<std::string, xcb_atom_t> known;
  if (auto it = known.find(name); it != known.end())
    return it->second;
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
  xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  free(reply);
  if (atom != XCB_ATOM_NONE)
    known[name] = atom;
  return atom;
}

xcb_window_t RootOf(xcb_connection_t* connection) {
  return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// The 32-bit values of a window's property; none when it has none.
std::vector<uint32_t> Property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name) {
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, name, XCB_ATOM_ANY, 0, 1024), nullptr);
  std::vector<uint32_t> values;
  if (reply && reply->format == 32) {
    auto* data = static_cast<uint32_t*>(xcb_get_property_value(reply));
    values.assign(data, data + xcb_get_property_value_length(reply) / 4);
  }
  free(reply);
  return values;
}

// A request to the window manager, as the root window hears it.
template <class Event>
void SendToRoot(xcb_connection_t* connection, const Event& event) {
  xcb_send_event(connection, 0, RootOf(connection),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
}

// A message about one of our windows, for the window manager.
xcb_client_message_event_t MessageAbout(xcb_window_t window, xcb_atom_t type) {
  xcb_client_message_event_t message = {};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = type;
  return message;
}

QWidget* Owner(Form owner) {
  return WidgetOf(owner);
}

// Runs a modal dialog; its owner is active again afterwards, as on Windows,
// whatever window the window manager gave the keyboard to as the dialog
// went (xfwm4 gives it to the top window of the dialog's band, another
// program's). It is asked once it has let the dialog go, and so chosen.
// A popup of the dialog's own outlives it when the Enter that closed its
// file name completer also chose the file: closed with it.
template <class Dialog>
int RunModal(Form owner, Dialog& dialog) {
  int result = dialog.exec();
  while (QWidget* popup = QApplication::activePopupWidget())
    popup->close();
  xcb_connection_t* connection = Connection();
  auto window = static_cast<xcb_window_t>(dialog.winId());
  auto managed = [&] {
    std::vector<uint32_t> state = Property(connection, window, Atom(connection, "WM_STATE"));
    return !state.empty() && state[0] != 0;  // not withdrawn
  };
  double deadline = MonotonicSeconds() + 0.5;
  while (connection && managed() && MonotonicSeconds() < deadline)
    WaitForMessagesUntil(std::min(deadline, MonotonicSeconds() + 0.01));
  if (QWidget* widget = WidgetOf(owner); widget && widget->isVisible())
    ActivateAndWait(widget);
  return result;
}

}  // namespace

// Qt's own flag for keeping above makes the window anew: states are asked
// for here, as Qt would. The window manager is asked once the window is
// shown; before that, the property is the window's own.
void SetWindowState(QWidget* form, std::initializer_list<const char*> names, bool on) {
  xcb_connection_t* connection = Connection();
  if (!connection)
    return;
  auto window = static_cast<xcb_window_t>(form->winId());
  xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
  bool asked = form->isVisible();
  std::vector<uint32_t> atoms = asked ? std::vector<uint32_t>() : Property(connection, window, state);
  for (const char* name : names) {
    xcb_atom_t which = Atom(connection, name);
    std::erase(atoms, which);
    if (on)
      atoms.push_back(which);
    if (!asked)
      continue;
    xcb_client_message_event_t message = MessageAbout(window, state);
    message.data.data32[0] = on ? 1 : 0;  // add, remove
    message.data.data32[1] = which;
    message.data.data32[3] = 1;  // from an application
    SendToRoot(connection, message);
  }
  if (!asked) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
  }
  xcb_flush(connection);
}

// As a request of the user's, at the server's present time. Qt's own
// carries the time of the last event it saw, and the X server keeps a
// choice that the window manager made later (xfwm4's, as a dialog goes).
void RequestActivation(QWidget* form) {
  xcb_connection_t* connection = Connection();
  if (!connection || Property(connection, RootOf(connection), Atom(connection, "_NET_SUPPORTING_WM_CHECK")).empty())
    return form->activateWindow();
  xcb_client_message_event_t message =
      MessageAbout(static_cast<xcb_window_t>(form->winId()), Atom(connection, "_NET_ACTIVE_WINDOW"));
  message.data.data32[0] = 2;  // from the user
  message.data.data32[1] = XCB_CURRENT_TIME;
  if (QWidget* active = QApplication::activeWindow())
    message.data.data32[2] = static_cast<uint32_t>(active->winId());
  SendToRoot(connection, message);
}

// A plain raise is taken by some window managers (xfwm4) for a wish to be
// active. A restack above a window they list is only a restack: sent to the
// root, as the ICCCM asks of a window that its window manager has framed.
void RaiseWithoutActivating(QWidget* form) {
  xcb_connection_t* connection = Connection();
  auto window = static_cast<xcb_window_t>(form->winId());
  std::vector<uint32_t> stack =
      connection ? Property(connection, RootOf(connection), Atom(connection, "_NET_CLIENT_LIST_STACKING"))
                 : std::vector<uint32_t>();
  std::erase(stack, window);
  if (stack.empty() || !form->isVisible())
    return form->raise();
  xcb_configure_request_event_t request = {};
  request.response_type = XCB_CONFIGURE_REQUEST;
  request.stack_mode = XCB_STACK_MODE_ABOVE;
  request.parent = RootOf(connection);
  request.window = window;
  request.sibling = stack.back();  // the top one
  request.value_mask = XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE;
  SendToRoot(connection, request);
}

// From the pointer's place as the X server has it. Qt's own starts from the
// last place the window saw the pointer move, which is where a popup was
// opened when the press that follows one comes with no move before it: the
// size jumped by as much.
void StartMoveResize(QWidget* form, int direction) {
  xcb_connection_t* connection = Connection();
  xcb_query_pointer_reply_t* pointer =
      connection ? xcb_query_pointer_reply(connection, xcb_query_pointer(connection, RootOf(connection)), nullptr)
                 : nullptr;
  if (!pointer)
    return;
  xcb_client_message_event_t message =
      MessageAbout(static_cast<xcb_window_t>(form->winId()), Atom(connection, "_NET_WM_MOVERESIZE"));
  message.data.data32[0] = static_cast<uint32_t>(pointer->root_x);
  message.data.data32[1] = static_cast<uint32_t>(pointer->root_y);
  message.data.data32[2] = static_cast<uint32_t>(direction);
  message.data.data32[3] = XCB_BUTTON_INDEX_1;
  free(pointer);
  xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);  // the window manager takes the pointer
  SendToRoot(connection, message);
}

// The user's short time form, with the seconds that the Windows one shows.
QString TimeFormat() {
  QString format = QLocale().timeFormat(QLocale::ShortFormat);
  if (!format.contains(u's'))
    format.replace(u"mm"_qs, u"mm:ss"_qs);
  return format;
}

QCursor CursorFromFile(CursorId id) {
  if (id < 1 || static_cast<size_t>(id) > g_cursors.size())
    return QCursor(Qt::PointingHandCursor);
  CursorFile& file = g_cursors[static_cast<size_t>(id) - 1];
  if (!file.cursor) {
    QImage image = QImage::fromData(file.bytes, "CUR");
    file.cursor = image.isNull() ? QCursor(Qt::PointingHandCursor)
                                 : QCursor(QPixmap::fromImage(image), file.hotSpot.x(), file.hotSpot.y());
  }
  return *file.cursor;
}

}  // namespace platform::qt

namespace platform {
using namespace qt;

// Scheme colours are the desktop's palette.
Color ResolveColor(Color color) {
  if (!(color & kSystemColorFlag))
    return color & 0x00FFFFFF;
  QPalette palette = qApp ? QApplication::palette() : QPalette();
  switch (static_cast<SystemColor>(color & ~kSystemColorFlag)) {
    case SystemColor::Window:
      return ToColor(palette.color(QPalette::Base));
    case SystemColor::ButtonFace:
      return ToColor(palette.color(QPalette::Window));
    default:
      return ToColor(palette.color(QPalette::Text));
  }
}

// --- Message boxes and standard dialogs: modal, their events handled.

Answer AskYesNo(Form owner, const Text& prompt, const Text& title) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(prompt), QMessageBox::Yes | QMessageBox::No,
                  Owner(owner));
  box.setDefaultButton(QMessageBox::Yes);
  return RunModal(owner, box) == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void ShowError(Form owner, const Text& message, const Text& title) {
  QMessageBox box(QMessageBox::Warning, ToQString(title), ToQString(message), QMessageBox::Ok, Owner(owner));
  RunModal(owner, box);
}

namespace {

// The sixteen colours that the font dialog of Windows offers with its effects.
const Color kFontColors[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
                             0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
const char16_t* const kFontColorNames[] = {u"Black", u"Maroon",  u"Green",  u"Olive", u"Navy", u"Purple",
                                           u"Teal",  u"Gray",    u"Silver", u"Red",   u"Lime", u"Yellow",
                                           u"Blue",  u"Fuchsia", u"Aqua",   u"White"};

// Qt's font dialog has no colour: Windows' choice of colours is added to its
// effects. The colour shown first comes back exactly as it went in, a colour
// of the user's scheme too, unless another is chosen.
QComboBox* AddColorChoice(QFontDialog& dialog, Color color) {
  QGroupBox* effects = nullptr;
  for (auto* box : dialog.findChildren<QGroupBox*>()) {
    if (!box->findChildren<QCheckBox*>().isEmpty())
      effects = box;
  }
  if (!effects || !effects->layout())
    return nullptr;
  auto* colors = new QComboBox(effects);
  int chosen = -1;
  for (size_t i = 0; i < std::size(kFontColors); ++i) {
    QPixmap swatch(16, 12);
    swatch.fill(ToQColor(kFontColors[i]));
    colors->addItem(QIcon(swatch), ToQString(kFontColorNames[i]), kFontColors[i]);
    if (kFontColors[i] == ResolveColor(color) && chosen < 0)
      chosen = static_cast<int>(i);
  }
  if (chosen < 0) {
    QPixmap swatch(16, 12);
    swatch.fill(ToQColor(color));
    colors->addItem(QIcon(swatch), u"Custom"_qs);
    chosen = colors->count() - 1;
  }
  colors->setCurrentIndex(chosen);
  colors->setItemData(chosen, color);
  auto* label = new QLabel(u"&Color:"_qs, effects);
  label->setBuddy(colors);
  effects->layout()->addWidget(label);
  effects->layout()->addWidget(colors);
  return colors;
}

}  // namespace

bool ChooseFontDialog(Form owner, FontChoice& state) {
  QFontDialog dialog(ToQFont(state.font), Owner(owner));
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  QComboBox* colors = state.options.has(DialogOption::FontEffects) ? AddColorChoice(dialog, state.color) : nullptr;
  if (RunModal(owner, dialog) != QDialog::Accepted)
    return false;
  state.font = ToFont(dialog.selectedFont());
  if (colors)
    state.color = colors->currentData().toUInt();
  return true;
}

bool ChooseColorDialog(Form owner, Color& color) {
  QColorDialog dialog(ToQColor(color), Owner(owner));
  if (RunModal(owner, dialog) != QDialog::Accepted)
    return false;
  color = ToColor(dialog.selectedColor());
  return true;
}

namespace {

// The dialog shows a file's kind and icon by its name alone: Qt's own would
// read the file to tell, and a file such as /proc/kmsg never ends.
struct ByNameOnly : QFileIconProvider {
  QIcon icon(const QFileInfo& info) const override {
    return QFileIconProvider::icon(info.isDir() ? Folder : File);
  }
  QString type(const QFileInfo& info) const override {
    return info.isDir() ? u"Folder"_qs : QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
  }
};

}  // namespace

// Never asks before replacing: the caller has asked already, or need not.
bool SaveFileDialog(Form owner, SaveChoice& state) {
  static ByNameOnly byName;
  QFileDialog dialog(Owner(owner));
  dialog.setIconProvider(&byName);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QString pattern = ToQString(state.filterPattern).replace(u';', u' ');
  QString name = ToQString(state.filterName);
  if (!pattern.isEmpty())
    dialog.setNameFilter((name.isEmpty() ? pattern : name) + u" ("_qs + pattern + u')');
  QString ext = ToQString(state.defaultExt);
  dialog.setDefaultSuffix(ext.startsWith(u'.') ? ext.mid(1) : ext);
  if (!state.fileName.empty())
    dialog.selectFile(ToQString(state.fileName));
  if (RunModal(owner, dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return false;
  state.fileName = ToText(dialog.selectedFiles().front());
  return true;
}

// --- Clipboard: nobody holds the X clipboard open, so neither call waits.

bool ClipboardPut(Form, const Text& text) {
  QApplication::clipboard()->setText(ToQString(text));
  return true;
}

std::optional<Text> ClipboardGet(Form) {
  return ToText(QApplication::clipboard()->text());
}

// --- Clock

DateTime Now() {
  QDateTime now = QDateTime::currentDateTime();
  QDate date = now.date();
  QTime time = now.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec()};
}

DateTime AddSeconds(const DateTime& when, int seconds) {
  QDateTime later =
      QDateTime(QDate(when.year, when.month, when.day), QTime(when.hour, when.minute, when.second, when.millisecond))
          .addSecs(seconds);
  QDate date = later.date();
  QTime time = later.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec()};
}

Text FormatShortDate(const DateTime& when) {
  return ToText(QLocale().toString(QDate(when.year, when.month, when.day), QLocale::ShortFormat));
}

Text FormatTime(const DateTime& when) {
  return ToText(QLocale().toString(QTime(when.hour, when.minute, when.second), TimeFormat()));
}

double MonotonicSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// --- Message pump and running order

// An infinite deadline waits for the next event, however long.
void WaitForMessagesUntil(double deadline) {
  double left = deadline - MonotonicSeconds();
  if (left <= 0) {
    QCoreApplication::processEvents();
    return;
  }
  QTimer wake;  // ends the wait when nothing else does
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  if (left * 1000 < std::numeric_limits<int>::max())
    wake.start(static_cast<int>(std::ceil(left * 1000)));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void EndProcess() {
  _exit(0);
}

// X11 even inside a Wayland session, where windows cannot place themselves;
// Wayland alone where there is no X server at all.
//
// Windows are drawn over the X connection itself, not through shared memory:
// for each new window image the server hands Qt a file descriptor on the
// connection, and libxcb ends the connection when one comes in ahead of its
// reply at the end of a read (the program then ends: "XIO: fatal IO error",
// "Error during FD passing"). A note's image is small.
int Run(void (*start)()) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "xcb");
  qputenv("QT_XCB_NO_MITSHM", "1");
  static int argc = 1;
  static char name[] = "pinaleaf";
  static char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  start();
  // After the first note: reading an image wakes Qt's image plugins.
  QTimer::singleShot(0, [] { QApplication::setWindowIcon(QIcon(ToQString(ProgramFile(u"pinaleaf.ico")))); });
  return QApplication::exec();
}

// --- Files, the shell and sound

// Beside the program, as in a build or an unpacked folder; once installed,
// in its data folder (share/pinaleaf), found from the program's own folder.
Text ProgramFile(const Text& name) {
  QString folder = QCoreApplication::applicationDirPath() + u'/';
  QString beside = folder + ToQString(name);
  QString installed = QDir::cleanPath(folder + QStringLiteral(PINALEAF_DATA_FROM_BIN "/") + ToQString(name));
  if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
    return ToText(installed);
  return ToText(beside);
}

bool FileExists(const Text& path) {
  return QFileInfo::exists(ToQString(path));
}

// A Windows cursor file: Qt reads its image; the hot spot is in its
// directory entry, where an icon keeps its planes and bit count. Every note
// loads it: the same file is read once.
CursorId LoadCursorFile(const Text& path) {
  QString name = ToQString(path);
  for (size_t i = 0; i < g_cursors.size(); ++i) {
    if (g_cursors[i].path == name)
      return static_cast<CursorId>(i + 1);
  }
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly))
    return 0;
  QByteArray bytes = file.read(1 << 20);
  auto word = [&](int at) { return static_cast<uchar>(bytes[at]) | static_cast<uchar>(bytes[at + 1]) << 8; };
  if (bytes.size() < 22 || word(0) != 0 || word(2) != 2 || word(4) < 1)
    return 0;
  g_cursors.push_back({name, bytes, QPoint(word(10), word(12)), std::nullopt});
  return static_cast<CursorId>(g_cursors.size());
}

// Linux text is UTF-8; only a lone surrogate has no form there.
std::optional<std::string> EncodeAnsi(const Text& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    bool high = text[i] >= 0xD800 && text[i] < 0xDC00, low = text[i] >= 0xDC00 && text[i] < 0xE000;
    if (low || (high && (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000)))
      return std::nullopt;
    i += high ? 1 : 0;
  }
  return ToQString(text).toUtf8().toStdString();
}

// Written beside the target and renamed over it; the old file's permissions stay.
std::optional<Text> WriteFileReplacing(const Text& path, const std::string& bytes) {
  QString name = ToQString(path);
  QFileDevice::Permissions permissions = QFile::permissions(name);
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0 ||
      !file.commit()) {
    return ToText(file.errorString());
  }
  if (permissions)
    QFile::setPermissions(name, permissions);
  return std::nullopt;
}

// The desktop's own opener, xdg-open: it answers 3 when no program is set
// up for the target. A handler that stays in front keeps it running: the
// target is taken to be open after a moment.
ShellResult ShellOpen(Form, const Text& target) {
  if (target.size() > LongestShellTarget())
    return {ShellResult::Failed, u"The address is too long."};
  QString opener = QStandardPaths::findExecutable(u"xdg-open"_qs);
  if (opener.isEmpty())
    return {ShellResult::NoProgram, {}};
  auto* process = new QProcess(qApp);
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setWorkingDirectory(QCoreApplication::applicationDirPath());
  process->start(opener, {ToQString(target)});
  double deadline = MonotonicSeconds() + 2;
  while (process->state() != QProcess::NotRunning && MonotonicSeconds() < deadline)
    WaitForMessagesUntil(std::min(deadline, MonotonicSeconds() + 0.05));
  if (process->state() != QProcess::NotRunning) {
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return {ShellResult::Opened, {}};
  }
  process->deleteLater();
  if (process->error() == QProcess::FailedToStart)
    return {ShellResult::Failed, ToText(process->errorString())};
  int code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
  if (code == 0)
    return {ShellResult::Opened, {}};
  if (code == 3)
    return {ShellResult::NoProgram, {}};
  return {ShellResult::Failed, ToText(QString::fromLocal8Bit(process->readAllStandardError()).trimmed())};
}

// An argument of a program's command line may be 128 KiB; mail programs
// take far less, and this much is a long letter.
size_t LongestShellTarget() {
  return 32000;
}

// The first player the desktop has, started on its own: it never blocks.
void PlaySoundAsync(const Text& path) {
  if (!FileExists(path))
    return;
  for (const char16_t* player : {u"pw-play", u"paplay", u"aplay"}) {
    QString program = QStandardPaths::findExecutable(ToQString(player));
    if (!program.isEmpty()) {
      QProcess::startDetached(program, {ToQString(path)});
      return;
    }
  }
}

}  // namespace platform
