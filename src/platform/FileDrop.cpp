#include "platform/FileDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <utility>

namespace snapwick {

FileDrop::FileDrop(QWidget* target, Receiver receiver)
    : QObject(target), receiver_(std::move(receiver)) {
  target->setAcceptDrops(true);
  target->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter) {
    auto* enter = static_cast<QDragEnterEvent*>(event);
    const QList<QUrl> urls = enter->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); })) {
      enter->acceptProposedAction();
    }
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    QStringList paths;
    for (const QUrl& url : drop->mimeData()->urls()) {
      if (url.isLocalFile()) paths << url.toLocalFile();
    }
    if (receiver_(paths)) drop->acceptProposedAction();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace snapwick
