// What pinaleaf shows, described from inside it for the walk in the form of
// tests/walk/walk.h's Describe, but for the windows, which the walk reads
// from the X server: a plugin Qt loads at start-up when
// QT_QPA_GENERIC_PLUGINS names it. Each SIGUSR1 has the description written
// to $PINALEAF_DESCRIBE once the program comes to it.
#include <unistd.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QGenericPlugin>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <csignal>

namespace {

int g_asked[2];

QString Bytes(const QString& text) {
  return QString::number(text.toUtf8().size()) + u'\n' + text;
}
QString Box(QWidget* w) {
  QPoint at = w->mapToGlobal(QPoint());
  return QString::asprintf("%d %d %d %d ", at.x(), at.y(), w->width(), w->height());
}
unsigned Colour(QWidget* w, QPalette::ColorRole role) {
  QColor c = w->palette().color(role);
  return static_cast<unsigned>(c.red() | c.green() << 8 | c.blue() << 16);
}

void Describe() {
  QWidget* under = QApplication::widgetAt(QCursor::pos());
  Qt::CursorShape shape = under ? under->cursor().shape() : Qt::ArrowCursor;
  auto* text = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
  QWidget* active = QApplication::activeWindow();
  QString out = QString::asprintf("pointer %s\nkeyboard %llu %d\n",
                                  shape == Qt::IBeamCursor       ? "ibeam"
                                  : shape == Qt::SizeFDiagCursor ? "nwse"
                                  : shape == Qt::BitmapCursor    ? "custom"
                                                                 : "other",
                                  active ? active->winId() : 0, text != nullptr);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    QString entries;
    for (QAction* entry : qobject_cast<QMenu*>(w) && w->isVisible() ? w->actions() : QList<QAction*>())
      entries += (entry->isSeparator() ? u"-"_qs : (entry->isChecked() ? u"*"_qs : u""_qs) + entry->text()) + u'\n';
    if (!entries.isEmpty())
      out += "popup " + Box(w) + Bytes(entries) + '\n';
    text = w->findChild<QPlainTextEdit*>();
    QFont f = text ? text->font() : QFont();
    if (text && w->isVisible() && w->windowTitle() == u"Form1"_qs) {
      QString look =
          QString::asprintf("%d %d %d %d %d %u %u ", QFontInfo(f).pixelSize(), f.bold(), f.italic(), f.underline(),
                            f.strikeOut(), Colour(text, QPalette::Text), Colour(text, QPalette::Base));
      out += QString::asprintf("note %llu ", w->winId()) + Box(text) +
             Bytes(look + f.family() + u'\n' + text->toPlainText()) + '\n';
    }
    auto* calendar = w->findChild<QCalendarWidget*>();
    QDate day = calendar ? calendar->selectedDate() : QDate();
    if (calendar && calendar->isVisible())
      out += "calendar " + Box(calendar) + QString::asprintf("%d %d %d\n", day.day(), day.month(), day.year());
  }
  QString path = qEnvironmentVariable("PINALEAF_DESCRIBE");
  QFile file(path + u".new"_qs);
  if (file.open(QIODevice::WriteOnly) && file.write(out.toUtf8()) >= 0 && file.flush())
    std::rename(qPrintable(file.fileName()), qPrintable(path));
}

}  // namespace

class Describer : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "describe.json")

 public:
  QObject* create(const QString&, const QString&) override {
    if (pipe(g_asked) != 0)
      return nullptr;
    std::signal(SIGUSR1, [](int) { (void)!write(g_asked[1], "!", 1); });
    QFile(qEnvironmentVariable("PINALEAF_DESCRIBE")).open(QIODevice::WriteOnly);  // ready to be asked
    auto* asked = new QSocketNotifier(g_asked[0], QSocketNotifier::Read);
    QObject::connect(asked, &QSocketNotifier::activated, [] {
      char c;
      if (read(g_asked[0], &c, 1) == 1)
        Describe();
    });
    return asked;
  }
};

#include "describe.moc"
