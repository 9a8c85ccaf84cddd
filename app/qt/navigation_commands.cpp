// The Edit menu's own commands: Select Word (Sent.), Delete word, Delete
// line, Swop two letters, Go to line, Insert Date Time and Open link, and
// Info text of the File menu.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMimeData>

#include "app/date_format.h"
#include "app/qt/auto_scroll.h"
#include "app/qt/commands.h"
#include "app/qt/desktop.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_prompts.h"
#include "app/text_edits.h"
#include "app/text_info.h"
#include "app/word_select.h"
#include "editor/text_transform.h"
#include "platform/codepage.h"

namespace tarvex {

namespace {

// Runs an editing command and shows its outcome.
template <typename F>
void Edit(TFrmMainTarvex& W, F&& Body) {
    TDudiRiri& m = W.Memo();
    Body(m);
    m.KeepCaretInView();
    W.Med->viewport()->update();
    W.MedSelMove();
}

std::string Trimmed(const std::string& S) {
    std::size_t a = 0, b = S.size();
    while (a < b && static_cast<unsigned char>(S[a]) < 0x21) ++a;
    while (b > a && static_cast<unsigned char>(S[b - 1]) < 0x21) --b;
    return S.substr(a, b - a);
}

// The selected text, or the caret's display line.
std::string SelectionOrLine(TDudiRiri& M) {
    if (M.SelLength() != 0) return M.SelText();
    TRiriNavigator at(&M);
    at.SetPos(M.SelStart());
    M.FormatThrough(at.ParNb());
    return at.LineText();
}

void GoToLine(TFrmMainTarvex& W) {
    TDudiRiri& m = W.Memo();
    const std::int32_t lines = DisplayLineCount(m);
    if (lines < 2) return;
    const std::string caption = W.Text("Go to line=Перейти к строке").toStdString() + " 1 .. " + FormatCount(lines);
    const std::int32_t current = m.SelLine();
    std::string value = current > 0 ? std::to_string(current + 1) : std::string();
    if (!W.Prompts().AskText(caption, W.Text("Enter line number:=Введите номер строки:").toStdString(), value)) return;
    const auto n = ParseLineNumber(value);
    if (!n) return;
    Edit(W, [n](TDudiRiri& M) { GoToDisplayLine(M, *n); });
    W.Med->setFocus();
}

void OpenLink(TFrmMainTarvex& W) {
    std::string text = Trimmed(SelectionOrLine(W.Memo()));
    if (text.empty()) return;
    QString link = QString::fromStdU16String(Cp1251ToUtf16(text));
    if (link.contains('@') && !link.startsWith("mailto:", Qt::CaseInsensitive)) link = "mailto:" + link;
    const QString folder = W.Doc().Named() ? QFileInfo(FromFileSystem(W.Doc().FileName())).absolutePath() : QString();
    const QUrl url = QUrl::fromUserInput(link, folder, QUrl::AssumeLocalFile);
    if (!url.isValid() || !Desktop().OpenUrl(url))
        W.Prompts().ShowError(W.Text("Cannot open=Не удалось открыть").toStdString() + " \"" + link.toStdString() + "\"");
}

void InfoText(TFrmMainTarvex& W) {
    std::optional<std::string> clip;
    const QMimeData* d = QApplication::clipboard()->mimeData();
    if (d && d->hasText() && !d->text().isEmpty()) clip = Utf16ToCp1251(d->text().toStdU16String());
    const std::string name = W.Doc().Named() ? W.Doc().FileName() : kUntitled;
    W.Prompts().Busy(true);
    const std::string message = InfoTextMessage(W.Memo(), name, clip, W.Russian());
    W.Prompts().Busy(false);
    W.Prompts().ShowMessage(message);
}

}  // namespace

void AddNavigationCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    c.On("mSelWord", [&W] {
        TAutoScroll::Of(W).Stop();
        Edit(W, [](TDudiRiri& M) { SelectWordCycle(M); });
    });
    c.On("mDelWord", [&W] {
        TAutoScroll::Of(W).Stop();
        Edit(W, [](TDudiRiri& M) { DeleteWordAtCaret(M); });
    });
    c.On("mDelLine", [&W] { Edit(W, [](TDudiRiri& M) { DeleteDisplayLine(M); }); });
    c.On("mSwop", [&W] { Edit(W, [](TDudiRiri& M) { SwopTwoLetters(M); }); });
    c.On("mGoToLine", [&W] { GoToLine(W); });
    c.On("mInsertDate", [&W] {
        if (W.Memo().ReadOnly || W.Memo().DisplayOnly) return;
        const std::string text = W.DateFormatter(W.Settings().DateIns);
        Edit(W, [&text](TDudiRiri& M) { M.SetSelTextBuf(Utf8ToCp1251(text)); });
    });
    // The settings dialog shows its sample with the same formatter.
    W.DateFormatter = [&W](const std::string& Pattern) {
        return FormatDateTime(Pattern, CurrentDateTime(), W.Russian());
    };
    c.On("mRun", [&W] { OpenLink(W); });
    c.On("mInfoText", [&W] { InfoText(W); });
}

}  // namespace tarvex
