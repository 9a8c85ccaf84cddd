#include "spell/qt/form_dict.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/settings.h"
#include "platform/qt_text.h"
#include "spell/dict_file.h"
#include "textstore/atomic_file.h"
#include "textstore/stream.h"
#include "tools/qt/form_sort.h"

namespace tarvex {

namespace {

std::string FolderOf(const std::string& Path) {
    const std::size_t s = Path.find_last_of('/');
    return s == std::string::npos ? std::string(".") : Path.substr(0, s + 1);
}

std::string Trimmed(const std::string& S) {
    std::size_t a = 0, b = S.size();
    while (a < b && static_cast<unsigned char>(S[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(S[b - 1]) <= ' ') --b;
    return S.substr(a, b - a);
}

// Keeps the cursor an hourglass for as long as it lives.
struct TBusyCursor {
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TFormDict::TFormDict(TDudiRiri* Main, QWidget* Parent) : QDialog(Parent), FMain(Main) {
    setObjectName("FormDict");
    Dic = new TRiriWidget(this);
    Dic->setObjectName("Dic");
    TDudiRiri& m = Dic->Memo();
    m.SetLeftMargin(10);
    m.NullReplacement = ' ';
    m.SetUndoMaxSpace(65000);
    m.SetUndoMaxLevel(256);
    if (FMain) {
        m.RussianInterface = FMain->RussianInterface;
        m.SetSeparators(FMain->Separators());
    }
    m.OnDblClick = [this](TDudiRiri&) { DicDoubleClick(); };

    Lb = new QListWidget(this);
    Lb->setObjectName("Lb");
    Lb->setContextMenuPolicy(Qt::CustomContextMenu);
    Lb->setUniformItemSizes(true);
    Lb->installEventFilter(this);
    Ed = new QComboBox(this);
    Ed->setObjectName("Ed");
    Ed->setEditable(true);
    Ed->setInsertPolicy(QComboBox::NoInsert);
    // Typing "*" must not be completed into an earlier "*og".
    Ed->setCompleter(nullptr);
    Ed->installEventFilter(this);
    Ed->lineEdit()->installEventFilter(this);
    Pan = new QLabel(this);
    Pan->setObjectName("Pan");

    auto button = [this](const char* Name, const QString& Caption) {
        auto* b = new QPushButton(Caption, this);
        b->setObjectName(Name);
        b->setAutoDefault(false);
        // Clicking leaves the focus where it was: Search item depends on it.
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    ButOk = button("ButOk", {});
    ButAdd = button("ButAdd", "+");
    ButAll = button("ButAll", {});
    ButFile = button("ButFile", "...");
    ButSort = button("ButSort", {});

    PanButtons = new QWidget(this);
    auto* buttons = new QHBoxLayout(PanButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(Ed, 1);
    for (QPushButton* b : {ButOk, ButAdd, ButAll, ButFile, ButSort}) buttons->addWidget(b);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(Lb, 1);
    sideLayout->addWidget(Pan);
    Splitter = new QSplitter(this);
    Splitter->addWidget(Dic);
    Splitter->addWidget(side);
    Splitter->setStretchFactor(0, 3);
    Splitter->setStretchFactor(1, 1);
    auto* top = new QVBoxLayout(this);
    top->addWidget(PanButtons);
    top->addWidget(Splitter, 1);
    resize(640, 420);

    PmDict = new QMenu(this);
    mChange = PmDict->addAction(QString());
    mChange->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mDelete = PmDict->addAction(QString());
    mDelete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    PmDict->addSeparator();
    mCopy = PmDict->addAction(QString());
    for (QAction* a : {mChange, mDelete, mCopy}) {
        a->setShortcutContext(Qt::WidgetShortcut);
        Lb->addAction(a);
    }
    connect(mChange, &QAction::triggered, this, [this] { ChangeOrDelete(false); });
    connect(mDelete, &QAction::triggered, this, [this] { ChangeOrDelete(true); });
    connect(mCopy, &QAction::triggered, this, [this] { CopyItem(); });
    connect(Lb, &QWidget::customContextMenuRequested, this, [this](const QPoint& P) { PmDict->popup(Lb->viewport()->mapToGlobal(P)); });

    // F3, F8 and Esc reach the window from the list and the field; Dic takes
    // every key itself, so its own are caught on the way in.
    Dic->installEventFilter(this);

    connect(Ed, &QComboBox::editTextChanged, this, [this] { UpdateButtons(); });
    // A pick from the drop-down (Enter in the field, with nothing inserted into
    // the list, comes only through returnPressed).
    connect(Ed, &QComboBox::activated, this, [this] { LookupAndShow(false); });
    connect(Ed->lineEdit(), &QLineEdit::returnPressed, this, [this] { LookupAndShow(false); });
    connect(Lb, &QListWidget::itemDoubleClicked, this, [this] { LookupAndShow(true); });
    connect(ButOk, &QPushButton::clicked, this, [this] { SearchClick(); });
    connect(ButAdd, &QPushButton::clicked, this, [this] { AddClick(); });
    connect(ButAll, &QPushButton::clicked, this, [this] { SearchAllFiles(); });
    connect(ButFile, &QPushButton::clicked, this, [this] { SelectFileClick(); });
    connect(ButSort, &QPushButton::clicked, this, [this] { SortClick(); });
    Relabel();
    UpdateButtons();
}

TFormDict::~TFormDict() = default;

QString TFormDict::T(const char* Text) const { return QString::fromStdString(Bilingual(Text, FRussian)); }

void TFormDict::Relabel() {
    ButOk->setText(T("Search item=Искать"));
    ButOk->setToolTip(T("Search item=Искать слово"));
    ButAdd->setToolTip(T("Add item to dictionary file...=Добавить слово в файл словаря..."));
    ButAll->setText(T("All files=Все файлы"));
    ButAll->setToolTip(T("Search item in all files this folder=Искать слово во всех файлах этой папки"));
    ButFile->setToolTip(T("Select dictionary file...=Выбрать файл словаря..."));
    ButSort->setText(T("Sort=Сортировать"));
    ButSort->setToolTip(T("Sort dictionary file...=Сортировать файл словаря..."));
    mChange->setText(T("Change Item=Заменить слово"));
    mDelete->setText(T("Delete Item=Удалить слово"));
    mCopy->setText(T("Copy Item=Копировать слово"));
}

void TFormDict::SetHighlighter(TRiriHighlighter* H) { Dic->Memo().SetHighlighter(H); }

bool TFormDict::Ask(const QString& Caption, const QString& Text) {
    return QMessageBox::question(this, Caption, Text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TFormDict::ShowMessage(const QString& Text) { QMessageBox::information(this, windowTitle(), Text); }

QString TFormDict::AskFileName(const QString& Folder) {
    return QFileDialog::getOpenFileName(this, T("Select dictionary file=Выберите файл словаря"), Folder,
                                        T("Text files (*.txt *.dic)=Текстовые файлы (*.txt *.dic)") + ";;" +
                                            T("All files (*)=Все файлы (*)"));
}

void TFormDict::SetMode(bool Viewer) {
    FViewer = Viewer;
    PanButtons->setVisible(!Viewer);
    Splitter->widget(1)->setVisible(!Viewer);
    Splitter->handle(1)->setVisible(!Viewer);
    Dic->Memo().ReadOnly = Viewer;
}

void TFormDict::ApplyMainFont() {
    if (!FMain) return;
    TFontSpec f = FMain->Font();
    f.Size = std::min(f.Size, 12);
    QFont qf = font();
    qf.setFamily(QString::fromStdString(f.Name));
    qf.setPointSize(std::max(1, f.Size));
    setFont(qf);
    Dic->Memo().SetFont(f);
    Dic->Memo().RussianInterface = FMain->RussianInterface;
}

void TFormDict::ShowDictionary(const TDictOptions& Options, bool Russian, bool OnTop) {
    const bool wasViewer = FViewer;
    FOptions = Options;
    FRussian = Russian;
    SetMode(false);
    if (wasViewer) Dic->Memo().Clear();
    FTextToFind.clear();
    Relabel();
    setWindowFlag(Qt::WindowStaysOnTopHint, OnTop);
    FSeparator = ValueSeparator(FOptions.Separ);
    ApplyMainFont();
    if (windowTitle().isEmpty() || wasViewer) setWindowTitle(QString::fromStdString(FOptions.Dictionary));
    if (!isVisible()) {
        TBounds b{x(), y(), width(), height()};
        const bool maximized = ReadPlacement(FOptions.DictSize, b);
        setGeometry(b.Left, b.Top, b.Width, b.Height);
        if (maximized) setWindowState(windowState() | Qt::WindowMaximized);
    }
    show();
    raise();
    activateWindow();
    LookupAndShow(false);
    Ed->setFocus();
}

bool TFormDict::ShowViewer(const std::string& Path, const QString& Caption, const std::string& FindText, bool Russian) {
    TDudiRiri& m = Dic->Memo();
    try {
        TFileStream in(Path, TFileStream::fmOpenRead);
        m.ReadOnly = false;
        m.LoadFromStream(in);
    } catch (const EStreamError&) {
        return false;
    }
    FRussian = Russian;
    Relabel();
    SetMode(true);
    ApplyMainFont();
    setWindowTitle(Caption);
    resize(700, 500);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(350, 250));
    FTextToFind = FindText;
    m.SetSelStart(0);
    if (!FindText.empty() && m.FindText(FindText, true, true, false, false)) m.KeepCaretInView();
    exec();
    return true;
}

void TFormDict::AddToHistory(const QString& S) {
    if (S.isEmpty() || Ed->findText(S, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) return;
    const QString keep = Ed->currentText();
    Ed->addItem(S);
    Ed->setEditText(keep);
}

std::string TFormDict::Lookup(const std::string& FileName, bool FromList, bool Silent) {
    FStop = false;
    TDictQuery q = QueryFromField(FromQString(Ed->currentText()));
    if (FromList) {
        QListWidgetItem* it = Lb->currentItem();
        if (!it) return {};
        q.Text = FromQString(it->text());
        q.FromList = true;
        if (!q.Wildcard()) {
            Ed->setEditText(it->text());
            ClearList();
        }
    } else if (!Silent) {
        ClearList();
    }
    // The history keeps the search as typed, stars included, so that picking it repeats it.
    AddToHistory(FromList ? ToQString(q.Text) : Ed->currentText().trimmed());
    if (q.Text.empty() || FileName.empty() || !FileExists(FileName)) {
        Pan->clear();
        UpdateButtons();
        return {};
    }
    TBusyCursor busy;
    FBusy = true;
    if (!Silent) Lb->setUpdatesEnabled(false);
    q.Silent = Silent;
    q.Delim = FOptions.Delim;
    q.Separator = FSeparator;
    const bool isDictionary = FileName == FOptions.Dictionary;
    q.CountLines = isDictionary;
    TDictResult r;
    try {
        r = LookupDictFile(FileName, q, [this](std::int64_t) {
            QApplication::processEvents();
            return !FStop;
        });
    } catch (const EStreamError& e) {
        ShowMessage(QString::fromStdString(e.what()));
    }
    if (isDictionary && r.LineCount >= 0) SetCaptionToFile(r.LineCount);
    int selected = -1;
    if (!r.Listed.empty()) {
        // One insertion for all the keys: a wildcard may list a hundred thousand.
        QStringList keys;
        keys.reserve(static_cast<qsizetype>(r.Listed.size()));
        for (const TDictKey& k : r.Listed) {
            keys << ToQString(k.Key);
            FLineOf.push_back(k.Line);
        }
        Lb->addItems(keys);
    }
    if (Lb->count() > 0) {
        for (int i = 0; i < Lb->count() && r.Remembered; ++i)
            if (LineOf(i) == r.Selected.Line) selected = i;
        Lb->setCurrentRow(selected >= 0 ? selected : 0);
        Lb->scrollToItem(Lb->currentItem());
    }
    Pan->setText(q.Wildcard() && !r.Listed.empty() ? QString::fromStdString(FormatCount(static_cast<std::int64_t>(r.Listed.size())))
                                                   : QString());
    if (!Silent) Lb->setUpdatesEnabled(true);
    FBusy = false;
    UpdateButtons();
    return r.Value;
}

void TFormDict::ClearList() {
    Lb->clear();
    FLineOf.clear();
}

std::int64_t TFormDict::LineOf(int Row) const {
    return Row >= 0 && static_cast<std::size_t>(Row) < FLineOf.size() ? FLineOf[static_cast<std::size_t>(Row)] : -1;
}

void TFormDict::SetCaptionToFile(std::int64_t Lines) {
    setWindowTitle(QString::fromStdString(FormatCount(Lines) + " : " + FOptions.Dictionary));
}

void TFormDict::ShowResult(const std::string& Text) {
    TDudiRiri& m = Dic->Memo();
    m.SetTextBuf(Text);
    m.SetSelStart(0);
}

void TFormDict::LookupAndShow(bool FromList) {
    if (FBusy || FViewer) return;
    ShowResult(Lookup(FOptions.Dictionary, FromList, false));
}

void TFormDict::SearchClick() {
    if (FListLastFocused && Lb->currentItem()) LookupAndShow(true);
    else LookupAndShow(false);
}

void TFormDict::SearchAllFiles() {
    if (FBusy || FViewer || !FileExists(FOptions.Dictionary)) return;
    std::string collected;
    for (const std::string& f : FilesOfFolder(FolderOf(FOptions.Dictionary))) {
        collected += '\r';
        collected += Lookup(f, false, true);
        if (FStop) break;
        QApplication::processEvents();
        if (FStop) break;
    }
    ShowResult(Trimmed(collected));
}

void TFormDict::UpdateButtons() {
    const QString text = Ed->currentText().trimmed();
    ButOk->setEnabled(!text.isEmpty());
    ButAdd->setEnabled(!text.isEmpty());
    ButAll->setEnabled(!text.isEmpty() && !text.contains('*'));
    const bool listed = Lb->count() > 0;
    mChange->setEnabled(listed);
    mDelete->setEnabled(listed);
    mCopy->setEnabled(listed);
    // A plain field until the history offers something to choose.
    Ed->setStyleSheet(Ed->count() >= 2 ? QString() : QString("QComboBox::drop-down { width: 0px; border: 0px; }"));
}

void TFormDict::AddClick() {
    const std::string k = Trimmed(FromQString(Ed->currentText()));
    if (k.empty() || FOptions.Dictionary.empty() || FBusy) return;
    const std::string v = JoinValueLines(Dic->Memo().Text(), FSeparator);
    const std::string line = v.empty() ? k : !FOptions.Delim.empty() ? k + FOptions.Delim + v : v;
    // The confirmation and the append (sorting after it with AddSort) are the sort window's.
    if (TFormSort::AddDictionaryItem(this, FOptions.Dictionary, line, FOptions.AddSort, FRussian)) LookupAndShow(false);
}

void TFormDict::ChangeOrDelete(bool Delete) {
    QListWidgetItem* it = Lb->currentItem();
    if (!it || FBusy) return;
    const std::string e = FromQString(it->text());
    const std::int64_t line = LineOf(Lb->row(it));
    const QString q = Delete ? T("Delete Item=Удалить слово") + "\n" + it->text() + "???"
                             : T("Change Item=Заменить слово") + "\n" + it->text() + "\n" + T("with new value?=на новое?");
    if (!Ask(windowTitle(), q)) return;
    bool done = false;
    try {
        if (Delete) {
            done = ReplaceDictLine(FOptions.Dictionary, line, e, FOptions.Delim, nullptr);
        } else {
            const std::string v = JoinValueLines(Dic->Memo().Text(), FSeparator);
            const std::string newLine = FOptions.Delim.empty() ? v : e + FOptions.Delim + v;
            done = ReplaceDictLine(FOptions.Dictionary, line, e, FOptions.Delim, &newLine);
        }
    } catch (const EStreamError& x) {
        ShowMessage(QString::fromStdString(x.what()));
        return;
    }
    if (done && Delete) LookupAndShow(false);
}

void TFormDict::CopyItem() {
    if (QListWidgetItem* it = Lb->currentItem()) QApplication::clipboard()->setText(it->text());
}

void TFormDict::SelectFileClick() {
    if (FBusy) return;
    const QString name = AskFileName(QString::fromStdString(FolderOf(FOptions.Dictionary)));
    if (name.isEmpty()) return;
    FOptions.Dictionary = name.toStdString();
    setWindowTitle(name);
    Pan->clear();
    if (OnOptionsChanged) OnOptionsChanged(FOptions);
    LookupAndShow(false);
}

void TFormDict::SortClick() {
    if (FBusy || !FileExists(FOptions.Dictionary)) return;
    const QString caption = windowTitle();
    if (!TFormSort::SortDictionaryFile(this, FOptions.Dictionary, FRussian)) return;
    setWindowTitle(caption);
    LookupAndShow(false);
}

void TFormDict::FindAgain(bool Forward) {
    const std::string text = !FTextToFind.empty() ? FTextToFind : Trimmed(FromQString(Ed->currentText()));
    if (text.empty()) return;
    TDudiRiri& m = Dic->Memo();
    if (m.FindText(text, Forward, false, false, false)) {
        m.KeepCaretInView();
        return;
    }
    ShowMessage(ToQString(text) + "\n" + T("Not found!=Не найден!") + "        ");
}

void TFormDict::InsertIntoMain() {
    if (FViewer || !FMain || FMain->ReadOnly) return;
    FMain->SetSelTextBuf(Dic->Memo().Text());
    close();
}

void TFormDict::DicDoubleClick() {
    if (FViewer || FBusy) return;
    const std::string word = Trimmed(Dic->Memo().SelText());
    if (word.empty() || word.find_first_of("\r\n") != std::string::npos) return;
    Ed->setEditText(ToQString(word));
    LookupAndShow(false);
}

bool TFormDict::eventFilter(QObject* O, QEvent* E) {
    if (E->type() == QEvent::FocusIn) {
        if (O == Lb) FListLastFocused = true;
        else if (O == Ed || O == Ed->lineEdit()) FListLastFocused = false;
    }
    if (O == Dic && E->type() == QEvent::KeyPress && WindowKey(static_cast<QKeyEvent*>(E))) return true;
    if (O == Lb && E->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(E)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            LookupAndShow(true);
            return true;
        }
    }
    return QDialog::eventFilter(O, E);
}

bool TFormDict::WindowKey(QKeyEvent* E) {
    const bool shift = E->modifiers() & Qt::ShiftModifier;
    if ((E->modifiers() & ~Qt::ShiftModifier & ~Qt::KeypadModifier) != 0) return false;
    switch (E->key()) {
        case Qt::Key_F3: FindAgain(!shift); return true;
        case Qt::Key_F8:
            if (shift) return false;
            InsertIntoMain();
            return true;
        case Qt::Key_Escape:
            if (shift) return false;
            close();
            return true;
        default: return false;
    }
}

void TFormDict::keyPressEvent(QKeyEvent* E) {
    if (!WindowKey(E)) QDialog::keyPressEvent(E);
}

// Every way of closing (the close button, Esc, close()) ends here.
void TFormDict::reject() {
    // A running lookup or all-files search ends after its current line or file.
    FStop = true;
    if (!FViewer) {
        const TBounds b{x(), y(), width(), height()};
        const std::string placement = PlacementToStore(FOptions.DictSize, b, isMaximized());
        if (placement != FOptions.DictSize) {
            FOptions.DictSize = placement;
            if (OnOptionsChanged) OnOptionsChanged(FOptions);
        }
    }
    QDialog::reject();
}

}  // namespace tarvex
