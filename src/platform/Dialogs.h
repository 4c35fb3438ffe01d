#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

class QDialog;
class QWidget;

namespace snapwick {

// Every modal dialog and message box of the program goes through this interface, so that tests
// can answer them without a human.
class DialogHost {
 public:
  virtual ~DialogHost() = default;

  // The open dialog with multiple selection. filter is written "Description|*.a;*.b". Returns
  // the selection: one full path, or the folder and the names separated by NUL characters. None
  // when the user cancels or the dialog fails.
  virtual std::optional<std::string> OpenFiles(QWidget* owner, const std::string& title,
                                               const std::string& filter) = 0;
  // The save dialog; the chosen full path, or none.
  virtual std::optional<std::string> SaveFile(QWidget* owner, const std::string& title,
                                              const std::string& filter) = 0;
  // A folder chooser starting at start; the chosen folder, or none.
  virtual std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                                  const std::string& start) = 0;
  // A question with Yes and No buttons and the question icon; true for Yes.
  virtual bool AskYesNo(QWidget* owner, const std::string& title, const std::string& text) = 0;
  // A message with an OK button.
  virtual void ShowMessage(QWidget* owner, const std::string& title, const std::string& text) = 0;
  // The font dialog preset to initial; the chosen font, or none when cancelled.
  virtual std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) = 0;
  // Shows a dialog modally and returns its result code when it is hidden again.
  virtual int RunModal(QDialog* dialog) = 0;
};

// The dialogs of the desktop: Qt's file, font and message dialogs.
class QtDialogHost : public DialogHost {
 public:
  std::optional<std::string> OpenFiles(QWidget* owner, const std::string& title,
                                       const std::string& filter) override;
  std::optional<std::string> SaveFile(QWidget* owner, const std::string& title,
                                      const std::string& filter) override;
  std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                          const std::string& start) override;
  bool AskYesNo(QWidget* owner, const std::string& title, const std::string& text) override;
  void ShowMessage(QWidget* owner, const std::string& title, const std::string& text) override;
  std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) override;
  int RunModal(QDialog* dialog) override;
};

// Passes every call on to another host and counts the dialogs and message boxes open through
// it, so that a window can hold back what must not happen behind them (a timer stepping on).
class CountedDialogHost : public DialogHost {
 public:
  explicit CountedDialogHost(DialogHost& host) : host_(host) {}
  CountedDialogHost(const CountedDialogHost&) = delete;
  CountedDialogHost& operator=(const CountedDialogHost&) = delete;

  // Whether a dialog or message box is open through this host now.
  bool AnyOpen() const { return open_ > 0; }

  std::optional<std::string> OpenFiles(QWidget* owner, const std::string& title,
                                       const std::string& filter) override;
  std::optional<std::string> SaveFile(QWidget* owner, const std::string& title,
                                      const std::string& filter) override;
  std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                          const std::string& start) override;
  bool AskYesNo(QWidget* owner, const std::string& title, const std::string& text) override;
  void ShowMessage(QWidget* owner, const std::string& title, const std::string& text) override;
  std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) override;
  int RunModal(QDialog* dialog) override;

 private:
  // Runs a call into the host with the count raised, also when it throws.
  template <typename Call>
  decltype(auto) Counted(Call&& call);

  DialogHost& host_;
  int open_ = 0;
};

// The longest selection the open dialog hands over, in characters.
inline constexpr int kMaxSelectionLength = 10000;

// The selection text for chosen paths: the path alone for one file, else the folder of the
// first followed by each name, NUL-separated. None when it would exceed kMaxSelectionLength or
// when no path was chosen.
std::optional<std::string> SelectionFromPaths(const QStringList& paths);

// A Qt name filter for "Description|*.a;*.b": the patterns match in any letter case.
QStringList NameFiltersFor(const std::string& filter);

}  // namespace snapwick
