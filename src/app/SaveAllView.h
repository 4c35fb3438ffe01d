#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <functional>
#include <memory>
#include <thread>

#include "app/SaveAll.h"

class QWidget;

namespace snapwick {

// A batch of the main window running in the background: a progress dialog beside the window
// shows "n of N" with the name last written and a Cancel button, while the window itself goes on
// working. When the batch has ended, `finished` is called on the window's thread with the summary;
// it may end the view's life with deleteLater.
class SaveAllView : public QObject {
  Q_OBJECT

 public:
  using Finished = std::function<void(const SaveAllSummary&)>;

  SaveAllView(QWidget* owner, SaveAllJob job, Finished finished);
  // Cancels the batch and waits for the pictures in flight.
  ~SaveAllView() override;

  QProgressDialog* Progress() const { return progress_; }
  // As the dialog's Cancel button: the pictures in flight are written whole, no other is begun.
  void Cancel();

 private:
  void Show(int32_t done, int32_t total, const std::string& name);
  void End(const SaveAllSummary& summary);

  SaveAll batch_;
  Finished finished_;
  QPointer<QProgressDialog> progress_;
  std::thread runner_;
};

}  // namespace snapwick
