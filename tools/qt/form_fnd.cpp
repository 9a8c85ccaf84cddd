#include "tools/qt/form_fnd.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "editor/qt/riri_widget.h"
#include "platform/interface_text.h"
#include "platform/codepage.h"
#include "platform/placement.h"
#include "platform/qt_text.h"

namespace tarvex {

namespace {

QString Q(const std::string& Utf8) { return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())); }
std::string U(const QString& S) { return S.toUtf8().toStdString(); }

constexpr int kPosRole = Qt::UserRole;
constexpr std::int64_t kMaxInitialSelection = 65536;

// The captions, "English=Russian".
constexpr const char* kCaption = "&Find/Replace=&Найти/Заменить";
constexpr const char* kLabFind = "Text to find=Искать текст";
constexpr const char* kLabReplace = "Replace with=Заменить на";
constexpr const char* kChReg = "Match case=Учесть регистр";
constexpr const char* kChWord = "Whole words only=Слово целиком";
constexpr const char* kChTab = "CR = ^p, TAB = ^t";  // the same in both languages
constexpr const char* kRbGlob = "Global text=По всему документу";
constexpr const char* kRbCur = "From cursor=От курсора";
constexpr const char* kRbSel = "Selected text=В выделенном";
constexpr const char* kButFind = "Find=Найти";
constexpr const char* kButList = "Find all=Найти все";
constexpr const char* kButReplace = "Replace with=Заменить на";
constexpr const char* kButReplaceAll = "Replace all=Заменить все";
constexpr const char* kButCount = "To count=Посчитать";
constexpr const char* kButClose = "Close=Закрыть";
constexpr const char* kCountHint = "LeftClick - text back, RightClick - text forward";
constexpr const char* kGoTo = "Go to found line=К найденной строке";
constexpr const char* kBack = "Text back=Назад по тексту";
constexpr const char* kForward = "Text forward=Вперёд по тексту   ";

// Each entry is its text drawn one pixel right of and below the item's corner.
// The item height is the combo boxes' item height (the same font) + 2.
class TResultDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* P, const QStyleOptionViewItem& O, const QModelIndex& I) const override {
        const bool selected = O.state & QStyle::State_Selected;
        P->fillRect(O.rect, selected ? O.palette.highlight() : O.palette.base());
        P->setPen(selected ? O.palette.highlightedText().color() : O.palette.text().color());
        P->setFont(O.font);
        const QFontMetrics fm(O.font);
        P->drawText(O.rect.topLeft() + QPoint(1, 1 + fm.ascent()), I.data(Qt::DisplayRole).toString());
    }
    QSize sizeHint(const QStyleOptionViewItem& O, const QModelIndex& I) const override {
        const QFontMetrics fm(O.font);
        return {fm.horizontalAdvance(I.data(Qt::DisplayRole).toString()) + 2, fm.height() + 2};
    }
};


// The text a search starts with: the selection when it is 1 to 65,536
// characters long, else the word at the caret.
std::string InitialSearchText(TDudiRiri& M) {
    const TPos n = std::abs(M.SelLength());
    if (n >= 1 && n <= kMaxInitialSelection) return M.SelText();
    TRiriNavigator at(&M);
    at.SetPos(M.SelStart());
    return at.CurrentWord();
}

}  // namespace

void TCountLabel::mousePressEvent(QMouseEvent* E) {
    if (OnScroll && (E->button() == Qt::LeftButton || E->button() == Qt::RightButton))
        OnScroll(E->button() == Qt::RightButton);
    QLabel::mousePressEvent(E);
}

TFormFnd::TFormFnd(TRiriWidget& Editor, TSearchState& State, TFindSettings& Settings, TPrompts& Prompts,
                   const TFindDialogSetup& Setup, QWidget* Parent)
    : QDialog(Parent), FEditor(Editor), S(State), FSettings(Settings), P(Prompts), FSetup(Setup) {
    setObjectName("FormFnd");
    CreateControls();
    Relabel();
    if (Setup.AlwaysOnTop) setWindowFlag(Qt::WindowStaysOnTopHint, true);

    TDudiRiri& m = FEditor.Memo();
    RbSel->setVisible(m.SelLength() != 0);
    // The editor's font, no larger than 12 points.
    QFont f(QString::fromStdString(m.Font().Name));
    f.setPointSize(std::min<int>(std::max<int>(m.Font().Size, 1), 12));
    CbFind->setFont(f);
    CbReplace->setFont(f);
    Lb->setFont(f);

    FillHistory(CbFind, S.FindHistory);
    FillHistory(CbReplace, S.ReplaceHistory);
    std::string initial = Setup.InitialText;
    bool escapes = S.Escapes;
    if (initial.find_first_of("\r\n\t") != std::string::npos) {
        // A text with breaks or tabs is shown with its escapes, and searched for with them.
        initial = DisplayText(initial.substr(0, kMaxInitialSelection), true);
        escapes = true;
    }
    CbFind->setEditText(ToQString(initial));
    CbReplace->setEditText(QString());
    ChReg->setChecked(S.MatchCase);
    ChWord->setChecked(S.WholeWord);
    ChTab->setChecked(escapes);
    UpdateButtons();
}

TFormFnd::~TFormFnd() = default;

QString TFormFnd::Text(const char* Bi) const { return Q(Bilingual(Bi, FSetup.Russian)); }

void TFormFnd::CreateControls() {
    auto* grid = new QGridLayout(this);
    LabFind = new QLabel(this);
    CbFind = new QComboBox(this);
    CbFind->setObjectName("CbFind");
    LabReplace = new QLabel(this);
    CbReplace = new QComboBox(this);
    CbReplace->setObjectName("CbReplace");
    for (QComboBox* c : {CbFind, CbReplace}) {
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setMinimumWidth(260);
        c->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    LabFind->setBuddy(CbFind);
    LabReplace->setBuddy(CbReplace);
    grid->addWidget(LabFind, 0, 0);
    grid->addWidget(CbFind, 1, 0);
    grid->addWidget(LabReplace, 2, 0);
    grid->addWidget(CbReplace, 3, 0);

    auto* options = new QWidget(this);
    auto* ol = new QGridLayout(options);
    ol->setContentsMargins(0, 0, 0, 0);
    ChReg = new QCheckBox(options);
    ChWord = new QCheckBox(options);
    ChTab = new QCheckBox(options);
    RbGlob = new QRadioButton(options);
    RbCur = new QRadioButton(options);
    RbSel = new QRadioButton(options);
    RbGlob->setChecked(true);
    ol->addWidget(ChReg, 0, 0);
    ol->addWidget(ChWord, 1, 0);
    ol->addWidget(ChTab, 2, 0);
    ol->addWidget(RbGlob, 0, 1);
    ol->addWidget(RbCur, 1, 1);
    ol->addWidget(RbSel, 2, 1);
    grid->addWidget(options, 4, 0);

    auto* buttons = new QVBoxLayout;
    ButFind = new QPushButton(this);
    ButList = new QPushButton(this);
    ButReplace = new QPushButton(this);
    ButReplaceAll = new QPushButton(this);
    ButCount = new QPushButton(this);
    ButClose = new QPushButton(this);
    for (QPushButton* b : {ButFind, ButList, ButReplace, ButReplaceAll, ButCount, ButClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    ButFind->setDefault(true);
    ButFind->setToolTip("F3");
    ButList->setToolTip("Ctrl+F3");
    ButReplace->setToolTip("F4");
    ButReplaceAll->setToolTip("Ctrl+F4");
    ButCount->setToolTip("F5");
    ButClose->setToolTip("Esc");
    buttons->addStretch(1);
    LbCount = new TCountLabel(this);
    LbCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    buttons->addWidget(LbCount);
    grid->addLayout(buttons, 0, 1, 5, 1);

    Lb = new QListWidget(this);
    Lb->setObjectName("Lb");
    Lb->setUniformItemSizes(true);
    Lb->setItemDelegate(new TResultDelegate(Lb));
    Lb->setContextMenuPolicy(Qt::CustomContextMenu);
    grid->addWidget(Lb, 5, 0, 1, 2);
    grid->setRowStretch(5, 1);
    Lb->hide();
    LbCount->hide();
    LbMenu = new QMenu(this);

    connect(ButFind, &QPushButton::clicked, this, [this] { ButFindClick(); });
    connect(ButList, &QPushButton::clicked, this, [this] { ButListClick(); });
    connect(ButReplace, &QPushButton::clicked, this, [this] { ButReplaceClick(); });
    connect(ButReplaceAll, &QPushButton::clicked, this, [this] { ButReplaceAllClick(); });
    connect(ButCount, &QPushButton::clicked, this, [this] { ButCountClick(); });
    connect(ButClose, &QPushButton::clicked, this, [this] { reject(); });
    connect(CbFind, &QComboBox::editTextChanged, this, [this] { UpdateButtons(); });
    for (QRadioButton* r : {RbGlob, RbCur, RbSel}) connect(r, &QRadioButton::toggled, this, [this] { UpdateButtons(); });
    connect(Lb, &QListWidget::itemDoubleClicked, this, [this] { LbDblClick(); });
    connect(Lb, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& P) { LbMenu->popup(Lb->viewport()->mapToGlobal(P)); });
    LbCount->OnScroll = [this](bool Forward) { ScrollText(Forward); };
    // The dialog sees the function keys before the control that has the focus.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void TFormFnd::Relabel() {
    QString caption = Text(kCaption);
    caption.remove('&');
    setWindowTitle(caption);
    LabFind->setText(Text(kLabFind));
    LabReplace->setText(Text(kLabReplace));
    ChReg->setText(Text(kChReg));
    ChWord->setText(Text(kChWord));
    ChTab->setText(QString::fromLatin1(kChTab));
    RbGlob->setText(Text(kRbGlob));
    RbCur->setText(Text(kRbCur));
    RbSel->setText(Text(kRbSel));
    ButFind->setText(Text(kButFind));
    ButList->setText(Text(kButList));
    ButReplace->setText(Text(kButReplace));
    ButReplaceAll->setText(Text(kButReplaceAll));
    ButCount->setText(Text(kButCount));
    ButClose->setText(Text(kButClose));
    LbCount->setToolTip(QString::fromLatin1(kCountHint));
    LbMenu->clear();
    LbMenu->addAction(Text(kGoTo) + "   (DblClick or Enter)", this, [this] { LbDblClick(); });
    LbMenu->addAction(Text(kBack) + "            (Ctrl+ArUp)", this, [this] { ScrollText(false); });
    LbMenu->addAction(Text(kForward) + "       (Ctrl+ArDn)", this, [this] { ScrollText(true); });
}

void TFormFnd::FillHistory(QComboBox* Box, const TFindHistory& H) {
    const QString text = Box->currentText();
    const QSignalBlocker block(Box);
    Box->clear();
    for (const std::string& item : H.Items) Box->addItem(Q(item));
    Box->setCurrentIndex(-1);
    Box->setEditText(text);
}

TFindRange TFormFnd::Range() const {
    if (RbSel->isChecked()) return frSelection;
    return RbCur->isChecked() ? frFromCursor : frGlobal;
}

TFindDialogValues TFormFnd::Values() const {
    TFindDialogValues v;
    v.FindText = U(CbFind->currentText());
    v.ReplaceText = U(CbReplace->currentText());
    v.MatchCase = ChReg->isChecked();
    v.WholeWord = ChWord->isChecked();
    v.Escapes = ChTab->isChecked();
    v.Range = Range();
    return v;
}

void TFormFnd::UpdateButtons() {
    const bool text = !CbFind->currentText().isEmpty();
    ButFind->setEnabled(text && !RbSel->isChecked());
    ButReplace->setEnabled(text && !RbSel->isChecked());
    ButList->setEnabled(text);
    ButReplaceAll->setEnabled(text);
    ButCount->setEnabled(text);
}

void TFormFnd::TakeSearchParams() {
    S.TakeSearchParams(Values());
    // The combo lists show the histories as they now stand.
    CbFind->hidePopup();
    FillHistory(CbFind, S.FindHistory);
    FillHistory(CbReplace, S.ReplaceHistory);
    S.Store(FSettings);
}

TFindCommands TFormFnd::Commands() { return TFindCommands(FEditor.Memo(), S, P, FSetup.Russian); }

bool TFormFnd::ListShown() const { return Lb->isVisible(); }

void TFormFnd::ShowList(bool Show) {
    if (Show == ListShown()) return;
    if (Show) {
        FCompact = size();
        Lb->show();
        LbCount->show();
        resize(static_cast<int>(std::max<std::int64_t>(FSettings.FndWd, 100)),
               static_cast<int>(std::max<std::int64_t>(FSettings.FndHt, 100)));
    } else {
        FSettings.FndWd = width();
        FSettings.FndHt = height();
        Lb->hide();
        Lb->clear();
        LbCount->hide();
        LbCount->clear();
        if (FCompact.isValid()) resize(FCompact);
        FListChars = -1;
    }
}

bool TFormFnd::ListCurrent() {
    const TFindDialogValues v = Values();
    const TFindDialogValues& l = FListValues;
    return ListShown() && v.FindText == l.FindText && v.MatchCase == l.MatchCase && v.WholeWord == l.WholeWord &&
           v.Escapes == l.Escapes && v.Range == l.Range && FEditor.Memo().CharCount() == FListChars;
}

void TFormFnd::ButFindClick() {
    if (CbFind->currentText().isEmpty() || !ButFind->isEnabled()) return;
    if (ListShown()) {
        if (!ListCurrent()) {
            ButListClick();
            return;
        }
        if (Lb->count() == 0) return;
        // The next entry: the one after the entry the caret stands on.
        int row = std::max(Lb->currentRow(), 0);
        if (Lb->item(row)->data(kPosRole).toLongLong() == FEditor.Memo().SelStart()) row = (row + 1) % Lb->count();
        Lb->setCurrentRow(row);
        LbDblClick();
        return;
    }
    TakeSearchParams();
    accept();
}

void TFormFnd::FillList(const std::vector<TFoundEntry>& Entries, std::int64_t Count) {
    Lb->setUpdatesEnabled(false);
    Lb->clear();
    for (const TFoundEntry& e : Entries) {
        auto* item = new QListWidgetItem(QString::number(e.Line) + "=" + ToQString(e.Text));
        item->setData(kPosRole, static_cast<qlonglong>(e.Pos));
        Lb->addItem(item);
    }
    Lb->setUpdatesEnabled(true);
    if (Lb->count() > 0) Lb->setCurrentRow(0);
    Lb->setFocus();
    LbCount->setText(Q(FormatCount(Count)));
}

void TFormFnd::ButListClick() {
    if (CbFind->currentText().isEmpty()) return;
    TakeSearchParams();
    std::vector<TFoundEntry> entries;
    std::int64_t count = 0;
    {
        const TBusyScope busy(P);
        count = ListOccurrences(FEditor.Memo(), S, Range(), kMaxListed, entries);
    }
    if (count > kMaxListed) {
        ShowList(false);
        P.ShowMessage(CountText(find_texts::kFragments, count, FSetup.Russian) + "\n" + find_texts::kTooMany);
        return;
    }
    ShowList(true);
    LbCount->clear();
    FillList(entries, count);
    FListValues = Values();
    FListChars = FEditor.Memo().CharCount();
}

void TFormFnd::ButCountClick() {
    if (CbFind->currentText().isEmpty()) return;
    repaint();
    TakeSearchParams();
    std::int64_t count = 0;
    {
        const TBusyScope busy(P);
        count = CountOccurrences(FEditor.Memo(), S, Range());
    }
    if (OnCounted) OnCounted();
    P.ShowMessage(CountText(find_texts::kFragments, count, FSetup.Russian));
}

void TFormFnd::ButReplaceClick() {
    if (!ButReplace->isEnabled()) return;
    TFindCommands c = Commands();
    if (c.RefuseReadOnly()) return;
    ShowList(false);
    TakeSearchParams();
    c.Replace(!CbReplace->currentText().isEmpty());
}

void TFormFnd::ButReplaceAllClick() {
    if (CbFind->currentText().isEmpty() || !ButReplaceAll->isEnabled()) return;
    TFindCommands c = Commands();
    if (c.RefuseReadOnly()) return;
    TakeSearchParams();
    c.BeforeReplacing = [this] { ShowList(false); };
    if (c.ReplaceAll(Range(), !CbReplace->currentText().isEmpty()) > 0) reject();
}

void TFormFnd::LbDblClick() {
    QListWidgetItem* item = Lb->currentItem();
    if (!item) return;
    GoToEntry(FEditor.Memo(), S, item->data(kPosRole).toLongLong());
}

void TFormFnd::ScrollText(bool Forward) {
    TDudiRiri& m = FEditor.Memo();
    m.SetTopLine(std::max(0, m.TopLine() + (Forward ? 1 : -1)));
}

void TFormFnd::RemoveShownEntry() {
    const QString shown = CbFind->currentText();
    if (S.FindHistory.Remove(U(shown))) {
        CbFind->setEditText(QString());
        FillHistory(CbFind, S.FindHistory);
        if (CbFind->count() > 0) CbFind->hidePopup();
        S.Store(FSettings);
    }
}

void TFormFnd::showEvent(QShowEvent* E) {
    QDialog::showEvent(E);
    if (FPlaced) return;
    FPlaced = true;
    if (!FSettings.FindSize.empty()) {
        TBounds b{x(), y(), width(), height()};
        ReadPlacement(FSettings.FindSize, b);
        setGeometry(b.Left, b.Top, b.Width, b.Height);
    }
    FCompact = size();
    LbCount->hide();
    LbCount->clear();
    FListChars = -1;
    UpdateButtons();
}

void TFormFnd::done(int R) {
    // The size with the list open is kept apart from the compact placement.
    ShowList(false);
    FSettings.FindSize = PlacementString({x(), y(), width(), height()}, false);
    QDialog::done(R);
}

bool TFormFnd::eventFilter(QObject* O, QEvent* E) {
    if (E->type() != QEvent::KeyPress) return QDialog::eventFilter(O, E);
    auto* k = static_cast<QKeyEvent*>(E);
    const bool ctrl = k->modifiers() & Qt::ControlModifier;
    switch (k->key()) {
        case Qt::Key_F3: ctrl ? ButListClick() : ButFindClick(); return true;
        case Qt::Key_F4: ctrl ? ButReplaceAllClick() : ButReplaceClick(); return true;
        case Qt::Key_F5: ButCountClick(); return true;
        case Qt::Key_Escape: reject(); return true;
        default: break;
    }
    const bool inFind = O == CbFind || O == CbFind->lineEdit();
    if (inFind && ctrl && k->key() == Qt::Key_Delete) {
        RemoveShownEntry();
        return true;
    }
    if (O == Lb) {
        if (ctrl && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
            ScrollText(k->key() == Qt::Key_Down);
            return true;
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            LbDblClick();
            return true;
        }
    }
    return QDialog::eventFilter(O, E);
}

bool FindReplaceDialog(TRiriWidget& Editor, TSearchState& State, TFindSettings& Settings, TPrompts& Prompts,
                       bool Russian, bool AlwaysOnTop, QWidget* Parent, std::function<void()> OnCounted) {
    TFindDialogSetup setup;
    setup.Russian = Russian;
    setup.AlwaysOnTop = AlwaysOnTop;
    setup.InitialText = InitialSearchText(Editor.Memo());
    TFormFnd dialog(Editor, State, Settings, Prompts, setup, Parent);
    dialog.OnCounted = std::move(OnCounted);
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (!ok || State.SearchText.empty()) return false;
    return FindNextCommand(Editor, State, Prompts, true, Russian);
}

bool FindNextCommand(TRiriWidget& Editor, TSearchState& State, TPrompts& Prompts, bool Forward, bool Russian) {
    if (State.SearchText.empty()) return false;
    State.Forward = Forward;
    return TFindCommands(Editor.Memo(), State, Prompts, Russian).FindNext();
}

}  // namespace tarvex
