#include "tools/qt/form_cont.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <chrono>

#include "editor/dudi_riri.h"
#include "platform/qt_text.h"
#include "textstore/stream.h"
#include "tools/bookmark_commands.h"
#include "tools/line_text.h"
#include "tools/qt/texts.h"

namespace tarvex {

namespace {

constexpr const char* kFilter =
    "Bookmark files (*.bkm);;Text files (*.txt);;All files (*)="
    "Файлы закладок (*.bkm);;Текстовые файлы (*.txt);;Все файлы (*)";

// How long one slice of the headline scan may take before the window answers again.
constexpr std::chrono::milliseconds kScanSlice{30};

QToolButton* SpeedButton(QWidget* Parent, const char* Name, const QString& Glyph) {
    auto* b = new QToolButton(Parent);
    b->setObjectName(Name);
    b->setText(Glyph);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}  // namespace

TFormCont::TPrompts TFormCont::TPrompts::Dialogs() {
    TPrompts p;
    p.Confirm = [](QWidget* Parent, const QString& Q) {
        return QMessageBox::question(Parent, Parent->windowTitle(), Q, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    p.Input = [](QWidget* Parent, const QString& Caption, QString& Text) {
        bool ok = false;
        const QString r = QInputDialog::getText(Parent, Caption, Caption, QLineEdit::Normal, Text, &ok);
        if (ok) Text = r;
        return ok;
    };
    p.OpenFileName = [](QWidget* Parent, const QString& Title, const QString& Filter) {
        return QFileDialog::getOpenFileName(Parent, Title, {}, Filter);
    };
    p.SaveFileName = [](QWidget* Parent, const QString& Title, const QString& Filter, const QString& Name) {
        return QFileDialog::getSaveFileName(Parent, Title, Name, Filter);
    };
    p.Error = [](QWidget* Parent, const QString& M) { QMessageBox::warning(Parent, Parent->windowTitle(), M); };
    return p;
}

TFormCont::TFormCont(TDudiRiri& M, TBookmarks& Marks, bool Russian, QWidget* Parent)
    : QDialog(Parent), FMemo(M), FMarks(Marks), FRussian(Russian), FLastPosition(M.SelStart()) {
    setObjectName("FormCont");
    setWindowTitle(T("Bookmarks & Headlines=Закладки и заголовки"));
    setWindowFlag(Qt::WindowMinimizeButtonHint);

    ButFirst = SpeedButton(this, "ButFirst", QString::fromUtf8("|◀"));
    ButFirst->setToolTip(T("First position=Начальная позиция"));
    ButLast = SpeedButton(this, "ButLast", QString::fromUtf8("▶|"));
    ButLast->setToolTip(T("Last position=Последняя позиция"));
    ButAdd = SpeedButton(this, "ButAdd", "+");
    ButAdd->setToolTip(T("Add current position=Добавить текущую позицию"));
    ButDelete = SpeedButton(this, "ButDelete", QString::fromUtf8("−"));
    ButDelete->setToolTip(T("Delete bookmark from list=Удалить закладку из списка"));
    ButEdit = SpeedButton(this, "ButEdit", QString::fromUtf8("✎"));
    ButEdit->setToolTip(T("Edit bookmark=Изменить закладку"));
    ButMarks = SpeedButton(this, "ButMarks", T("Marks=Закладки"));
    ButMarks->setToolTip(T("User's bookmarks=Закладки пользователя"));
    ButContent = SpeedButton(this, "ButContent", T("Content=Оглавление"));
    ButContent->setToolTip(T("Book content=Оглавление книги"));
    for (QToolButton* b : {ButMarks, ButContent}) b->setCheckable(true);
    auto* views = new QButtonGroup(this);
    views->setExclusive(true);
    views->addButton(ButMarks);
    views->addButton(ButContent);
    ButMarks->setChecked(true);

    LbList = new QListWidget(this);
    LbList->setObjectName("LbList");
    LbList->setUniformItemSizes(true);
    LbList->setContextMenuPolicy(Qt::CustomContextMenu);
    LbCount = new QLabel(this);
    LbCount->setObjectName("LbCount");

    PopupMenu = new QMenu(this);
    mLoad = PopupMenu->addAction(T("Load from file...=Загрузить из файла..."));
    mLoad->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    mSave = PopupMenu->addAction(T("Save to file...=Сохранить в файл..."));
    mSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mCopy = PopupMenu->addAction(T("Copy line=Копировать строку"));
    mCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    for (QAction* a : {mLoad, mSave, mCopy}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }

    auto* bar = new QHBoxLayout;
    for (QToolButton* b : {ButFirst, ButLast, ButAdd, ButDelete, ButEdit}) bar->addWidget(b);
    bar->addStretch();
    bar->addWidget(ButMarks);
    bar->addWidget(ButContent);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(LbList);
    layout->addWidget(LbCount);
    resize(420, 360);

    connect(ButFirst, &QToolButton::clicked, this, &TFormCont::GoToFirstPosition);
    connect(ButLast, &QToolButton::clicked, this, &TFormCont::GoToLastPosition);
    connect(ButAdd, &QToolButton::clicked, this, &TFormCont::AddPosition);
    connect(ButDelete, &QToolButton::clicked, this, &TFormCont::DeleteSelected);
    connect(ButEdit, &QToolButton::clicked, this, &TFormCont::EditSelected);
    connect(ButMarks, &QToolButton::clicked, this, &TFormCont::ShowMarks);
    connect(ButContent, &QToolButton::clicked, this, &TFormCont::ShowContent);
    connect(LbList, &QListWidget::itemDoubleClicked, this, [this] { GoToSelected(); });
    connect(LbList, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& P) { PopupMenu->popup(LbList->viewport()->mapToGlobal(P)); });
    connect(mLoad, &QAction::triggered, this, &TFormCont::LoadList);
    connect(mSave, &QAction::triggered, this, &TFormCont::SaveList);
    connect(mCopy, &QAction::triggered, this, &TFormCont::CopyLine);

    Fill(FMarks.LastJumped >= 0 ? FMarks.LastJumped : FMarks.Count() - 1);
    LbList->setFocus();
}

QString TFormCont::T(const char* EnRu) const { return Tr(EnRu, FRussian); }

const std::vector<std::string>& TFormCont::Current() const { return FContentView ? FContent : FMarks.Items(); }

void TFormCont::Fill(std::int32_t Select) {
    LbList->clear();
    const std::vector<std::string>& items = Current();
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& s : items) rows << ToQString(s);
    LbList->addItems(rows);
    if (!items.empty()) LbList->setCurrentRow(std::clamp(Select, 0, static_cast<std::int32_t>(items.size()) - 1));
    UpdateCount();
}

void TFormCont::UpdateCount() {
    LbCount->setText(QString::fromStdString(FormatCount(static_cast<std::int64_t>(Current().size()))));
}

void TFormCont::ShowMarks() {
    if (FScanning) FStopScan = true;
    FContentView = false;
    ButMarks->setChecked(true);
    Fill(FMarks.LastJumped >= 0 ? FMarks.LastJumped : FMarks.Count() - 1);
}

void TFormCont::ShowContent() {
    if (FScanning) return;
    FContentView = true;
    ButContent->setChecked(true);
    if (!FContentDone) RunScan();
    if (FContentView) Fill(0);
}

void TFormCont::RunScan() {
    FScanning = true;
    FStopScan = false;
    FContent.clear();
    LbList->clear();
    THeadlineScan scan(FMemo.Pars, Headlines);
    for (;;) {
        const bool done = scan.Step(std::chrono::steady_clock::now() + kScanSlice);
        LbCount->setText(QString::number(scan.Percent()) + "%");
        if (done) break;
        // The window answers between slices; Esc, closing or minimising set FStopScan.
        QApplication::processEvents(QEventLoop::AllEvents);
        if (FStopScan) break;
    }
    FContentDone = scan.Done();
    FContent = scan.TakeEntries();
    FScanning = false;
    UpdateCount();
}

void TFormCont::Jumped() {
    if (OnJump) OnJump();
}

void TFormCont::GoToSelected() {
    const int row = LbList->currentRow();
    if (FScanning || row < 0 || row >= static_cast<int>(Current().size())) return;
    const std::string& entry = Current()[static_cast<std::size_t>(row)];
    if (FContentView) {
        const std::int64_t n = HeadlineParagraph(entry);
        if (n < 1) return;
        GoToParagraph(FMemo, n);
    } else {
        const std::optional<TPos> p = BookmarkPosition(entry);
        if (!p) return;
        GoToPosition(FMemo, *p);
        FMarks.LastJumped = row;
    }
    Jumped();
}

void TFormCont::GoToFirstPosition() {
    GoToPosition(FMemo, FirstPosition);
    Jumped();
}

void TFormCont::GoToLastPosition() {
    GoToPosition(FMemo, FLastPosition);
    Jumped();
}

void TFormCont::AddPosition() {
    if (FScanning) return;
    AddCurrentPosition(FMemo, FMarks, MarkCount);
    FContentView = false;
    ButMarks->setChecked(true);
    Fill(FMarks.Count() - 1);
}

void TFormCont::DeleteSelected() {
    const int row = LbList->currentRow();
    if (FScanning || row < 0 || row >= static_cast<int>(Current().size())) return;
    if (!Prompts.Confirm(this, T("Delete bookmark from list (Del)=Удалить закладку из списка (Del)") + "?")) return;
    if (FContentView)
        FContent.erase(FContent.begin() + row);
    else
        FMarks.Delete(row);
    Fill(row - 1);
}

void TFormCont::EditSelected() {
    const int row = LbList->currentRow();
    if (FScanning || row < 0 || row >= static_cast<int>(Current().size())) return;
    const std::string entry = Current()[static_cast<std::size_t>(row)];
    // A bookmark keeps its position, a headline its paragraph number.
    std::string label;
    if (FContentView) {
        const std::size_t eq = entry.rfind('=');
        label = std::string(TrimBlanks(std::string_view(entry).substr(0, eq)));
    } else {
        label = std::string(BookmarkLabel(entry));
    }
    QString text = ToQString(label);
    if (!Prompts.Input(this, T("Edit bookmark=Изменить закладку"), text)) return;
    const std::string changed = FromQString(text);
    if (changed.empty() || changed == label) return;
    if (FContentView) {
        const std::size_t eq = entry.rfind('=');
        FContent[static_cast<std::size_t>(row)] =
            changed + (eq == std::string::npos ? std::string() : " " + entry.substr(eq));
    } else {
        FMarks.SetLabel(row, changed);
    }
    Fill(row);
}

void TFormCont::LoadList() {
    if (FScanning) return;
    const QString title = FContentView ? T("Load content list=Загрузить оглавление")
                                       : T("Load bookmarks list=Загрузить список закладок");
    const QString name = Prompts.OpenFileName(this, title, T(kFilter));
    if (name.isEmpty()) return;
    try {
        if (FContentView) {
            FContent = LoadLinesFromFile(ToFileName(name));
            FContentDone = true;
        } else {
            FMarks.LoadFromFile(ToFileName(name));
        }
    } catch (const std::exception& e) {
        Prompts.Error(this, QString::fromLocal8Bit(e.what()));
    }
    Fill(0);
}

void TFormCont::SaveList() {
    if (FScanning) return;
    QString proposal;
    if (!DocumentName.empty()) {
        std::string stem = DocumentName.substr(DocumentName.find_last_of('/') + 1);
        const std::size_t dot = stem.find_last_of('.');
        if (dot != std::string::npos && dot > 0) stem.resize(dot);
        proposal = FromFileName(stem);
    }
    QString name = Prompts.SaveFileName(this, mSave->text().remove("..."), T(kFilter), proposal);
    if (name.isEmpty()) return;
    const QString base = name.mid(name.lastIndexOf('/') + 1);
    if (!base.contains('.')) name += ".txt";
    try {
        SaveLinesToFile(ToFileName(name), Current());
    } catch (const std::exception& e) {
        Prompts.Error(this, QString::fromLocal8Bit(e.what()));
    }
}

void TFormCont::CopyLine() {
    if (QListWidgetItem* it = LbList->currentItem()) QApplication::clipboard()->setText(it->text());
}

void TFormCont::keyPressEvent(QKeyEvent* E) {
    if (E->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        QDialog::keyPressEvent(E);
        return;
    }
    switch (E->key()) {
        case Qt::Key_Insert: AddPosition(); return;
        case Qt::Key_Delete: DeleteSelected(); return;
        case Qt::Key_F5: EditSelected(); return;
        case Qt::Key_F9:
            if (FContentView || FScanning)
                ShowMarks();
            else
                ShowContent();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter: GoToSelected(); return;
        default: QDialog::keyPressEvent(E);
    }
}

void TFormCont::changeEvent(QEvent* E) {
    if (E->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) FStopScan = true;
    QDialog::changeEvent(E);
}

void TFormCont::closeEvent(QCloseEvent* E) {
    FStopScan = true;
    QDialog::closeEvent(E);
}

void TFormCont::reject() {
    // Esc first stops a scan under way; once nothing runs it closes.
    if (FScanning) {
        FStopScan = true;
        return;
    }
    QDialog::reject();
}

}  // namespace tarvex
