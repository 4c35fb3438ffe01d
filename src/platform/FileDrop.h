#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QUrl;
class QWidget;

namespace snapwick {

// The path of a local file's URL as the file system's bytes (a name that is no UTF-8 stays as
// it is); empty for a URL that names no local file.
std::string LocalFileBytes(const QUrl& url);

// Lets local files be dropped on a window: a drag that carries any local file is accepted, and
// the dropped files' paths are handed on; the drop counts as taken when the receiver says so.
class FileDrop : public QObject {
  Q_OBJECT

 public:
  using Receiver = std::function<bool(const std::vector<std::string>& paths)>;
  FileDrop(QWidget* target, Receiver receiver);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Receiver receiver_;
};

}  // namespace snapwick
