#include "app/qt/settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWindow>

#include "app/qt/qt_prompts.h"
#include "platform/interface_text.h"

namespace tarvex {

namespace {
QString Q(const std::string& Utf8) { return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())); }
std::string S(const QString& T) { return T.toUtf8().toStdString(); }

struct TPageDef {
    const char* Name;
    const char* Caption;
};
constexpr TPageDef kPages[] = {
    {"ButLoad", "&Load && Save=Загрузка и сохранение"},
    {"ButEdit", "&Edit=Редактирование"},
    {"ButSort", "&Dictionary && Sort=Словарь и сортировка"},
    {"ButMarks", "Marks && Other=Закладки и Другое"},
    {"ButSpell", "Spell Check=Правописание"},
};
}  // namespace

QString TFormSet::Text(const char* Bi) const { return Q(Bilingual(Bi, FSettings.Lang)); }

QCheckBox* TFormSet::Check(const char* Name, const char* Caption, bool Value) {
    auto* c = new QCheckBox(Text(Caption));
    c->setObjectName(Name);
    c->setChecked(Value);
    FChecks[Name] = c;
    return c;
}

QLineEdit* TFormSet::Box(const char* Name, const std::string& Value, bool Number) {
    auto* e = new QLineEdit(Q(Value));
    e->setObjectName(Name);
    FBoxes[Name] = e;
    if (Number) {
        // Digits only; a pasted text that is not a number empties the box.
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, e, [e](const QString& T) {
            if (NumberBoxText(S(T)).empty() && !T.isEmpty()) e->clear();
        });
    }
    return e;
}

bool TFormSet::eventFilter(QObject* O, QEvent* E) {
    if (E->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(E);
        const QString t = k->text();
        const bool printable = !t.isEmpty() && t[0].isPrint();
        if (printable && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && (t[0] < '0' || t[0] > '9'))
            return true;
    }
    return QDialog::eventFilter(O, E);
}

TFormSet::TFormSet(TSettings& Settings, std::function<std::string(const std::string&)> FormatDate, QWidget* Parent)
    : QDialog(Parent), FSettings(Settings), FFormatDate(std::move(FormatDate)) {
    setObjectName("FormSet");
    setWindowTitle(Text("Sets...=Настройки..."));
    const TSetsValues v = SetsFromSettings(Settings);
    if (Parent && Parent->window()->windowHandle() &&
        (Parent->window()->windowHandle()->flags() & Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint);

    FStack = new QStackedWidget;
    auto page = [this](QLayout* L) {
        auto* w = new QWidget;
        w->setLayout(L);
        FStack->addWidget(w);
        return w;
    };
    auto number = [this](QFormLayout* F, const char* Name, const char* Label, const std::string& Value, const char* Hint) {
        QLineEdit* e = Box(Name, Value, true);
        e->setToolTip(Hint);
        F->addRow(Text(Label), e);
    };

    auto* load = new QFormLayout;
    load->addRow(Check("ChSkip", "Skip Null while reading file=Пропускать нулевой символ", v.SkipNull));
    number(load, "Ed", "Max Reopen files (MRU)=Кол-во сохраняемых файлов (MRU)", v.MaxFiles, "0..100");
    load->addRow(Check("ChHtmTxt", "Htm->Txt while loading=Сразу Htm->Txt при загрузке", v.AutoHtmTxt));
    load->addRow(Check("ChMem", "Mem first line position=Помнить позицию 1-й строки", v.MemFirstLine));
    load->addRow(Check("ChWatchOpen", "To watch repeated file opening=Следить за повторным открытием файла", v.WatchOpen));
    load->addRow(Check("ChIE", "Use IE for html->txt convert=Подключать IE при html-txt преобр.", v.IEconvert));
    load->addRow(Check("ChDoc", "Use ExternalConvs for doc->txt convert=Подключать конвертер при doc-txt преобр.",
                       v.DocConvert));
    load->addRow(Check("ChAuto", "Aut&oDecode=Автод&екодирование", v.AutoDecode));
    load->addRow(Check("ChEsc", "Escape to exit=Клав. Escape для выхода", v.Escape));
    load->addRow(Check("ChPrintHeader", "FileName to PrintHeader=В заголовок печати - имя файла", v.PrintHeader));
    page(load);

    auto* edit = new QFormLayout;
    edit->addRow(Check("ChHideCaret", "Hide caret while ReadOnly=Скрыть курсор в режиме чтения", v.HideCaret));
    edit->addRow(Check("ChDragText", "DragDrop editing text=DragDrop текста при редактировании", v.DragText));
    edit->addRow(Check("ChLocale", "Use default language for clipboard=Системный язык для копир. в буфер", v.ClipLocale));
    number(edit, "EdTabs", "TabStops=Позиций табулятора", v.TabStops, "2..100");
    number(edit, "EdMaxFnd", "Max FindList count=Кол-во строк поиска", v.MaxFndList, "2..100");
    auto* compress = new QGroupBox(Text("Compress text=Уплотнение текста"));
    auto* cl = new QVBoxLayout(compress);
    QCheckBox* spaces = Check("ChSpaces", "Double spaces=Лишние пробелы", v.CompressSpaces);
    QCheckBox* merge = Check("ChMerge", "Merge paragraphs=Слияние абзацев", v.CompressMerge);
    cl->addWidget(spaces);
    cl->addWidget(merge);
    cl->addWidget(Check("ChCR", "Double paragraphs=Пустые строки", v.CompressParagraphs));
    cl->addWidget(Check("ChTab", "First spaces to TAB=Нач. пробелы на TAB", v.CompressTabs));
    // Merging paragraphs also collapses spaces: the two go together.
    connect(merge, &QCheckBox::toggled, spaces, [spaces](bool On) {
        if (On) spaces->setChecked(true);
    });
    connect(spaces, &QCheckBox::toggled, merge, [merge](bool On) {
        if (!On) merge->setChecked(false);
    });
    edit->addRow(compress);
    page(edit);

    auto* sort = new QFormLayout;
    sort->addRow(Text("Dictionary items delimiter=Разделитель слов (статей)"), Box("EdDelim", v.Delim, false));
    sort->addRow(Text("Dictionary values separator (^t - tab)=Разделитель синонимов  (^t - tab)"),
                 Box("EdSepar", v.Separ, false));
    sort->addRow(Check("ChAddSort", "Sort after adding item=Сортировать после добавления статьи", v.AddSort));
    auto* sorting = new QGroupBox(Text("Sorting=Сортировка"));
    auto* sl = new QVBoxLayout(sorting);
    sl->addWidget(Check("ChSortDupl", "Delete duplicates while sorting=Удалить дубликаты при сортировке", v.SortDupl));
    sl->addWidget(Check("ChJoinSort", "Join items while sorting=Объединить статьи при сортировке", v.JoinSort));
    sort->addRow(sorting);
    page(sort);

    auto* marks = new QFormLayout;
    number(marks, "EdMarkCount", "Max bookmarks (0 - unlimited)=Кол-во закладок (0 - не ограничено)", v.MarkCount, "");
    number(marks, "EdContLen", "Max content header's length=Максим. длина строки оглавления", v.ContLen, "");
    QLineEdit* date = Box("EdDate", v.DateIns, false);
    date->setToolTip("dd.mmm.yyyy  hh:nn:ss");
    marks->addRow(Text("Insert Date format"), date);
    FDateSample = new QLabel;
    FDateSample->setObjectName("LabTest");
    marks->addRow(QString(), FDateSample);
    auto sample = [this](const QString& Pattern) {
        FDateSample->setText(FFormatDate ? Q(FFormatDate(S(Pattern))) : QString());
    };
    connect(date, &QLineEdit::textChanged, this, sample);
    sample(date->text());
    marks->addRow(Check("ChScrollMiddle", "Scroll by click Middle Mouse=Прокрутка при клике ср.кнопки мыши", v.BtMiddle));
    page(marks);

    auto* spell = new QFormLayout;
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(Box("EdSpellDir", v.SpellDir, false));
    auto* browse = new QPushButton(Text("Spell Dir=Орфо дир.") + "...");
    browse->setObjectName("ButSpellDir");
    connect(browse, &QPushButton::clicked, this, [this] { ChooseSpellDir(); });
    dirRow->addWidget(browse);
    spell->addRow(dirRow);
    spell->addRow(Check("ChSpRus", "Ignore latin", v.SpellRus));
    page(spell);

    FPages = new QButtonGroup(this);
    auto* buttons = new QVBoxLayout;
    for (int i = 0; i < 5; ++i) {
        auto* b = new QPushButton(Text(kPages[i].Caption));
        b->setObjectName(kPages[i].Name);
        b->setCheckable(true);
        FPages->addButton(b, i);
        buttons->addWidget(b);
        auto* key = new QShortcut(QKeySequence(Qt::Key_F5 + i), this);
        connect(key, &QShortcut::activated, this, [this, i] { ShowPage(i); });
    }
    buttons->addStretch();
    connect(FPages, &QButtonGroup::idClicked, this, [this](int Id) { ShowPage(Id); });

    auto* okCancel = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    okCancel->button(QDialogButtonBox::Ok)->setText("OK");
    okCancel->button(QDialogButtonBox::Cancel)->setText(Text("Cancel=Отмена"));
    connect(okCancel, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(okCancel, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* body = new QHBoxLayout;
    body->addLayout(buttons);
    body->addWidget(FStack, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(body);
    all->addWidget(okCancel);
    ShowPage(0);
}

int TFormSet::Page() const { return FStack->currentIndex(); }

void TFormSet::ShowPage(int Page) {
    FStack->setCurrentIndex(Page);
    FPages->button(Page)->setChecked(true);
    // The first control of the page takes the focus.
    static const char* const first[] = {"ChSkip", "ChHideCaret", "EdDelim", "EdMarkCount", "EdSpellDir"};
    QWidget* w = FStack->currentWidget()->findChild<QWidget*>(first[Page]);
    if (w) w->setFocus();
}

void TFormSet::ChooseSpellDir() {
    const QString dir = QFileDialog::getExistingDirectory(this, Text("Select spell directory=Выбрать орфо-директорию"),
                                                          FromFileSystem(FSettings.SpellDir));
    if (dir.isEmpty()) return;
    // Kept at once, even when the dialog is cancelled.
    FSettings.SpellDir = ToFileSystem(dir);
    FBoxes["EdSpellDir"]->setText(dir);
}

TSetsValues TFormSet::Values() const {
    TSetsValues v;
    auto check = [this](const char* N) { return FChecks.at(N)->isChecked(); };
    auto box = [this](const char* N) { return S(FBoxes.at(N)->text()); };
    v.SkipNull = check("ChSkip");
    v.AutoHtmTxt = check("ChHtmTxt");
    v.MemFirstLine = check("ChMem");
    v.WatchOpen = check("ChWatchOpen");
    v.IEconvert = check("ChIE");
    v.DocConvert = check("ChDoc");
    v.AutoDecode = check("ChAuto");
    v.Escape = check("ChEsc");
    v.PrintHeader = check("ChPrintHeader");
    v.MaxFiles = box("Ed");
    v.HideCaret = check("ChHideCaret");
    v.DragText = check("ChDragText");
    v.ClipLocale = check("ChLocale");
    v.TabStops = box("EdTabs");
    v.MaxFndList = box("EdMaxFnd");
    v.CompressSpaces = check("ChSpaces");
    v.CompressMerge = check("ChMerge");
    v.CompressParagraphs = check("ChCR");
    v.CompressTabs = check("ChTab");
    v.Delim = box("EdDelim");
    v.Separ = box("EdSepar");
    v.AddSort = check("ChAddSort");
    v.SortDupl = check("ChSortDupl");
    v.JoinSort = check("ChJoinSort");
    v.MarkCount = box("EdMarkCount");
    v.ContLen = box("EdContLen");
    v.DateIns = box("EdDate");
    v.BtMiddle = check("ChScrollMiddle");
    v.SpellDir = ToFileSystem(FBoxes.at("EdSpellDir")->text());
    v.SpellRus = check("ChSpRus");
    return v;
}

void TFormSet::accept() {
    StoreSets(Values(), FSettings);
    QDialog::accept();
}

}  // namespace tarvex
