#include "tools/qt/form_sort.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <thread>

#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "platform/qt_text.h"
#include "tools/collation.h"
#include "tools/dictionary_file.h"
#include "tools/line_commands.h"
#include "textstore/atomic_file.h"
#include "tools/qt/texts.h"

namespace tarvex {

namespace {

// The hourglass for as long as it lives.
struct TWaitCursor {
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace

TFormSort::TFormSort(QWidget* Parent, bool Russian) : QDialog(Parent), FRussian(Russian) {
    setObjectName("FormSort");
    LbMessage = new QLabel(this);
    LbMessage->setWordWrap(true);
    LbMessage->setMinimumWidth(320);
    LbMessage->setTextFormat(Qt::PlainText);
    auto* buttons = new QDialogButtonBox(this);
    ButOk = buttons->addButton(Tr("OK=ОК", Russian), QDialogButtonBox::AcceptRole);
    ButCancel = buttons->addButton(Tr("Cancel=Отмена", Russian), QDialogButtonBox::RejectRole);
    ButOk->setObjectName("ButOk");
    ButCancel->setObjectName("ButCancel");
    ButOk->setDefault(true);
    // Stopped or failed work closes the dialog too: the command did not run.
    connect(ButOk, &QPushButton::clicked, this, [this] {
        if (RunWork())
            accept();
        else if (!FRunning)
            QDialog::reject();
    });
    connect(ButCancel, &QPushButton::clicked, this, &TFormSort::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LbMessage);
    layout->addWidget(buttons);
}

void TFormSort::SetTexts(const char* Caption, const QString& Message) {
    setWindowTitle(Tr(Caption, FRussian));
    LbMessage->setText(Message);
}

bool TFormSort::Execute(TJob Job) {
    FJobSteps = std::move(Job);
    FDone = false;
    exec();
    return FDone;
}

bool TFormSort::RunWork() {
    if (FRunning) return false;
    TJobControl job;
    FJob = &job;
    FRunning = true;
    ButOk->setEnabled(false);
    std::exception_ptr error;
    try {
        if (FJobSteps.Prepare) FJobSteps.Prepare();
    } catch (...) {
        error = std::current_exception();
    }
    if (!error) {
        const TWaitCursor wait;
        std::atomic<bool> finished{false};
        QEventLoop loop;
        std::thread worker([&] {
            try {
                FJobSteps.Work(job);
            } catch (...) {
                error = std::current_exception();
            }
            finished = true;
            QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        });
        // The window answers while the worker runs; progress goes out every tick.
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] {
            if (OnProgress) OnProgress(job.Percent());
        });
        tick.start(100);
        if (!finished) loop.exec();
        worker.join();
    }
    FRunning = false;
    FJob = nullptr;
    ButOk->setEnabled(true);
    if (OnProgress) OnProgress(100);
    try {
        if (error) std::rethrow_exception(error);
        if (job.StopRequested()) return false;
        if (FJobSteps.Apply) {
            const TWaitCursor wait;
            FJobSteps.Apply();
        }
    } catch (const EJobStopped&) {
        return false;
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromLocal8Bit(e.what()));
        return false;
    }
    FDone = true;
    return true;
}

void TFormSort::keyPressEvent(QKeyEvent* E) {
    if (E->key() == Qt::Key_Escape && FRunning) {
        FJob->RequestStop();
        return;
    }
    QDialog::keyPressEvent(E);
}

void TFormSort::changeEvent(QEvent* E) {
    if (E->type() == QEvent::WindowStateChange && FRunning && (windowState() & Qt::WindowMinimized))
        FJob->RequestStop();
    QDialog::changeEvent(E);
}

void TFormSort::closeEvent(QCloseEvent* E) {
    // Closing while the work runs stops it; the dialog closes once it has ended.
    if (FRunning) {
        FJob->RequestStop();
        E->ignore();
        return;
    }
    QDialog::closeEvent(E);
}

void TFormSort::reject() {
    if (FRunning) {
        FJob->RequestStop();
        return;
    }
    QDialog::reject();
}

// --- the commands

bool TFormSort::SortLines(QWidget* Parent, TDudiRiri& M, const std::string& DocumentName,
                          const TSortOptions& Options, bool Russian, const std::function<void(int)>& Progress) {
    TFormSort f(Parent, Russian);
    f.OnProgress = Progress;
    f.SetTexts("Sort lines=Сортировка строк",
               Tr("Sort lines editing text=Сортировать строки редактируемого текста", Russian) + "\n" +
                   FromFileName(DocumentName));
    TTextRange range;
    std::string text, sorted;
    return f.Execute({[&] {
                          range = CommandRange(M);
                          text = RangeText(M, range);
                      },
                      [&](TJobControl& Job) {
                          const TCollation collation(Russian);
                          sorted = SortLinesText(text, Options, collation, &Job);
                      },
                      [&] { PutSortedText(M, range, std::move(text), std::move(sorted)); }});
}

bool TFormSort::SortDictionaryFile(QWidget* Parent, const std::string& Path, bool Russian,
                                   const std::function<void(int)>& Progress) {
    if (!FileExists(Path)) return false;
    TFormSort f(Parent, Russian);
    f.OnProgress = Progress;
    f.SetTexts("Sort lines=Сортировка строк",
               Tr("Sort lines dictionary file=Сортировать строки файла словаря", Russian) + "\n" +
                   FromFileName(Path));
    return f.Execute({{}, [&](TJobControl& Job) {
                          const TCollation collation(Russian);
                          tarvex::SortDictionaryFile(Path, collation, &Job);
                      },
                      {}});
}

bool TFormSort::AddDictionaryItem(QWidget* Parent, const std::string& Path, const std::string& Word, bool AddSort,
                                  bool Russian) {
    if (!FileExists(Path)) return false;
    TFormSort f(Parent, Russian);
    f.SetTexts("Add item to dictionary file=Добавить статью в файл словаря",
               Tr("Add item=Добавить статью", Russian) + "\n" + ToQString(Word) + "\n" +
                   Tr("to file =в файл ", Russian) + FromFileName(Path));
    return f.Execute({{}, [&](TJobControl& Job) {
                          const TCollation collation(Russian);
                          tarvex::AddDictionaryItem(Path, Word, AddSort, collation, &Job);
                      },
                      {}});
}

bool TFormSort::CompressLines(TDudiRiri& M, std::uint32_t Steps) {
    const TWaitCursor wait;
    return tarvex::CompressLines(M, Steps);
}

}  // namespace tarvex
