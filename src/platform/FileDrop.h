#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

namespace snapwick {

// Lets local files be dropped on a window: a drag that carries any local file is accepted, and
// the dropped files' paths are handed on; the drop counts as taken when the receiver says so.
class FileDrop : public QObject {
  Q_OBJECT

 public:
  using Receiver = std::function<bool(const QStringList& paths)>;
  FileDrop(QWidget* target, Receiver receiver);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Receiver receiver_;
};

}  // namespace snapwick
