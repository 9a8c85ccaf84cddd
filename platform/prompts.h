#pragma once
// TPrompts: how the document, the commands and the text tools ask the user
// and tell them things. The window answers with message boxes and file
// dialogs; tests and tarvex-cli answer without a window. Texts are UTF-8,
// already in the interface language.

#include <deque>
#include <string>
#include <vector>

namespace tarvex {

class TPrompts {
public:
    enum TAnswer { paYes, paNo, paCancel };
    enum TChoice { pcYesNo, pcYesNoCancel };

    virtual ~TPrompts() = default;
    virtual TAnswer Ask(const std::string& Text, TChoice Choice) = 0;
    virtual void ShowError(const std::string& Text) = 0;
    virtual void ShowMessage(const std::string& Text) = 0;
    // File dialogs: an empty name is a cancel. Filter is the 1-based filter index, in and out.
    virtual std::string AskOpenFileName(const std::string& Folder, int& Filter) = 0;
    virtual std::string AskSaveFileName(const std::string& Proposed, int& Filter) = 0;
    // A line of text typed into a box with Caption and Prompt, Value pre-filled;
    // false when cancelled.
    virtual bool AskText(const std::string& /*Caption*/, const std::string& /*Prompt*/, std::string& /*Value*/) {
        return false;
    }
    // Progress of long work for the status bar ("Saving 45%"); an empty text ends it.
    virtual void Progress(const std::string& /*Text*/) {}
    // The busy cursor around work the user waits for.
    virtual void Busy(bool /*On*/) {}
    // Long work the user may watch and stop (saving a large file): between
    // WorkStarts and WorkEnds the text must not change, and KeepWorking is
    // called between slices of the work; it lets the window answer (scroll,
    // repaint) and returns false once the user asked to stop.
    virtual void WorkStarts() {}
    virtual bool KeepWorking() { return true; }
    virtual void WorkEnds() {}
};

// The busy cursor for as long as it lives.
class TBusyScope {
public:
    explicit TBusyScope(TPrompts& P) : FP(P) { FP.Busy(true); }
    ~TBusyScope() { FP.Busy(false); }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    TPrompts& FP;
};

// Answers from a list, recording what was asked: for tests, and for
// tarvex-cli, which answers every question with its default.
class TScriptedPrompts : public TPrompts {
public:
    std::deque<TAnswer> Answers;  // used in order; when empty, Default
    TAnswer Default = paCancel;
    std::vector<std::string> Questions, Errors, Messages, ProgressTexts;
    std::string OpenName, SaveName;
    int SaveFilter = 1;
    // Typed into text boxes in order; when empty, the box is cancelled.
    std::deque<std::string> Inputs;
    std::vector<std::string> InputBoxes;  // "caption|prompt|pre-filled value" of each box shown

    TAnswer Ask(const std::string& Text, TChoice) override {
        Questions.push_back(Text);
        if (Answers.empty()) return Default;
        const TAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }
    void ShowError(const std::string& Text) override { Errors.push_back(Text); }
    void ShowMessage(const std::string& Text) override { Messages.push_back(Text); }
    std::string AskOpenFileName(const std::string&, int&) override { return OpenName; }
    std::string AskSaveFileName(const std::string&, int& Filter) override {
        Filter = SaveFilter;
        return SaveName;
    }
    void Progress(const std::string& Text) override { ProgressTexts.push_back(Text); }
    bool AskText(const std::string& Caption, const std::string& Prompt, std::string& Value) override {
        InputBoxes.push_back(Caption + "|" + Prompt + "|" + Value);
        if (Inputs.empty()) return false;
        Value = Inputs.front();
        Inputs.pop_front();
        return true;
    }
    // Stops long work after this many slices (-1: never).
    int StopAfterSlices = -1;
    bool KeepWorking() override { return StopAfterSlices < 0 || StopAfterSlices-- > 0; }
};

}  // namespace tarvex
