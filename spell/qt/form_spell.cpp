#include "spell/qt/form_spell.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/settings.h"
#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "platform/qt_text.h"
#include "textstore/stream.h"

namespace tarvex {

namespace {

const char* kCaption = "Spelling=Орфография";
const char* kNotFound = "Spell engine not found!=Модуль проверки орфографии не найден!";
const char* kFinished = "The spelling check is complete=Проверка орфографии завершена";
const char* kStopped = "Stopped=Остановлено";
const char* kChecking = "Checking... %1%=Проверка... %1%";
const char* kChanged = "The text has changed here: checking again=Текст здесь изменился: проверяю снова";

QString Escaped(std::string_view Cp1251) { return ToQString(Cp1251).toHtmlEscaped(); }

}  // namespace

TFormSpell::TFormSpell(TDudiRiri& Med, std::string ProgramDir, QWidget* Parent)
    : QDialog(Parent), FMed(Med), FProgramDir(std::move(ProgramDir)) {
    setObjectName("FormSpell");
    CbEngine = new QComboBox(this);
    CbEngine->setObjectName("CbEngine");
    LabContext = new QLabel(this);
    LabContext->setObjectName("LabContext");
    LabContext->setTextFormat(Qt::RichText);
    LabContext->setWordWrap(true);
    LabContext->setMinimumHeight(48);
    LabContext->setFrameShape(QFrame::StyledPanel);
    EdWord = new QLineEdit(this);
    EdWord->setObjectName("EdWord");
    LbSuggest = new QListWidget(this);
    LbSuggest->setObjectName("LbSuggest");
    LabStatus = new QLabel(this);
    LabStatus->setObjectName("LabStatus");
    auto button = [this](const char* Name) {
        auto* b = new QPushButton(this);
        b->setObjectName(Name);
        b->setAutoDefault(false);
        return b;
    };
    ButReplace = button("ButReplace");
    ButReplaceAll = button("ButReplaceAll");
    ButIgnore = button("ButIgnore");
    ButIgnoreAll = button("ButIgnoreAll");
    ButAdd = button("ButAdd");
    ButStart = button("ButStart");
    ButStop = button("ButStop");
    ButClose = button("ButClose");

    auto* left = new QVBoxLayout;
    FEngineLabel = new QLabel(this);
    FContextLabel = new QLabel(this);
    FWordLabel = new QLabel(this);
    FSuggestLabel = new QLabel(this);
    FEngineLabel->setBuddy(CbEngine);
    FWordLabel->setBuddy(EdWord);
    FSuggestLabel->setBuddy(LbSuggest);
    for (QWidget* w : std::initializer_list<QWidget*>{FEngineLabel, CbEngine, FContextLabel, LabContext, FWordLabel, EdWord,
                                                      FSuggestLabel, LbSuggest, LabStatus})
        left->addWidget(w);
    auto* right = new QVBoxLayout;
    for (QPushButton* b : {ButReplace, ButReplaceAll, ButIgnore, ButIgnoreAll, ButAdd}) right->addWidget(b);
    right->addSpacing(12);
    for (QPushButton* b : {ButStart, ButStop}) right->addWidget(b);
    right->addStretch(1);
    right->addWidget(ButClose);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addLayout(right);
    resize(480, 360);

    FTimer.setInterval(0);
    connect(&FTimer, &QTimer::timeout, this, [this] { Slice(); });
    connect(CbEngine, &QComboBox::activated, this, [this](int I) {
        if (FFilling) return;
        const TPos from = FWordNav ? FWordNav->Pos() : FMed.SelStart();
        OpenEntry(I);
        if (FSession) StartWalk(from);
    });
    connect(LbSuggest, &QListWidget::currentTextChanged, this, [this](const QString& S) {
        if (!S.isEmpty()) EdWord->setText(S);
    });
    connect(LbSuggest, &QListWidget::itemDoubleClicked, this, [this] { ReplaceClick(); });
    connect(EdWord, &QLineEdit::returnPressed, this, [this] { ReplaceClick(); });
    connect(ButReplace, &QPushButton::clicked, this, [this] { ReplaceClick(); });
    connect(ButReplaceAll, &QPushButton::clicked, this, [this] { ReplaceAllClick(); });
    connect(ButIgnore, &QPushButton::clicked, this, [this] { IgnoreClick(); });
    connect(ButIgnoreAll, &QPushButton::clicked, this, [this] { IgnoreAllClick(); });
    connect(ButAdd, &QPushButton::clicked, this, [this] { AddClick(); });
    connect(ButStart, &QPushButton::clicked, this, [this] { StartClick(); });
    connect(ButStop, &QPushButton::clicked, this, [this] { StopClick(); });
    connect(ButClose, &QPushButton::clicked, this, [this] { close(); });
    Relabel();
    UpdateButtons();
}

TFormSpell::~TFormSpell() {
    FTimer.stop();
    // Navigators unregister from the editor before the engine goes.
    FWalk.reset();
    FOrigin.reset();
    FWordNav.reset();
}

QString TFormSpell::T(const char* Text) const { return QString::fromStdString(Bilingual(Text, FRussian)); }

void TFormSpell::Relabel() {
    setWindowTitle(T(kCaption));
    FEngineLabel->setText(T("&Engine and dictionary:=&Модуль и словарь:"));
    FContextLabel->setText(T("Not in the dictionary:=Нет в словаре:"));
    FWordLabel->setText(T("Change &to:=&Заменить на:"));
    FSuggestLabel->setText(T("&Suggestions:=&Варианты:"));
    ButReplace->setText(T("&Replace=За&менить"));
    ButReplaceAll->setText(T("Replace a&ll=Заменить &все"));
    ButIgnore->setText(T("&Ignore=&Пропустить"));
    ButIgnoreAll->setText(T("I&gnore all=Пропускать вс&егда"));
    ButAdd->setText(T("&Add=&Добавить"));
    ButStart->setText(T("&Check=&Проверить"));
    ButStop->setText(T("St&op=&Стоп"));
    ButClose->setText(T("Close=Закрыть"));
}

void TFormSpell::ShowMessage(const QString& Text) { QMessageBox::information(this, windowTitle(), Text); }

TPos TFormSpell::CurrentPos() const { return FWordNav ? FWordNav->Pos() : -1; }

QString TFormSpell::StatusText() const { return LabStatus->text(); }

void TFormSpell::Execute(const TSpellOptions& Options, bool Russian) {
    FOptions = Options;
    FRussian = Russian;
    Relabel();
    if (!isVisible()) {
        TBounds b{x(), y(), width(), height()};
        const bool maximized = ReadPlacement(FOptions.SpellSize, b);
        setGeometry(b.Left, b.Top, b.Width, b.Height);
        if (maximized) setWindowState(windowState() | Qt::WindowMaximized);
    }
    show();
    raise();
    activateWindow();
    // The user's list as the file holds it now.
    FCustom = std::make_unique<TCustomDictionary>(CustomPath.empty() ? TCustomDictionary::DefaultPath(FProgramDir) : CustomPath);
    try {
        FCustom->Load();
    } catch (const EStreamError& e) {
        ShowMessage(QString::fromStdString(e.what()));
    }
    FSession.reset();
    FindEngines();
    if (FEngines.Entries().empty()) {
        LabStatus->setText(T(kNotFound));
        UpdateButtons();
        ShowMessage(T(kNotFound));
        return;
    }
    OpenEntry(FEngines.IndexOf(FOptions.SpellName));
    if (FSession) StartWalk(std::min(FMed.SelStart(), FMed.SelStart() + FMed.SelLength()));
}

void TFormSpell::FindEngines() {
    TSpellPlaces places;
    if (PlacesFor) {
        places = PlacesFor(FOptions);
    } else {
        places.ProgramDir = FProgramDir;
        places.SpellDir = FOptions.SpellDir;
        places.Dictionary = FOptions.Dictionary;
    }
    FEngines = TSpellEngines::Find(places);
    FFilling = true;
    CbEngine->clear();
    for (const TSpellEntry& e : FEngines.Entries()) CbEngine->addItem(QString::fromStdString(e.Caption));
    FFilling = false;
}

void TFormSpell::OpenEntry(int Index) {
    FTimer.stop();
    FWalk.reset();
    FOrigin.reset();
    FWordNav.reset();
    FWord = {};
    FSession.reset();
    if (Index >= 0 && Index < static_cast<int>(FEngines.Entries().size())) {
        const std::string caption = FEngines.Entries()[static_cast<std::size_t>(Index)].Caption;
        if (auto engine = FEngines.Open(caption)) {
            FSession = std::make_unique<TSpellSession>(std::move(engine), FCustom.get());
            FFilling = true;
            CbEngine->setCurrentIndex(Index);
            FFilling = false;
            if (FOptions.SpellName != caption) {
                FOptions.SpellName = caption;
                if (OnOptionsChanged) OnOptionsChanged(FOptions);
            }
        }
    }
    if (!FSession) {
        CbEngine->setCurrentIndex(-1);
        LabStatus->setText(T(kNotFound));
        if (!FOptions.SpellName.empty()) {
            FOptions.SpellName.clear();
            if (OnOptionsChanged) OnOptionsChanged(FOptions);
        }
    }
    LabContext->clear();
    LbSuggest->clear();
    EdWord->clear();
    UpdateButtons();
}

void TFormSpell::StartWalk(TPos From) {
    FChangeAll.clear();
    FWrapped = false;
    FWord = {};
    FWordNav.reset();
    FWalk = std::make_unique<TWordWalk>(FMed, From, -1, FOptions.SpellRus);
    FOrigin = std::make_unique<TRiriNavigator>(&FMed);
    FOrigin->SetPos(FWalk->Position());
    Continue();
}

void TFormSpell::Continue() {
    FWord = {};
    FWordNav.reset();
    LabContext->clear();
    LbSuggest->clear();
    EdWord->clear();
    if (!FWalk || !FSession) return;
    FTimer.start();
    UpdateButtons();
}

void TFormSpell::Slice() {
    if (!FWalk || !FSession) {
        FTimer.stop();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    TSpellWord w;
    int sinceClock = 0;
    while (true) {
        if (!FWalk->Next(w)) {
            if (FWrapped || FOrigin->Pos() == 0) {
                Finish(kFinished);
                return;
            }
            // Second part: from the start of the text up to where the walk began.
            FWrapped = true;
            FWalk = std::make_unique<TWordWalk>(FMed, 0, FOrigin->Pos(), FOptions.SpellRus);
            continue;
        }
        if (!FSession->Check(w.Text)) {
            if (auto it = FChangeAll.find(w.Text); it != FChangeAll.end() && !FMed.ReadOnly) {
                FWord = w;
                Replace(it->second);
                FWord = {};
                continue;
            }
            FTimer.stop();
            ShowWord(w);
            return;
        }
        if (++sinceClock >= 64) {
            sinceClock = 0;
            if (clock.elapsed() >= SliceMs) break;
        }
    }
    // Progress over the whole walk (the wrapped part after the first).
    const double total = std::max<TPos>(1, FMed.CharCount());
    const TPos origin = FOrigin->Pos();
    const TPos done = FWrapped ? (FMed.CharCount() - origin) + FWalk->Position() : FWalk->Position() - origin;
    LabStatus->setText(T(kChecking).arg(static_cast<int>(100.0 * static_cast<double>(done) / total)));
}

void TFormSpell::ShowWord(const TSpellWord& W) {
    FWord = W;
    FWordNav = std::make_unique<TRiriNavigator>(&FMed);
    FWordNav->SetPos(W.Pos);
    const TPos len = static_cast<TPos>(W.Text.size());
    FMed.SetSelStart(W.Pos);
    FMed.SetSelLength(len);
    FMed.KeepCaretInView();
    // The paragraph around the word, at most 60 characters on each side.
    const std::string_view par = FWordNav->Par()->View();
    const std::size_t off = static_cast<std::size_t>(FWordNav->ParOffset());
    const std::size_t from = off > 60 ? off - 60 : 0;
    const std::size_t to = std::min(par.size(), off + W.Text.size() + 60);
    LabContext->setText((from > 0 ? QString("…") : QString()) + Escaped(par.substr(from, off - from)) +
                        "<b><font color=\"#c00000\">" + Escaped(W.Text) + "</font></b>" +
                        Escaped(par.substr(off + W.Text.size(), to - off - W.Text.size())) +
                        (to < par.size() ? QString("…") : QString()));
    LbSuggest->clear();
    for (const std::string& s : FSession->Suggest(W.Text)) LbSuggest->addItem(ToQString(s));
    if (LbSuggest->count() > 0) {
        LbSuggest->setCurrentRow(0);
    } else {
        EdWord->setText(ToQString(W.Text));
    }
    LabStatus->clear();
    UpdateButtons();
    EdWord->setFocus();
    EdWord->selectAll();
}

void TFormSpell::Finish(const char* Message) {
    FTimer.stop();
    FWalk.reset();
    FOrigin.reset();
    FWordNav.reset();
    FWord = {};
    LabContext->clear();
    LbSuggest->clear();
    EdWord->clear();
    LabStatus->setText(T(Message));
    UpdateButtons();
}

bool TFormSpell::WordStillThere() const {
    if (!FWordNav || FWord.Text.empty()) return false;
    TRiriNavigator at(&FMed);
    at.SetPos(FWordNav->Pos());
    return at.GetText(static_cast<TPos>(FWord.Text.size())) == FWord.Text;
}

// Puts With in place of the current word (one undo step) and moves the walk behind it.
void TFormSpell::Replace(const std::string& With) {
    const TPos at = FWordNav ? FWordNav->Pos() : FWord.Pos;
    ReplaceRange(FMed, TTextRange{false, at, static_cast<TPos>(FWord.Text.size())}, With);
    if (FWalk) FWalk->SetPosition(at + static_cast<TPos>(With.size()));
}

void TFormSpell::ReplaceClick() {
    if (FWord.Text.empty() || FMed.ReadOnly) return;
    if (!WordStillThere()) {
        // Edited meanwhile: check that place again rather than replace blindly.
        if (FWalk && FWordNav) FWalk->SetPosition(FWordNav->Pos());
        LabStatus->setText(T(kChanged));
        Continue();
        return;
    }
    Replace(FromQString(EdWord->text()));
    Continue();
}

void TFormSpell::ReplaceAllClick() {
    if (FWord.Text.empty() || FMed.ReadOnly) return;
    FChangeAll[FWord.Text] = FromQString(EdWord->text());
    ReplaceClick();
}

void TFormSpell::IgnoreClick() {
    if (FWord.Text.empty()) return;
    Continue();
}

void TFormSpell::IgnoreAllClick() {
    if (FWord.Text.empty()) return;
    FSession->IgnoreAll(FWord.Text);
    Continue();
}

void TFormSpell::AddClick() {
    if (FWord.Text.empty()) return;
    FSession->Add(FWord.Text);
    Continue();
}

void TFormSpell::StopClick() {
    if (!FTimer.isActive()) return;
    FTimer.stop();
    LabStatus->setText(T(kStopped));
    UpdateButtons();
}

void TFormSpell::StartClick() {
    if (!FSession) {
        ShowMessage(T(kNotFound));
        return;
    }
    if (FWalk && FWord.Text.empty()) {
        Continue();  // a stopped walk goes on
        return;
    }
    StartWalk(std::min(FMed.SelStart(), FMed.SelStart() + FMed.SelLength()));
}

void TFormSpell::UpdateButtons() {
    const bool word = !FWord.Text.empty();
    const bool editable = word && !FMed.ReadOnly;
    ButReplace->setEnabled(editable);
    ButReplaceAll->setEnabled(editable);
    EdWord->setEnabled(editable);
    ButIgnore->setEnabled(word);
    ButIgnoreAll->setEnabled(word);
    ButAdd->setEnabled(word && FCustom);
    ButStop->setEnabled(FTimer.isActive());
    ButStart->setEnabled(FSession && !FTimer.isActive() && !word);
    ButStart->setText(FWalk && !word ? T("&Continue=&Продолжить") : T("&Check=&Проверить"));
}

void TFormSpell::SaveCustom() {
    if (!FCustom || !FCustom->Modified()) return;
    try {
        FCustom->Save();
    } catch (const EStreamError& e) {
        ShowMessage(QString::fromStdString(e.what()));
    }
}

// Every way of closing (the close button, Esc, close()) ends here.
void TFormSpell::reject() {
    FTimer.stop();
    FWalk.reset();
    FOrigin.reset();
    FWordNav.reset();
    FWord = {};
    SaveCustom();
    const TBounds b{x(), y(), width(), height()};
    const std::string placement = PlacementToStore(FOptions.SpellSize, b, isMaximized());
    if (placement != FOptions.SpellSize) {
        FOptions.SpellSize = placement;
        if (OnOptionsChanged) OnOptionsChanged(FOptions);
    }
    QDialog::reject();
}

}  // namespace tarvex
