#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/BatchCommand.h"
#include "app/CommandLine.h"
#include "app/Form1.h"
#include "platform/Dialogs.h"
#include "platform/FileDrop.h"

namespace {

void NameApplication() {
  QCoreApplication::setOrganizationName("Snapwick");
  QCoreApplication::setApplicationName("Snapwick");
  QCoreApplication::setApplicationVersion(QString("%1.%2.%3")
                                              .arg(SNAPWICK_VERSION_MAJOR)
                                              .arg(SNAPWICK_VERSION_MINOR)
                                              .arg(SNAPWICK_VERSION_PATCH));
}

// The toolkit's own notes (a font family that is missing, and the like) stay off the error
// output of a command, which holds only what the command tells.
void KeepToolkitNotesQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

// The command line: no window and no display. Qt is given the program's name alone, so that it
// takes none of the arguments for its own options (-platform, -style, ...).
int RunCommand(char* program, const std::vector<std::string>& arguments) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(KeepToolkitNotesQuiet);
  int qtArgc = 1;
  char* qtArgv[] = {program, nullptr};
  QGuiApplication app(qtArgc, qtArgv);
  NameApplication();
  snapwick::CommandIo io{std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0, {}, nullptr};
  return snapwick::RunCommandLine(arguments, io);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (snapwick::IsCommandLine(arguments)) return RunCommand(argv[0], arguments);

  QApplication app(argc, argv);
  NameApplication();
  QGuiApplication::setDesktopFileName("snapwick");
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
