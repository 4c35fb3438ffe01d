#include "app/SaveAllView.h"

#include <QFile>
#include <QProgressDialog>
#include <QString>

namespace snapwick {

namespace {

// A file's name for the dialog (names are bytes; shown as the file system would decode them).
QString DisplayName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return QFile::decodeName(
      QByteArray::fromStdString(slash == std::string::npos ? path : path.substr(slash + 1)));
}

}  // namespace

SaveAllView::SaveAllView(QWidget* owner, SaveAllJob job, Finished finished)
    : QObject(owner), batch_(std::move(job)), finished_(std::move(finished)) {
  const int32_t total = batch_.Total();
  progress_ =
      new QProgressDialog(QString("Saving %1 pictures").arg(total), "Cancel", 0, total, owner);
  progress_->setWindowTitle("Save All");
  progress_->setWindowModality(Qt::NonModal);
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  progress_->setMinimumDuration(0);
  progress_->setValue(0);
  connect(progress_, &QProgressDialog::canceled, this, &SaveAllView::Cancel);
  progress_->show();

  // The observer runs on the batch's threads; what it shows is handed to this object's thread.
  runner_ = std::thread([this] {
    const SaveAllSummary summary =
        batch_.Run([this](const SavedPicture& saved, int32_t done, int32_t total) {
          const std::string name = saved.target;
          QMetaObject::invokeMethod(
              this, [this, done, total, name] { Show(done, total, name); }, Qt::QueuedConnection);
        });
    QMetaObject::invokeMethod(
        this, [this, summary] { End(summary); }, Qt::QueuedConnection);
  });
}

SaveAllView::~SaveAllView() {
  batch_.Cancel();
  if (runner_.joinable()) runner_.join();
  delete progress_;
}

void SaveAllView::Cancel() {
  batch_.Cancel();
  if (progress_)
    progress_->setLabelText("Cancelling: the pictures being written are finished first");
}

void SaveAllView::Show(int32_t done, int32_t total, const std::string& name) {
  if (batch_.Cancelled() || !progress_) return;
  progress_->setValue(done);
  progress_->setLabelText(QString("%1 of %2: %3").arg(done).arg(total).arg(DisplayName(name)));
}

void SaveAllView::End(const SaveAllSummary& summary) {
  if (runner_.joinable()) runner_.join();
  if (progress_) progress_->hide();
  if (finished_) finished_(summary);
}

}  // namespace snapwick
