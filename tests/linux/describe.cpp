// What pinaleaf shows, described from inside it for the walk in the form of
// tests/walk/walk.h's Describe, but for the windows, which the walk reads
// from the X server: a plugin Qt loads at start-up when
// QT_QPA_GENERIC_PLUGINS names it, before the program shows a window. The
// walk asks by removing the last description, $PINALEAF_DESCRIBE: the next
// is written there once the program comes to it.
#include <QApplication>
#include <QCalendarWidget>
#include <QFileSystemWatcher>
#include <QGenericPlugin>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSaveFile>

namespace {

// A widget's place on the screen and size; text after its length in bytes;
// a colour as 0x00BBGGRR.
QString Box(QWidget* w) {
  QPoint at = w->mapToGlobal(QPoint());
  return QString::asprintf("%d %d %d %d ", at.x(), at.y(), w->width(), w->height());
}
QString Bytes(const QString& text) {
  return QString::number(text.toUtf8().size()) + u'\n' + text;
}
unsigned Colour(QWidget* w, QPalette::ColorRole role) {
  QColor c = w->palette().color(role);
  return qRgb(c.blue(), c.green(), c.red()) & 0xFFFFFF;  // Qt's 0xAARRGGBB the other way round
}

void Describe() {
  QWidget* under = QApplication::widgetAt(QCursor::pos());
  auto shape = under ? under->cursor().shape() : Qt::ArrowCursor;
  QWidget* active = QApplication::activeWindow();
  QString out = QString::asprintf("pointer %s\nkeyboard %llu %d\n",
                                  shape == Qt::IBeamCursor       ? "ibeam"
                                  : shape == Qt::SizeFDiagCursor ? "nwse"
                                  : shape == Qt::BitmapCursor    ? "custom"
                                                                 : "other",
                                  active ? active->winId() : 0,
                                  qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()) != nullptr);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible())
      continue;
    auto* text = w->findChild<QPlainTextEdit*>();
    QString entries;
    for (QAction* entry : qobject_cast<QMenu*>(w) ? w->actions() : QList<QAction*>())
      entries += (entry->isSeparator() ? "-" : (entry->isChecked() ? "*" : "") + entry->text()) + u'\n';
    if (!entries.isEmpty())
      out += "popup " + Box(w) + Bytes(entries) + '\n';
    if (text && w->windowTitle() == u"Form1"_qs) {
      QFont f = text->font();
      QString look =
          QString::asprintf("%d %d %d %d %d %u %u ", QFontInfo(f).pixelSize(), f.bold(), f.italic(), f.underline(),
                            f.strikeOut(), Colour(text, QPalette::Text), Colour(text, QPalette::Base));
      out += QString::asprintf("note %llu ", w->winId()) + Box(text) +
             Bytes(look + f.family() + u'\n' + text->toPlainText()) + '\n';
    }
    if (auto* calendar = w->findChild<QCalendarWidget*>(); calendar && calendar->isVisible())
      out += "calendar " + Box(calendar) + calendar->selectedDate().toString(u"d M yyyy\n"_qs);
  }
  QSaveFile file(qEnvironmentVariable("PINALEAF_DESCRIBE"));  // whole once there, or not at all
  file.open(QIODevice::WriteOnly);
  file.write(out.toUtf8());
  file.commit();
}

}  // namespace

class Describer : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "describe.json")

 public:
  QObject* create(const QString&, const QString&) override {
    auto* asked = new QFileSystemWatcher({qEnvironmentVariable("PINALEAF_DESCRIBE")});
    QObject::connect(asked, &QFileSystemWatcher::fileChanged, [asked](const QString& path) {
      if (asked->files().isEmpty()) {  // gone, not only changed
        Describe();
        asked->addPath(path);
      }
    });
    return asked;
  }
};

#include "describe.moc"
