#include "app/command_table.h"

namespace tarvex {

namespace {

constexpr TCommandDef Menu(const char* Name, const char* Caption, const char* Parent, TEnableRule E = erAlways) {
    return {ikMenu, Name, Caption, Parent, nullptr, 0, E, 0, 0};
}
constexpr TCommandDef Cmd(const char* Name, const char* Caption, const char* MenuName, const char* Key = nullptr,
                          TEnableRule E = erAlways, std::uint8_t Flags = 0, int Tag = 0, int Group = 0) {
    return {ikCommand, Name, Caption, MenuName, Key, Tag, E, Flags, Group};
}
constexpr TCommandDef Sep(const char* MenuName) { return {ikSeparator, "", "", MenuName, nullptr, 0, erAlways, 0, 0}; }

// clang-format off
constexpr TCommandDef kRows[] = {
    Menu("mFile", "&File=&Файл", nullptr),
    Cmd("mNew", "&New=&Создать", "mFile", "Ctrl+N"),
    Cmd("mOpen", "&Open...=&Открыть...", "mFile", "Ctrl+O"),
    Cmd("mRefresh", "&ReOpen=О&бновить", "mFile", "Ctrl+0", erNamed),
    Menu("mReOpen", "&History=&История", "mFile"),
    Sep("mFile"),
    Cmd("mSave", "&Save=Сох&ранить", "mFile", "Ctrl+S", erSave),
    Cmd("mSaveAs", "Save &As...=Сохранить &как...", "mFile", nullptr, erText),
    Sep("mFile"),
    Cmd("mPrint", "&Print...=Пе&чать...", "mFile", "Ctrl+P", erText),
    Cmd("mPreview", "Print pre&view...=Прос&мотр печати...", "mFile", nullptr, erText),
    Cmd("mPrinterSetup", "P&rinter setup...=&Настройка принтера...", "mFile"),
    Sep("mFile"),
    Cmd("mSend", "Send &mail...=Послать пис&ьмо...", "mFile", "Ctrl+M", erText),
    Cmd("mInfoText", "&Info text...=&Статистика текста...", "mFile", "Ctrl+I", erText),
    Cmd("mInfoFile", "Info fil&e...=Сво&йства файла...", "mFile", nullptr, erNamed),
    Cmd("mShowFolder", "Show fol&der=&Показать папку", "mFile", nullptr, erNamed),
    Cmd("mExecFile", "Execu&te file=&Запустить файл", "mFile", nullptr, erNamed),
    Sep("mFile"),
    Cmd("mExit", "E&xit=Вы&ход", "mFile"),

    Menu("mEdit", "&Edit=&Правка", nullptr),
    Cmd("mUndo", "&Undo=&Отменить", "mEdit", "Ctrl+Z", erUndo),
    Cmd("mRedo", "&Redo=Повто&рить", "mEdit", "Ctrl+Shift+Z", erRedo),
    Sep("mEdit"),
    Cmd("mCut", "Cu&t=&Вырезать", "mEdit", "Ctrl+X", erSelectionWritable),
    Cmd("mCopy", "&Copy=&Копировать", "mEdit", "Ctrl+C", erSelection),
    Cmd("mCopyRTF", "Copy as &RTF=Копировать как &RTF", "mEdit", nullptr, erSelection),
    Cmd("mPaste", "&Paste=Вст&авить", "mEdit", "Ctrl+V", erPaste),
    Sep("mEdit"),
    Cmd("mSelectAll", "Select &all=В&ыделить все", "mEdit", "Ctrl+A", erText),
    Cmd("mSelWord", "Select &Word (Sent.)=Выдел&ить Слово (Предл.)", "mEdit", "Ctrl+W", erText),
    Sep("mEdit"),
    Cmd("mDelWord", "Delete word=Удалить слово", "mEdit", "Ctrl+D", erTextWritable),
    Cmd("mDelLine", "D&elete line=&Удалить строку", "mEdit", "Ctrl+Y", erTextWritable),
    Cmd("mSwop", "&Swop two letters=Смена двух &букв", "mEdit", "Ctrl+`", erTextWritable),
    Sep("mEdit"),
    Cmd("mGoToLine", "&Go to line...=&Переход к строке...", "mEdit", "Ctrl+G", erText),
    Cmd("mInsertDate", "Insert &Date Time=Вставить &Дату Время", "mEdit", "Ctrl+F5", erWritable),
    Cmd("mRun", "Ope&n link=Открыть сс&ылку", "mEdit", "Ctrl+F1", erText),
    Sep("mEdit"),
    Cmd("mCalc", "Calculate &Mathemat.=&Математ. расчёт", "mEdit", "F6", erText),
    Cmd("mCalcDate", "Ca&lculate Date Time=Расч&ёт Даты/Врем.", "mEdit", "Ctrl+F6", erText),
    Sep("mEdit"),
    Cmd("mSpellCheck", "&SpellCheck...=&Орфография...", "mEdit", "F7", erText),
    Cmd("mDict", "&Dictionary...=&Словарь...", "mEdit", "F8"),
    Sep("mEdit"),
    Cmd("mFindReplace", "&Find/Replace...=&Найти/Заменить...", "mEdit", "Ctrl+F", erText),
    Cmd("mFindNext", "Find &next=Найти да&льше", "mEdit", "F3", erSearch, 0, 1),
    Cmd("mFindBack", "Find &back=Найти вы&ше", "mEdit", "Shift+F3", erSearch, 0, 2),
    Cmd("mReplaceLines", "Replace in Lines...=Заменить пос&трочно...", "mEdit", "Ctrl+F3", erText, cfHidden),
    Cmd("mRep", "&Find/Replace...=&Найти/Заменить...", "mEdit", "Ctrl+R", erText, cfHidden),
    Menu("mBookMarks", "&BookMarks=&Закладки", "mEdit", erText),
    Cmd("mBookMark", "&Add bookmark=&Добавить закладку", "mBookMarks", "F9", erText),
    Cmd("mGotoMark", "&Go to last bookmark=&Перейти к посл. закладке", "mBookMarks", "Ctrl+F7", erText),
    Cmd("mSelToMark", "&Select to last bookmark=&Выделить до закладки", "mBookMarks", "Ctrl+F8", erText),
    Cmd("mCont", "&View all bookmarks...=&Закладки и Заголовки...", "mBookMarks", "Ctrl+F9", erText),
    Cmd("mAddMark", "&Add bookmark=&Добавить закладку", "mBookMarks", "Shift+F9", erText, cfHidden),
    Cmd("mNextMark", "Next bookmark=Следующая закладка", "mBookMarks", "Ctrl+Tab", erText, cfHidden, 1),
    Cmd("mPrevMark", "Previous bookmark=Предыдущая закладка", "mBookMarks", "Ctrl+Shift+Tab", erText, cfHidden, 2),
    Sep("mEdit"),
    Menu("mConvert", "Con&vert=Преобра&зовать", "mEdit", erText),
    Cmd("mDosWin", "DOS-WIN=DOS-WIN", "mConvert", nullptr, erTextWritable, 0, 1),
    Cmd("mKoiWin", "KOI-WIN=KOI-WIN", "mConvert", nullptr, erTextWritable, 0, 2),
    Cmd("UTF81", "Unicode UTF-8=Unicode UTF-8", "mConvert", nullptr, erTextWritable, 0, 3),
    Cmd("Unicode1", "Unicode UCS-2=Unicode UCS-2", "mConvert", nullptr, erTextWritable, 0, 4),
    Cmd("RtfTxt1", "RTF-TXT=RTF-TXT", "mConvert", nullptr, erTextWritable, 0, 5),
    Cmd("mHtmlTXT", "Html-TXT=Html-TXT", "mConvert", "Ctrl+H", erTextWritable, 0, 6),
    Sep("mConvert"),
    Cmd("mRusLat", "RusLat=Рус-Транслит", "mConvert", "Ctrl+1", erTextWritable, 0, 7),
    Cmd("mLatRus", "LatRus=Транслит-Рус", "mConvert", "Ctrl+2", erTextWritable, 0, 8),
    Cmd("mToRus", "To Rus=Анг-Рус клав.", "mConvert", "Ctrl+Q", erTextWritable, 0, 9),
    Cmd("mToEng", "To Eng=Рус-Анг клав.", "mConvert", "Ctrl+E", erTextWritable, 0, 10),
    Menu("mCase", "&Letters Case=&Регистр букв", "mConvert", erText),
    Cmd("mALLLARGE", "&ALL LARGE=&ВСЕ ПРОПИСНЫЕ", "mCase", "Ctrl+5", erTextWritable, 0, 14),
    Cmd("mallsmall", "all &small=все &строчные", "mCase", "Ctrl+6", erTextWritable, 0, 15),
    Cmd("mAllFirstLarge", "All &First Large=&Начинать С Прописных", "mCase", "Ctrl+7", erTextWritable, 0, 16),
    Cmd("mAsSentence", "As se&ntence.=&Как в предложении.", "mCase", "Ctrl+8", erTextWritable, 0, 17),
    Cmd("miNVERSE", "&iNVERSE=&иНВЕРТИРОВАТЬ", "mCase", "Ctrl+9", erTextWritable, 0, 18),
    Sep("mConvert"),
    Cmd("mAuto", "Aut&oDecode=Автод&екодирование", "mConvert", nullptr, erAlways, cfCheckable),
    Sep("mConvert"),
    Cmd("mCompress", "&Compress lines=&Уплотнить текст", "mConvert", "Ctrl+L", erTextWritable, 0, 11),
    Cmd("mSort", "&Sort lines...=&Сортировать строки...", "mConvert", nullptr, erTextWritable, 0, 12),

    Menu("mOptions", "Op&tions=&Опции", nullptr),
    Menu("mView", "&View=&Вид", "mOptions"),
    Cmd("mToolbar", "T&oolbar=&Панель с кнопками", "mView", nullptr, erAlways, cfCheckable),
    Cmd("mStatusbar", "&Status bar=Панель &информации", "mView", nullptr, erAlways, cfCheckable),
    Menu("mHighlight", "&Highlight=&Подсветка", "mOptions"),
    Cmd("mNone", "None=None", "mHighlight", nullptr, erAlways, 0, 1, 1),
    Cmd("mUrl", "URL=URL", "mHighlight", nullptr, erAlways, 0, 2, 1),
    Cmd("mPas", "PAS=PAS", "mHighlight", nullptr, erAlways, 0, 3, 1),
    Cmd("mHtm", "HTM=HTM", "mHighlight", nullptr, erAlways, 0, 4, 1),
    Cmd("mCpp", "CPP=CPP", "mHighlight", nullptr, erAlways, 0, 5, 1),
    Cmd("mSql", "SQL=SQL", "mHighlight", nullptr, erAlways, 0, 6, 1),
    Sep("mView"),
    Cmd("mWordWrap", "&Word wrap=П&еренос по словам", "mView", nullptr, erAlways, cfCheckable),
    Cmd("mJustified", "Justify text=Текст по ширине", "mView", nullptr, erAlways, cfCheckable),
    Menu("mAlign", "&Align=Вы&равнивание", "mView"),
    Cmd("mLeft", "Left align text=Текст влево", "mAlign", nullptr, erWordWrap, 0, 1, 1),
    Cmd("mCenter", "Center text=Текст по центру", "mAlign", nullptr, erWordWrap, 0, 2, 1),
    Cmd("mRight", "Right align text=Текст вправо", "mAlign", nullptr, erWordWrap, 0, 3, 1),
    Menu("mLeftMargin", "Left &margin=&Левый отступ", "mView"),
    Cmd("mLeftUp", "&Up=&Больше", "mLeftMargin", nullptr, erAlways, 0, 1),
    Cmd("mLeftDown", "&Down=&Меньше", "mLeftMargin", nullptr, erAlways, 0, 2),
    Cmd("mLeftDefault", "De&fault=Восстановит&ь", "mLeftMargin", nullptr, erAlways, 0, 3),
    Menu("mLineHeight", "&Line height=Ме&жстрочный интервал", "mView"),
    Cmd("mLineUp", "&Up=&Больше", "mLineHeight", nullptr, erAlways, 0, 1),
    Cmd("mLineDown", "&Down=&Меньше", "mLineHeight", nullptr, erAlways, 0, 2),
    Cmd("mLineDefault", "De&fault=Восстановит&ь", "mLineHeight", nullptr, erAlways, 0, 3),
    Menu("mFontColor", "&Font && Color=&Шрифт и цвет", "mOptions"),
    Cmd("mFont", "&Font...=&Шрифт...", "mFontColor"),
    Cmd("mColor", "&Color...=&Цвет текста...", "mFontColor"),
    Cmd("mBackgroundColor", "&Background color...=Цвет &фона...", "mFontColor"),
    Cmd("mURLColor", "&URL...=Цвет сс&ылок...", "mFontColor"),
    Sep("mFontColor"),
    Cmd("mDefaultFont", "De&fault=Восстановит&ь", "mFontColor"),
    Menu("mScroll", "Scr&oll speed=С&корость прокрутки", "mOptions"),
    Cmd("mScrollPlus", "Speed &Up      (Ctrl+)=&Увеличить      (Ctrl+)", "mScroll"),
    Cmd("mScrollMinus", "Speed &Down  (Ctrl-)=У&меньшить      (Ctrl-)", "mScroll"),
    Cmd("mScrollDefault", "De&fault=Восстановит&ь", "mScroll"),
    Sep("mOptions"),
    Cmd("mReadOnly", "Read Onl&y=Только для &чтения", "mOptions", "Ctrl+\\", erAlways, cfCheckable),
    Cmd("mTop", "AlwaysOn&Top=Поверх всех &окон", "mOptions", "Ctrl+T", erAlways, cfCheckable),
    // Reached by the toolbar and their keys only.
    Cmd("mScrollRun", "Scroll=Прокрутка", "mOptions", "F5", erText, cfCheckable | cfHidden),
    Cmd("mNonPrint", "Non-printing characters=Специальные символы", "mOptions", nullptr, erAlways,
        cfCheckable | cfHidden),
    Sep("mOptions"),
    Cmd("mSets", "S&ets...=&Настройки...", "mOptions"),

    Menu("mHelp", "&Help=&Помощь", nullptr),
    Cmd("mReadMe", "&ReadMe...=&Описание...", "mHelp", "F1"),
    Cmd("mAbout", "&About...=О &программе...", "mHelp"),

    // The language switch on the menu bar names the other language.
    Cmd("mLang", "R&us=E&ng", nullptr),
};

constexpr TButtonDef kButtons[] = {
    {"ButOpen", "mOpen", "Open File=Открыть файл...", "document-open"},
    {"ButSave", "mSave", "Save File=Сохранить файл", "document-save"},
    {"ButPreview", "mPreview", "Print Preview=Предварительный просмотр...", "document-print-preview"},
    {nullptr, nullptr, nullptr, nullptr},
    {"ButCut", "mCut", nullptr, "edit-cut"},
    {"ButCopy", "mCopy", nullptr, "edit-copy"},
    {"ButPaste", "mPaste", nullptr, "edit-paste"},
    {nullptr, nullptr, nullptr, nullptr},
    {"ButUndo", "mUndo", nullptr, "edit-undo"},
    {"ButRedo", "mRedo", nullptr, "edit-redo"},
    {nullptr, nullptr, nullptr, nullptr},
    {"ButFind", "mFindReplace", nullptr, "edit-find"},
    {"ButMark", "mBookMark", "Add bookmark  (F9)=Добавить закладку  (F9)", "bookmark-new"},
    {"ButCont", "mCont", "View all bookmarks... (Ctrl+F9)=Закладки и Заголовки... (Ctrl+F9)", "bookmarks-organize"},
    {"ButCompress", "mCompress", nullptr, "format-justify-fill"},
    {nullptr, nullptr, nullptr, nullptr},
    {"ButSpell", "mSpellCheck", "Spell check (F7)...=Орфография (F7)...", "tools-check-spelling"},
    {"ButDict", "mDict", "Dictionary (F8)...=Словарь (F8)...", "accessories-dictionary"},
    {"ButSelWord", "mSelWord", nullptr, "select-word"},
    {"ButScroll", "mScrollRun", "Scroll (F5)=Прокрутка (F5)", "scroll-down"},
    {"btnNonPrintChars", "mNonPrint", "Non-printing characters=Специальные символы", "pilcrow"},
    {nullptr, nullptr, nullptr, nullptr},
    {"ButTop", "mTop", nullptr, "go-top"},
    {"ButClose", "mExit", "Close=Закрыть программу (Esc)", "window-close"},
};
// clang-format on

}  // namespace

bool CommandEnabled(TEnableRule Rule, const TCommandState& S) {
    switch (Rule) {
        case erAlways: return true;
        case erSelection: return S.Selection;
        case erSelectionWritable: return S.Selection && !S.ReadOnly;
        case erText: return S.Text;
        case erTextWritable: return S.Text && !S.ReadOnly;
        case erWritable: return !S.ReadOnly;
        case erNamed: return S.Named;
        case erUndo: return S.CanUndo && !S.ReadOnly;
        case erRedo: return S.CanRedo && !S.ReadOnly;
        case erPaste: return S.ClipboardText && !S.ReadOnly;
        case erSave: return S.SaveEnabled;
        case erSearch: return S.Search;
        case erWordWrap: return S.WordWrap;
    }
    return false;
}

std::span<const TCommandDef> CommandRows() { return kRows; }
std::span<const TButtonDef> ToolbarButtons() { return kButtons; }

const TCommandDef* FindCommand(std::string_view Name) {
    for (const TCommandDef& r : kRows)
        if (r.Kind != ikSeparator && Name == r.Name) return &r;
    return nullptr;
}

}  // namespace tarvex
