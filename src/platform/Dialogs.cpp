#include "platform/Dialogs.h"

#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <vector>

#include "base/Selection.h"

namespace snapwick {

namespace {

// "*.jpg" -> "*.[jJ][pP][gG]", so that IMG_0001.JPG matches too.
QString AnyCasePattern(const QString& pattern) {
  QString out;
  for (const QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      out += '[';
      out += c.toLower();
      out += c.toUpper();
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

QStringList NameFiltersFor(const std::string& filter) {
  // "Description|patterns" pairs, one after another.
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      patterns << AnyCasePattern(pattern.trimmed());
    }
    filters << parts[i] + " (" + patterns.join(' ') + ")";
  }
  return filters;
}

std::optional<std::string> SelectionFromPaths(const QStringList& paths) {
  if (paths.isEmpty()) return std::nullopt;
  std::vector<std::string> files;
  for (const QString& path : paths)
    files.push_back(QFile::encodeName(path).toStdString());
  const std::string selection = SelectionFor(files);
  if (QString::fromStdString(selection).size() > kMaxSelectionLength) return std::nullopt;
  return selection;
}

std::optional<std::string> QtDialogHost::OpenFiles(QWidget* owner, const std::string& title,
                                                   const std::string& filter) {
  QFileDialog dialog(owner, QString::fromStdString(title));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(NameFiltersFor(filter));
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList paths = dialog.selectedFiles();
  const std::optional<std::string> selection = SelectionFromPaths(paths);
  if (!selection && !paths.isEmpty()) {
    QMessageBox::warning(owner, QString::fromStdString(title),
                         QObject::tr("Too many files were selected at once. Choose fewer files."));
  }
  return selection;
}

std::optional<std::string> QtDialogHost::SaveFile(QWidget* owner, const std::string& title,
                                                  const std::string& filter) {
  QFileDialog dialog(owner, QString::fromStdString(title));
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(NameFiltersFor(filter));
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

std::optional<std::string> QtDialogHost::ChooseFolder(QWidget* owner, const std::string& title,
                                                      const std::string& start) {
  const QString folder = QFileDialog::getExistingDirectory(owner, QString::fromStdString(title),
                                                           QString::fromStdString(start));
  if (folder.isEmpty()) return std::nullopt;
  return QFile::encodeName(folder).toStdString();
}

bool QtDialogHost::AskYesNo(QWidget* owner, const std::string& title, const std::string& text) {
  return QMessageBox::question(owner, QString::fromStdString(title), QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogHost::ShowMessage(QWidget* owner, const std::string& title, const std::string& text) {
  QMessageBox::information(owner, QString::fromStdString(title), QString::fromStdString(text));
}

std::optional<QFont> QtDialogHost::ChooseFont(QWidget* owner, const QFont& initial) {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, initial, owner);
  if (!ok) return std::nullopt;
  return font;
}

int QtDialogHost::RunModal(QDialog* dialog) {
  return dialog->exec();
}

template <typename Call>
decltype(auto) CountedDialogHost::Counted(Call&& call) {
  struct Open {
    int& count;
    explicit Open(int& c) : count(c) { ++count; }
    ~Open() { --count; }
  } open(open_);
  return call();
}

std::optional<std::string> CountedDialogHost::OpenFiles(QWidget* owner, const std::string& title,
                                                        const std::string& filter) {
  return Counted([&] { return host_.OpenFiles(owner, title, filter); });
}

std::optional<std::string> CountedDialogHost::SaveFile(QWidget* owner, const std::string& title,
                                                       const std::string& filter) {
  return Counted([&] { return host_.SaveFile(owner, title, filter); });
}

std::optional<std::string> CountedDialogHost::ChooseFolder(QWidget* owner, const std::string& title,
                                                           const std::string& start) {
  return Counted([&] { return host_.ChooseFolder(owner, title, start); });
}

bool CountedDialogHost::AskYesNo(QWidget* owner, const std::string& title,
                                 const std::string& text) {
  return Counted([&] { return host_.AskYesNo(owner, title, text); });
}

void CountedDialogHost::ShowMessage(QWidget* owner, const std::string& title,
                                    const std::string& text) {
  Counted([&] { host_.ShowMessage(owner, title, text); });
}

std::optional<QFont> CountedDialogHost::ChooseFont(QWidget* owner, const QFont& initial) {
  return Counted([&] { return host_.ChooseFont(owner, initial); });
}

int CountedDialogHost::RunModal(QDialog* dialog) {
  return Counted([&] { return host_.RunModal(dialog); });
}

}  // namespace snapwick
