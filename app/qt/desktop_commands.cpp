// The File menu's commands that hand the document to the desktop: Send mail
// (a mailto: link whose body is the text), Info file (a properties box),
// Show folder and Execute file.

#include <QFileInfo>
#include <QUrl>

#include "app/qt/commands.h"
#include "app/qt/desktop.h"
#include "app/qt/file_info_box.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_prompts.h"
#include "editor/text_transform.h"
#include "platform/codepage.h"

namespace tarvex {

namespace {

constexpr TPos kMaxMailText = 1'000'000;

// The document's file when it exists, else nothing.
QString ExistingFile(TFrmMainTarvex& W) {
    if (!W.Doc().Named()) return {};
    const QString path = FromFileSystem(W.Doc().FileName());
    return QFileInfo(path).isFile() ? path : QString();
}

TLoadSettings LoadSettingsOf(const TSettings& S) {
    TLoadSettings l;
    l.AutoDecode = S.AutoDecode;
    l.AutoHtmTxt = S.AutoHtmTxt;
    l.DocConvert = S.DocConvert;
    return l;
}

void SendMail(TFrmMainTarvex& W) {
    TDudiRiri& m = W.Memo();
    const TTextRange range = CommandRange(m);
    if (range.Length > kMaxMailText) {
        W.Prompts().ShowError(W.Text("Too large file!=Слишком большой файл!").toStdString());
        return;
    }
    const QUrl url = MailUrl(RangeText(m, range));
    if (!Desktop().OpenUrl(url))
        W.Prompts().ShowError(W.Text("Cannot start the mail program!=Не удалось запустить почтовую программу!").toStdString());
}

}  // namespace

QUrl MailUrl(const std::string& Body) {
    const QString text = QString::fromStdU16String(Cp1251ToUtf16(Body));
    return QUrl::fromEncoded("mailto:?body=" + QUrl::toPercentEncoding(text), QUrl::StrictMode);
}

void AddDesktopCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    c.On("mSend", [&W] { SendMail(W); });
    c.On("mInfoFile", [&W] {
        const QString path = ExistingFile(W);
        if (path.isEmpty()) return;
        TFileInfoBox box(&W, W.Doc().FileName(), LoadSettingsOf(W.Settings()), W.Russian());
        box.exec();
    });
    c.On("mShowFolder", [&W] {
        const QString path = ExistingFile(W);
        if (!path.isEmpty() && !Desktop().ShowInFolder(path))
            W.Prompts().ShowError(W.Text("Cannot show the folder=Не удалось показать папку").toStdString());
    });
    c.On("mExecFile", [&W] {
        const QString path = ExistingFile(W);
        if (!path.isEmpty() && !Desktop().OpenUrl(QUrl::fromLocalFile(path)))
            W.Prompts().ShowError(W.Text("Cannot open=Не удалось открыть").toStdString() + " \"" +
                                  W.Doc().FileName() + "\"");
    });
}

}  // namespace tarvex
