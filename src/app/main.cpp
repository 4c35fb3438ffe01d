#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include "app/Form1.h"
#include "platform/Dialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Snapwick");
  QApplication::setApplicationName("Snapwick");
  QGuiApplication::setDesktopFileName("snapwick");
  QApplication::setApplicationVersion(QString("%1.%2.%3")
                                          .arg(SNAPWICK_VERSION_MAJOR)
                                          .arg(SNAPWICK_VERSION_MINOR)
                                          .arg(SNAPWICK_VERSION_PATCH));
  // Only the quit question ends the program.
  QApplication::setQuitOnLastWindowClosed(false);

  snapwick::QtDialogHost dialogs;
  snapwick::Form1 window(dialogs);
  window.show();

  // Pictures named on the command line (as the file manager passes them) open once the window
  // has its size.
  QStringList pictures;
  for (const QString& argument : QApplication::arguments().mid(1)) {
    const QUrl url(argument);
    pictures << (url.isLocalFile() ? url.toLocalFile() : argument);
  }
  if (!pictures.isEmpty()) {
    QTimer::singleShot(0, &window, [&window, pictures] { window.OpenPictures(pictures); });
  }
  return app.exec();
}
