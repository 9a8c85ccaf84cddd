#pragma once
// The window's answers to TPrompts: message boxes and file dialogs in the
// interface language, progress in the status bar, the busy cursor.

#include <QString>
#include <functional>

#include "app/document.h"
#include "app/prompts.h"

class QWidget;

namespace tarvex {

class TQtPrompts : public TPrompts {
public:
    TQtPrompts(QWidget* Parent, std::function<bool()> Russian, std::function<void(const QString&)> ShowProgress);
    TAnswer Ask(const std::string& Text, TChoice Choice) override;
    void ShowError(const std::string& Text) override;
    void ShowMessage(const std::string& Text) override;
    std::string AskOpenFileName(const std::string& Folder, int& Filter) override;
    std::string AskSaveFileName(const std::string& Proposed, int& Filter) override;
    bool AskText(const std::string& Caption, const std::string& Prompt, std::string& Value) override;
    void Progress(const std::string& Text) override;
    void Busy(bool On) override;
    void WorkStarts() override {
        if (OnWorkStarts) OnWorkStarts();
    }
    bool KeepWorking() override { return !OnKeepWorking || OnKeepWorking(); }
    void WorkEnds() override {
        if (OnWorkEnds) OnWorkEnds();
    }
    QString Title;
    // The window's long-work mode.
    std::function<void()> OnWorkStarts, OnWorkEnds;
    std::function<bool()> OnKeepWorking;

private:
    QWidget* FParent;
    std::function<bool()> FRussian;
    std::function<void(const QString&)> FShowProgress;
    int FBusy = 0;
};

// A Qt name filter showing the caption and matching names in either case.
QString QtNameFilter(const TFileFilter& F);
// File names between Qt and the file system, in the system's own encoding
// (names need not be UTF-8).
QString FromFileSystem(const std::string& Name);
std::string ToFileSystem(const QString& Name);

}  // namespace tarvex
