// Every question and message the windows ask or show, behind one interface, so that tests can
// answer them from a script.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace velmor {

enum class TAnswer { Yes, No, Cancel };

class IDialogs {
 public:
  virtual ~IDialogs() = default;

  // A modal message with an OK button and no icon.
  virtual void Message(QWidget* parent, const QString& caption, const QString& text) = 0;

  // A modal message with an OK button and the warning icon.
  virtual void Warning(QWidget* parent, const QString& caption, const QString& text) = 0;

  // A Yes/No question with the question icon; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;

  // A Yes/No/Cancel question without an icon.
  virtual TAnswer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text) = 0;

  // The file-save dialog with a "description|pattern" filter; the raw name chosen, or nothing
  // when cancelled. ChooseExportFile adds the default extension and the replace question.
  virtual std::optional<QString> SaveFileName(QWidget* parent, const QString& filter,
                                              const QString& defaultSuffix) = 0;

  // Tells the user that there is no printer to print on.
  virtual void NoPrinter(QWidget* parent) = 0;

  // Runs `job` on the default printer; false when nothing was printed (no printer, or the job
  // failed). The implementation shows the no-printer message itself.
  virtual bool Print(QWidget* parent, const std::function<bool(QPrinter&)>& job) = 0;
};

// The dialogs of the desktop program.
class QtDialogs : public IDialogs {
 public:
  void Message(QWidget* parent, const QString& caption, const QString& text) override;
  void Warning(QWidget* parent, const QString& caption, const QString& text) override;
  bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override;
  TAnswer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text) override;
  std::optional<QString> SaveFileName(QWidget* parent, const QString& filter,
                                      const QString& defaultSuffix) override;
  void NoPrinter(QWidget* parent) override;
  bool Print(QWidget* parent, const std::function<bool(QPrinter&)>& job) override;
};

// The application title, which captions the program's own questions.
QString AppTitle();

// The export file filter and default extension.
QString ExportFilter();
QString ExportSuffix();

// Asks for the export file: the save dialog, surrounding blanks removed, the default extension
// added to a name without one, and a Yes/No question before an existing file is replaced.
// Nothing when the user cancels or declines.
std::optional<QString> ChooseExportFile(IDialogs& dialogs, QWidget* parent);

// Asks before an existing file `name` is replaced; true when it does not exist or the user
// answers Yes.
bool ConfirmReplace(IDialogs& dialogs, QWidget* parent, const QString& name);

// Qt's form of a "description|pattern|..." filter: "description (pattern);;...".
QString QtFileFilter(const QString& filter);

}  // namespace velmor
