#include <QApplication>

#include "app/Form1.h"
#include "platform/Dialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Snapwick");
  QApplication::setApplicationName("Snapwick");
  QApplication::setApplicationVersion(QString("%1.%2.%3")
                                          .arg(SNAPWICK_VERSION_MAJOR)
                                          .arg(SNAPWICK_VERSION_MINOR)
                                          .arg(SNAPWICK_VERSION_PATCH));
  // Only the quit question ends the program.
  QApplication::setQuitOnLastWindowClosed(false);

  snapwick::QtDialogHost dialogs;
  snapwick::Form1 window(dialogs);
  window.show();
  return app.exec();
}
