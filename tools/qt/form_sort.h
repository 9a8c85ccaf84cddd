#pragma once
// TFormSort: the confirmation of Sort lines and of the dictionary file's
// sort and append (a message and OK/Cancel), and the commands that use it.
// After OK the work runs on a worker thread while the dialog stays open and
// the window keeps answering; Esc or minimising the dialog stops it and
// nothing changes. Compress lines needs no confirmation.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

#include "tools/job_control.h"
#include "tools/sort_lines.h"

class QLabel;
class QPushButton;

namespace tarvex {

class TDudiRiri;

class TFormSort : public QDialog {
public:
    TFormSort(QWidget* Parent, bool Russian);

    // "English=Russian" caption and message.
    void SetTexts(const char* Caption, const QString& Message);
    // Called with 0..100 while the work runs (the main window's status bar).
    std::function<void(int Percent)> OnProgress;

    // What OK starts: Prepare and Apply run on this thread, before and after
    // Work, which runs on a worker thread and must not touch the editor.
    struct TJob {
        std::function<void()> Prepare;
        std::function<void(TJobControl&)> Work;
        std::function<void()> Apply;
    };
    // Shows the dialog and runs the job on OK. Returns whether it ran to its
    // end: Cancel, Esc or minimising while it runs, and a failure (shown in
    // a message box) return false.
    bool Execute(TJob Job);

    bool Running() const { return FRunning; }
    QPushButton* ButOk = nullptr;
    QPushButton* ButCancel = nullptr;
    QLabel* LbMessage = nullptr;

    // --- the commands (each returns whether it ran)

    // Sort lines: the selection, or the whole text, of M. DocumentName is
    // shown in the message.
    static bool SortLines(QWidget* Parent, TDudiRiri& M, const std::string& DocumentName,
                          const TSortOptions& Options, bool Russian, const std::function<void(int)>& Progress = {});
    // The dictionary file's sort; nothing without the file.
    static bool SortDictionaryFile(QWidget* Parent, const std::string& Path, bool Russian,
                                   const std::function<void(int)>& Progress = {});
    // Appends Word (Windows-1251) to the dictionary file, then sorts it with AddSort.
    static bool AddDictionaryItem(QWidget* Parent, const std::string& Path, const std::string& Word, bool AddSort,
                                  bool Russian);
    // Compress lines under the hourglass; the Compress setting's steps.
    static bool CompressLines(TDudiRiri& M, std::uint32_t Steps);

protected:
    void keyPressEvent(QKeyEvent* E) override;
    void changeEvent(QEvent* E) override;
    void closeEvent(QCloseEvent* E) override;
    void reject() override;

private:
    bool RunWork();

    bool FRussian;
    bool FRunning = false;
    TJobControl* FJob = nullptr;
    TJob FJobSteps;
    bool FDone = false;
};

}  // namespace tarvex
