// The floor for start-up on the Linux desktop: a Qt program that shows one
// empty frameless window where and as large as a note opens, and waits.
// Titled "Bare", so the launcher can tell it from anything else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // A note's kind of window: a tool window with no frame, at 96 dpi.
  QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
  window.setWindowTitle(QStringLiteral("Bare"));
  window.setGeometry(135, 137, 133, 157);
  window.show();
  return QApplication::exec();
}
