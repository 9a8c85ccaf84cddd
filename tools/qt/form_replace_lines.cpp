#include "tools/qt/form_replace_lines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editor/qt/riri_widget.h"
#include "platform/interface_text.h"
#include "platform/codepage.h"
#include "tools/regex_replace.h"

namespace tarvex {

namespace {

QString Q(const std::string& Utf8) { return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())); }
std::string U(const QString& S) { return S.toUtf8().toStdString(); }

constexpr const char* kCaption = "Replace in Lines...=Заменить пос&трочно...";
constexpr const char* kLabPattern = "Regular expression (PCRE)=Регулярное выражение (PCRE)";
constexpr const char* kLabReplace = "Replace with ($1, ${name}: groups)=Заменить на ($1, ${имя}: группы)";
constexpr const char* kChReg = "Match case=Учесть регистр";
constexpr const char* kRbGlob = "Global text=По всему документу";
constexpr const char* kRbSel = "Selected text=В выделенном";
constexpr const char* kButCount = "To count=Посчитать";
constexpr const char* kButReplaceAll = "Replace all=Заменить все";
constexpr const char* kButClose = "Close=Закрыть";
constexpr const char* kBadPattern = "Bad regular expression:=Ошибка в регулярном выражении:";


}  // namespace

TFormReplaceLines::TFormReplaceLines(TRiriWidget& Editor, TSearchState& State, TFindSettings& Settings,
                                     TPrompts& Prompts, bool Russian, QWidget* Parent)
    : QDialog(Parent), FEditor(Editor), S(State), FSettings(Settings), P(Prompts), FRussian(Russian) {
    setObjectName("FormReplaceLines");
    QString caption = Text(kCaption);
    caption.remove('&');
    caption.remove("...");
    setWindowTitle(caption);

    auto* grid = new QGridLayout(this);
    LabPattern = new QLabel(Text(kLabPattern), this);
    CbPattern = new QComboBox(this);
    LabReplace = new QLabel(Text(kLabReplace), this);
    CbReplace = new QComboBox(this);
    for (QComboBox* c : {CbPattern, CbReplace}) {
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setMinimumWidth(300);
    }
    CbPattern->setObjectName("CbPattern");
    CbReplace->setObjectName("CbReplace");
    LabPattern->setBuddy(CbPattern);
    LabReplace->setBuddy(CbReplace);
    ChReg = new QCheckBox(Text(kChReg), this);
    RbGlob = new QRadioButton(Text(kRbGlob), this);
    RbSel = new QRadioButton(Text(kRbSel), this);
    grid->addWidget(LabPattern, 0, 0, 1, 2);
    grid->addWidget(CbPattern, 1, 0, 1, 2);
    grid->addWidget(LabReplace, 2, 0, 1, 2);
    grid->addWidget(CbReplace, 3, 0, 1, 2);
    grid->addWidget(ChReg, 4, 0);
    grid->addWidget(RbGlob, 4, 1);
    grid->addWidget(RbSel, 5, 1);
    auto* buttons = new QVBoxLayout;
    ButCount = new QPushButton(Text(kButCount), this);
    ButReplaceAll = new QPushButton(Text(kButReplaceAll), this);
    ButClose = new QPushButton(Text(kButClose), this);
    for (QPushButton* b : {ButCount, ButReplaceAll, ButClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    ButReplaceAll->setDefault(true);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 6, 1);

    for (const std::string& item : S.FindHistory.Items) CbPattern->addItem(Q(item));
    for (const std::string& item : S.ReplaceHistory.Items) CbReplace->addItem(Q(item));
    CbPattern->setCurrentIndex(-1);
    CbReplace->setCurrentIndex(-1);
    CbPattern->setEditText(QString());
    CbReplace->setEditText(QString());
    ChReg->setChecked(S.MatchCase);
    const bool selection = FEditor.Memo().SelLength() != 0;
    RbSel->setVisible(selection);
    (selection ? RbSel : RbGlob)->setChecked(true);

    connect(ButCount, &QPushButton::clicked, this, [this] { ButCountClick(); });
    connect(ButReplaceAll, &QPushButton::clicked, this, [this] { ButReplaceAllClick(); });
    connect(ButClose, &QPushButton::clicked, this, [this] { reject(); });
    connect(CbPattern, &QComboBox::editTextChanged, this, [this] { UpdateButtons(); });
    UpdateButtons();
}

TFormReplaceLines::~TFormReplaceLines() = default;

QString TFormReplaceLines::Text(const char* Bi) const { return Q(Bilingual(Bi, FRussian)); }

void TFormReplaceLines::UpdateButtons() {
    const bool text = !CbPattern->currentText().isEmpty();
    ButCount->setEnabled(text);
    ButReplaceAll->setEnabled(text);
}

void TFormReplaceLines::TakeHistory() {
    const QString pattern = CbPattern->currentText(), replacement = CbReplace->currentText();
    S.MatchCase = ChReg->isChecked();
    S.FindHistory.Push(U(pattern), S.MaxFndList);
    if (!replacement.isEmpty()) S.ReplaceHistory.Push(U(replacement), S.MaxFndList);
    S.Store(FSettings);
    for (auto [box, history] : {std::pair{CbPattern, &S.FindHistory}, std::pair{CbReplace, &S.ReplaceHistory}}) {
        const QString text = box->currentText();
        const QSignalBlocker block(box);
        box->clear();
        for (const std::string& item : history->Items) box->addItem(Q(item));
        box->setCurrentIndex(-1);
        box->setEditText(text);
    }
}

void TFormReplaceLines::Range(TPos& From, TPos& To) {
    TDudiRiri& m = FEditor.Memo();
    if (RbSel->isChecked() && m.SelLength() != 0) {
        From = std::min(m.SelStart(), m.SelStart() + m.SelLength());
        To = From + std::abs(m.SelLength());
    } else {
        From = 0;
        To = m.CharCount();
    }
}

void TFormReplaceLines::ButCountClick() {
    if (CbPattern->currentText().isEmpty()) return;
    TakeHistory();
    try {
        const TLineRegex regex(Utf8ToCp1251(U(CbPattern->currentText())), ChReg->isChecked());
        TPos from = 0, to = 0;
        Range(from, to);
        TLinesPlan plan;
        {
            const TBusyScope busy(P);
            plan = PlanReplaceInLines(FEditor.Memo().Pars, regex, from, to);
        }
        P.ShowMessage(CountText(find_texts::kFragments, plan.Count, FRussian));
    } catch (const ERegexError& e) {
        P.ShowMessage(Bilingual(kBadPattern, FRussian) + "\n" + e.what());
    }
}

void TFormReplaceLines::ButReplaceAllClick() {
    if (CbPattern->currentText().isEmpty()) return;
    TFindCommands commands(FEditor.Memo(), S, P, FRussian);
    if (commands.RefuseReadOnly()) return;
    TakeHistory();
    try {
        const TLineRegex regex(Utf8ToCp1251(U(CbPattern->currentText())), ChReg->isChecked());
        TPos from = 0, to = 0;
        Range(from, to);
        TLinesPlan plan;
        {
            const TBusyScope busy(P);
            plan = PlanReplaceInLines(FEditor.Memo().Pars, regex, from, to);
        }
        if (plan.Count == 0) {
            P.ShowMessage(Bilingual(find_texts::kNothing, FRussian));
            return;
        }
        const std::string replacement = Utf8ToCp1251(U(CbReplace->currentText()));
        const char* question = replacement.empty() ? find_texts::kRemovals : find_texts::kReplacements;
        if (P.Ask(CountText(question, plan.Count, FRussian), TPrompts::pcYesNo) != TPrompts::paYes) return;
        TDudiRiri& m = FEditor.Memo();
        const TPos caret = m.SelStart();
        std::int64_t n = 0;
        {
            const TBusyScope busy(P);
            n = ApplyReplaceInLines(m, regex, plan, replacement);
        }
        m.SetSelStart(std::min(caret, m.CharCount()));
        m.KeepCaretInView();
        P.ShowMessage(CountText(find_texts::kReplaced, n, FRussian));
        accept();
    } catch (const ERegexError& e) {
        P.ShowMessage(Bilingual(kBadPattern, FRussian) + "\n" + e.what());
    }
}

void ReplaceInLinesDialog(TRiriWidget& Editor, TSearchState& State, TFindSettings& Settings, TPrompts& Prompts,
                          bool Russian, bool AlwaysOnTop, QWidget* Parent) {
    TFormReplaceLines dialog(Editor, State, Settings, Prompts, Russian, Parent);
    if (AlwaysOnTop) dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    dialog.exec();
}

}  // namespace tarvex
