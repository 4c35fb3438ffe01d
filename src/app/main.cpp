#include <QApplication>
#include <QTimer>
#include <QUrl>

#include "app/Form1.h"
#include "platform/Dialogs.h"
#include "platform/FileDrop.h"

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

  // Pictures named on the command line (as the file manager passes them, as paths or file URLs)
  // open once the window has its size. Names are kept as the bytes they are.
  std::vector<std::string> pictures;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    pictures.push_back(argument.starts_with("file:")
                           ? snapwick::LocalFileBytes(QUrl::fromEncoded(QByteArray(argv[i])))
                           : argument);
  }
  if (!pictures.empty()) {
    QTimer::singleShot(0, &window, [&window, pictures] { window.OpenPictures(pictures); });
  }
  return app.exec();
}
