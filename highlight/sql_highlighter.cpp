#include "highlight/sql_highlighter.h"

namespace tarvex {

namespace {

const char* const kSqlKeywords[] = {
    "ACTIVE", "ADD", "ALL", "AFTER", "ALTER", "AND", "ANY", "AS", "ASCASCENDING", "AT", "AUTO", "AUTOINC", "AVG",
    "BASE_NAME", "BEFORE", "BEGIN", "BETWEEN", "BLOB", "BOOLEAN", "BOTH", "BY", "BYTES", "CACHE", "CAST", "CHAR",
    "CHARACTER", "CHECK", "CHECK_POINT_LENGTH", "COLLATE", "COLUMN", "COMMIT", "COMMITTED", "COMPUTED",
    "CONDITIONAL", "CONSTRAINT", "CONTAINING", "COUNT", "CREATE", "CSTRING", "CURRENT", "CURSOR", "DATABASE", "DATE",
    "DAY", "DEBUG", "DEC", "DECIMAL", "DECLARE", "DEFAULT", "DELETE", "DESC", "DESCENDING", "DISTINCT", "DO",
    "DOMAIN", "DOUBLE", "DROP", "ELSE", "END", "ENTRY_POINT", "ESCAPE", "EXCEPTION", "EXECUTE", "EXISTS", "EXIT",
    "EXTERNAL", "EXTRACT", "FILE", "FILTER", "FLOAT", "FOR", "FOREIGN", "FROM", "FULL", "FUNCTION", "GDSCODE",
    "GENERATOR", "GEN_ID", "GRANT", "GROUP", "GROUP_COMMIT_WAIT_TIME", "HAVING", "HOUR", "IF", "ININT", "INACTIVE",
    "INDEX", "INNER", "INPUT_TYPE", "INSERT", "INTEGER", "INTO", "IS", "ISOLATION", "JOIN", "KEY", "LONG", "LENGTH",
    "LOGFILE", "LOWER", "LEADING", "LEFT", "LEVEL", "LIKE", "LOG_BUFFER_SIZE", "MANUAL", "MAX", "MAXIMUM_SEGMENT",
    "MERGE", "MESSAGE", "MIN", "MINUTE", "MODULE_NAME", "MONEY", "MONTH", "NAMES", "NATIONAL", "NATURAL", "NCHAR",
    "NO", "NOT", "NULL", "NUM_LOG_BUFFERS", "NUMERIC", "OF", "ON", "ONLY", "OPTION", "OR", "ORDER", "OUTER",
    "OUTPUT_TYPE", "OVERFLOW", "PAGE_SIZE", "PAGE", "PAGES", "PARAMETER", "PASSWORD", "PLAN", "POSITION",
    "POST_EVENT", "PRECISION", "PROCEDURE", "PROTECTED", "PRIMARY", "PRIVILEGES", "RAW_PARTITIONS", "RDB$DB_KEY",
    "READ", "REAL", "RECORD_VERSION", "REFERENCES", "RESERV", "RESERVING", "RETAIN", "RETURNING_VALUES", "RETURNS",
    "REVOKE", "RIGHT", "ROLLBACK", "SCHEMA", "SECOND", "SEGMENT", "SELECT", "SET", "SHADOW", "SHARED", "SHOW",
    "SINGULAR", "SIZE", "SMALLINT", "SNAPSHOT", "SOME", "SORT", "SQLCODE", "STABILITY", "STARTING", "STARTS",
    "STATISTICS", "SUB_TYPE", "SUBSTRING", "SUM", "SUSPEND", "TABLE", "THEN", "TIME", "TIMESTAMP", "TIMEZONE_HOUR",
    "TIMEZONE_MINUTE", "TO", "TRAILING", "TRANSACTION", "TRIGGER", "TRIM", "UNCOMMITTED", "UNION", "UNIQUE",
    "UPDATE", "UPPER", "USER", "VALUE", "VALUES", "VARCHAR", "VARIABLE", "VARYING", "VIEW", "WAIT", "WHEN", "WHERE",
    "WHILE", "WITH", "WORK", "WRITE", "YEAR"};
static_assert(std::size(kSqlKeywords) == kSqlKeywordCount);

const char* const kSqlOperators[] = {"(", ")", "[", "]", "/", "-", "^", "+"};
static_assert(std::size(kSqlOperators) == kSqlOperatorCount);

constexpr std::string_view kSqlSeparators = "\t \"'(),-./:;<=>[]{}";
constexpr char kNoSharp[] = "\x01";

}  // namespace

TSQLHighlighter::TSQLHighlighter() {
    SetSeparators(kSqlSeparators);
    TExtKeywordList& K = Keywords();
    K.BeginUpdate();
    for (const char* w : kSqlKeywords) K.AddExtKeyword(w, koWholeWord, hsBold, 1, 0, clNone, clNone, 0, 0);
    for (const char* w : kSqlOperators) K.AddExtKeyword(w, 0, hsBold, 4, 0, clNone, 255, 0, 0);
    K.EndUpdate();
    TExtStartStopList& S = StartStopKeys();
    S.AddExtKey("\"", "\"", 0, 0, 3, 0, 0xC0C0C0, 0, kfEndsAtLineEnd, 0, 0);
    S.AddExtKey("'", "'", 0, 0, 3, 0, 0xC0C0C0, 0, kfEndsAtLineEnd, 0, 0);
    S.AddExtKey("/*", "*/", 0, hsItalic, 2, 0, clNone, 0x008000, 0, 0, 0);
    S.AddExtKey(kNoSharp, "", 0, hsItalic, 2, 0, clNone, 0x008000, kfEndsAtLineEnd, 0, 0);
    S.AddExtKey("--", "", 0, hsItalic, 2, 0, clNone, 0x008000, kfEndsAtLineEnd, 0, 0);

    FNumbers.SetSeparators(kSqlSeparators);
    FNumbers.SetForeground(0x0000FF);
    FNumbers.SetContextNum(5);

    for (THighlightInfo* i : {&SQLKeywords, &Strings, &Comments, &Numbers, &Operators}) Watch(*i);
    FSavedKeywords.Take(SQLKeywords);
    BeginLoading();
    EndLoading();
}

void TSQLHighlighter::SetUseSharpAsComment(bool V) {
    if (V == FUseSharp) return;
    FUseSharp = V;
    StartStopKeys().SetStartKey(3, V ? "#" : kNoSharp);
}

std::vector<TTableHighlighter::TGroup> TSQLHighlighter::Groups() {
    return {{"SQLKeywords", &SQLKeywords}, {"Strings", &Strings}, {"Comments", &Comments}, {"Numbers", &Numbers},
            {"Operators", &Operators}};
}

void TSQLHighlighter::GroupChanged(THighlightInfo& I) {
    if (&I == &SQLKeywords) MergeKeywords(I, FSavedKeywords, 0, kSqlKeywordCount - 1);
    if (&I == &Operators) {
        for (std::int32_t i = kSqlKeywordCount; i < kSqlKeywordCount + kSqlOperatorCount; ++i) {
            TKeyInfoLen& k = Keywords().Item(i);
            k.Style = I.Style();
            k.BkColor = I.Background();
            k.Color = I.Foreground();
        }
    }
    if (&I == &Strings) SetEntries(I, {0, 1});
    if (&I == &Comments) SetEntries(I, {2, 3, 4});
    if (&I == &Numbers) SetNumbers(I);
}

void TSQLHighlighter::Loaded() {
    FSavedKeywords.Take(SQLKeywords);
    ResetKeywords(SQLKeywords, 0, kSqlKeywordCount - 1, koWholeWord, 1);
    for (THighlightInfo* i : {&Strings, &Comments, &Operators, &Numbers}) GroupChanged(*i);
}

}  // namespace tarvex
