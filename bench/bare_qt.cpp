// The floor for start-up on the Linux desktop: a Qt program that shows one
// frameless window where and as large as a note opens, and waits. Titled
// "Bare", so the launcher can tell it from anything else.
//
//   bench_bare_qt        the window alone
//   bench_bare_qt text   with a plain text box (QPlainTextEdit) where a
//                        note's text area is, holding the keyboard as a new
//                        note's does
#include <QApplication>
#include <QPlainTextEdit>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // A note's kind of window: a tool window with no frame, at 96 dpi.
  QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
  window.setWindowTitle(QStringLiteral("Bare"));
  window.setGeometry(135, 137, 133, 157);
  bool text = argc > 1 && strcmp(argv[1], "text") == 0;
  if (text) {
    auto* edit = new QPlainTextEdit(&window);
    edit->setGeometry(0, 24, 133, 133);
    edit->setFocus();
  }
  window.show();
  if (text)
    window.activateWindow();
  return QApplication::exec();
}
