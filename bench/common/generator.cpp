#include "bench/common/generator.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace tarvex::bench {

namespace {

// xoshiro256** seeded through splitmix64: fast, and the same sequence everywhere.
class TRng {
public:
    explicit TRng(std::uint64_t Seed) {
        for (auto& s : S) {
            Seed += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = Seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            s = z ^ (z >> 31);
        }
    }
    std::uint64_t Next() {
        const std::uint64_t r = Rotl(S[1] * 5, 7) * 9;
        const std::uint64_t t = S[1] << 17;
        S[2] ^= S[0];
        S[3] ^= S[1];
        S[1] ^= S[2];
        S[0] ^= S[3];
        S[2] ^= t;
        S[3] = Rotl(S[3], 45);
        return r;
    }
    // Uniform in 0..N-1 (multiply-shift; the tiny bias does not matter here).
    std::uint32_t Below(std::uint32_t N) { return static_cast<std::uint32_t>(((Next() >> 32) * N) >> 32); }
    // True with a chance of PerMille / 1000.
    bool Chance(std::uint32_t PerMille) { return Below(1000) < PerMille; }

private:
    static std::uint64_t Rotl(std::uint64_t X, int K) { return (X << K) | (X >> (64 - K)); }
    std::uint64_t S[4];
};

// UTF-8 in the source, converted to Windows-1251 once.
constexpr const char* kCyrillicWords[] = {
    "и", "в", "не", "на", "что", "он", "с", "как", "а", "то", "все", "она", "так", "его", "но", "да", "ты",
    "к", "у", "же", "вы", "за", "бы", "по", "только", "ее", "мне", "было", "вот", "от", "меня", "еще", "нет",
    "о", "из", "ему", "теперь", "когда", "даже", "ну", "вдруг", "ли", "если", "уже", "или", "ни", "быть",
    "был", "него", "до", "вас", "нибудь", "опять", "уж", "вам", "ведь", "там", "потом", "себя", "ничего",
    "ей", "может", "они", "тут", "где", "есть", "надо", "ней", "для", "мы", "тебя", "их", "чем", "была",
    "сам", "чтоб", "без", "будто", "чего", "раз", "тоже", "себе", "под", "будет", "ж", "тогда", "кто",
    "этот", "того", "потому", "этого", "какой", "совсем", "ним", "здесь", "этом", "один", "почти", "мой",
    "тем", "чтобы", "нее", "сейчас", "были", "куда", "зачем", "всех", "никогда", "можно", "при", "наконец",
    "два", "об", "другой", "хоть", "после", "над", "больше", "тот", "через", "эти", "нас", "про", "всего",
    "них", "какая", "много", "разве", "три", "эту", "моя", "впрочем", "хорошо", "свою", "этой", "перед",
    "иногда", "лучше", "чуть", "том", "нельзя", "такой", "им", "более", "всегда", "конечно", "всю", "между",
    "город", "дорога", "человек", "время", "жизнь", "день", "рука", "работа", "слово", "место", "лицо",
    "друг", "глаз", "вопрос", "дом", "сторона", "страна", "мир", "случай", "голова", "ребенок", "сила",
    "конец", "вид", "система", "часть", "вода", "отношение", "женщина", "деньги", "земля", "машина",
    "книга", "письмо", "окно", "вечер", "утро", "река", "ветер", "снег", "солнце", "дерево", "поле",
    "говорить", "знать", "стать", "видеть", "хотеть", "идти", "думать", "сказать", "понимать", "смотреть",
    "ответил", "спросил", "посмотрел", "улыбнулась", "подумал", "вернулся", "открыла", "молчал",
    "большой", "новый", "старый", "хороший", "последний", "русский", "главный", "белый", "тихий",
    "длинный", "светлый", "зимний", "осенний", "далекий", "странный", "ёлка", "ещё", "объём", "съезд",
    "подъезд", "щёки", "чайник", "юность", "яблоко", "ящик", "шёпот", "цифра", "эхо", "фонарь",
};

constexpr const char* kLatinWords[] = {
    "the", "of", "and", "to", "in", "is", "that", "for", "it", "as", "was", "with", "be", "by", "on", "not",
    "he", "this", "are", "or", "his", "from", "at", "which", "but", "have", "an", "had", "they", "you",
    "were", "their", "one", "all", "we", "can", "her", "has", "there", "been", "if", "more", "when", "will",
    "would", "who", "so", "no", "file", "editor", "text", "paragraph", "window", "server", "version",
    "Linux", "Windows", "Unicode", "Qt", "Moscow", "London", "Berlin", "Paris", "data", "memory", "string",
    "buffer", "screen", "keyboard", "letter", "river", "morning", "evening", "station", "train", "garden",
};

constexpr const char* kLogWords[] = {
    "request", "response", "session", "timeout", "retry", "queue", "worker", "handler", "cache", "index",
    "batch", "commit", "rollback", "snapshot", "replica", "shard", "token", "client", "upstream", "backend",
    "payload", "header", "socket", "stream", "channel", "config", "reload", "scheduler", "metrics", "health",
};

constexpr const char* kTables[] = {"customers", "orders", "invoices", "products", "events", "sessions", "audit_log"};
constexpr const char* kUsers[] = {"anna.smith", "ivanov", "p.petrova", "admin", "jdoe", "m.kuznetsov", "backup"};
constexpr const char* kPaths[] = {"/api/v1/orders/", "/api/v1/items/", "/api/v2/users/", "/static/img/",
                                  "/health", "/api/v1/search?q=", "/login", "/api/v1/reports/"};
constexpr const char* kMethods[] = {"GET", "GET", "GET", "POST", "PUT", "DELETE"};
constexpr const char* kStatuses[] = {"200", "200", "200", "200", "201", "204", "304", "400", "404", "500"};
constexpr const char* kThreads[] = {"main", "worker-", "http-nio-8080-exec-", "scheduler-", "db-pool-"};
constexpr const char* kTailKeys[] = {" trace=", " span=", " region=", " node=", " attempt=", " size=", " user="};

struct TWord {
    std::string Lower, Upper;
};

unsigned char UpperCp1251(unsigned char C) {
    if (C >= 'a' && C <= 'z') return static_cast<unsigned char>(C - 0x20);
    if (C >= 0xE0) return static_cast<unsigned char>(C - 0x20);
    if (C == 0xB8) return 0xA8;  // ё
    return C;
}

template <std::size_t N>
std::vector<TWord> MakeWords(const char* const (&List)[N]) {
    std::vector<TWord> v;
    v.reserve(N);
    for (const char* w : List) {
        TWord t;
        t.Lower = Utf8ToCp1251(w);
        t.Upper = t.Lower;
        t.Upper[0] = static_cast<char>(UpperCp1251(static_cast<unsigned char>(t.Upper[0])));
        v.push_back(std::move(t));
    }
    return v;
}

template <typename T, std::size_t N>
const T& Pick(TRng& R, const T (&A)[N]) {
    return A[R.Below(N)];
}

// Collects bytes and hands them to the sink in chunks, stopping at exactly Size bytes.
class TOutput {
public:
    // FixLastCr replaces a CR left alone at the very end when the cut splits a CR LF pair.
    TOutput(std::uint64_t Size, const DataSink& Sink, char FixLastCr = 0)
        : FSize(Size), FSink(Sink), FFixLastCr(FixLastCr) {
        FBuf.resize(kChunk + kSlack);
        FEnd = FBuf.data();
    }
    bool Done() const { return FDone; }
    // Room for at least kSlack bytes is guaranteed after each call.
    void Check() {
        if (FEnd - FBuf.data() >= static_cast<std::ptrdiff_t>(kChunk)) Flush(false);
    }
    void Finish() { Flush(true); }

    void Put(char C) { *FEnd++ = C; }
    void Put(std::string_view S) {
        std::memcpy(FEnd, S.data(), S.size());
        FEnd += S.size();
    }
    void PutNum(std::uint64_t N, int MinDigits = 1) {
        char tmp[24];
        int k = 0;
        do {
            tmp[k++] = static_cast<char>('0' + N % 10);
            N /= 10;
        } while (N != 0 || k < MinDigits);
        while (k > 0) *FEnd++ = tmp[--k];
    }
    void PutHex(std::uint64_t V, int Digits) {
        static constexpr char kHex[] = "0123456789abcdef";
        for (int i = Digits - 1; i >= 0; --i) *FEnd++ = kHex[(V >> (4 * i)) & 15];
    }
    char* Pos() const { return FEnd; }
    void SetPos(char* P) { FEnd = P; }
    // Bytes produced so far (flushed or not), for length bookkeeping.
    std::uint64_t Produced() const { return FFlushed + static_cast<std::uint64_t>(FEnd - FBuf.data()); }

private:
    static constexpr std::size_t kChunk = 4u << 20;
    static constexpr std::size_t kSlack = 64u << 10;  // more than one sentence or log line

    void Flush(bool Final) {
        std::size_t n = static_cast<std::size_t>(FEnd - FBuf.data());
        if (FFlushed + n >= FSize) {
            n = static_cast<std::size_t>(FSize - FFlushed);
            FDone = true;
            if (FFixLastCr && n > 0 && FBuf[n - 1] == '\r') FBuf[n - 1] = FFixLastCr;
        } else if (Final) {
            FDone = true;
        }
        if (n > 0) FSink(FBuf.data(), n);
        FFlushed += n;
        FEnd = FBuf.data();
    }

    std::uint64_t FSize;
    const DataSink& FSink;
    const char FFixLastCr;
    std::vector<char> FBuf;
    char* FEnd;
    std::uint64_t FFlushed = 0;
    bool FDone = false;
};

class TProseWriter {
public:
    explicit TProseWriter(TRng& R) : R(R), Cyr(MakeWords(kCyrillicWords)), Lat(MakeWords(kLatinWords)) {}

    // One sentence followed by a space; returns its length.
    std::size_t Sentence(TOutput& O) {
        char* start = O.Pos();
        const std::uint32_t words = 3 + R.Below(14);
        const bool latin = R.Chance(120);
        bool quoted = false;
        for (std::uint32_t i = 0; i < words; ++i) {
            if (i > 0) O.Put(' ');
            if (!quoted && i + 1 < words && R.Chance(15)) {
                O.Put('\xAB');  // «
                quoted = true;
            }
            if (R.Chance(25)) {
                O.PutNum(R.Chance(500) ? 1800 + R.Below(230) : R.Below(1000));
            } else {
                const auto& list = latin || R.Chance(60) ? Lat : Cyr;
                const TWord& w = list[R.Below(static_cast<std::uint32_t>(list.size()))];
                O.Put(i == 0 ? w.Upper : w.Lower);
            }
            if (quoted && R.Chance(400)) {
                O.Put('\xBB');  // »
                quoted = false;
            }
            if (i + 1 < words) {
                if (R.Chance(90))
                    O.Put(',');
                else if (R.Chance(20))
                    O.Put(" \x97");  // em dash
            }
        }
        if (quoted) O.Put('\xBB');
        const std::uint32_t end = R.Below(100);
        O.Put(end < 85 ? '.' : end < 90 ? '!' : end < 96 ? '?' : '\x85');  // … last
        O.Put(' ');
        return static_cast<std::size_t>(O.Pos() - start);
    }

    // Sentences until Target bytes are reached, without the trailing space.
    void Text(TOutput& O, std::uint64_t Target) {
        std::uint64_t len = 0;
        for (;;) {
            len += Sentence(O);
            if (len >= Target) {
                O.SetPos(O.Pos() - 1);  // the space after the last sentence
                return;
            }
            O.Check();
            if (O.Done()) return;
        }
    }

    // A heading or a short line of dialogue, 5-60 bytes.
    void Short(TOutput& O) {
        char* start = O.Pos();
        if (R.Chance(400)) O.Put("\x97 ");  // a line of dialogue
        const std::uint32_t words = 1 + R.Below(6);
        for (std::uint32_t i = 0; i < words && O.Pos() - start < 50; ++i) {
            if (i > 0) O.Put(' ');
            const auto& list = R.Chance(100) ? Lat : Cyr;
            const TWord& w = list[R.Below(static_cast<std::uint32_t>(list.size()))];
            O.Put(i == 0 ? w.Upper : w.Lower);
        }
        if (R.Chance(500)) O.Put('.');
    }

private:
    TRng& R;
    std::vector<TWord> Cyr, Lat;
};

void GenerateProse(std::uint64_t Size, const DataSink& Sink) {
    TRng r(0x7A52'5645'0001ull);
    TProseWriter w(r);
    TOutput o(Size, Sink, '.');
    while (!o.Done()) {
        const std::uint32_t kind = r.Below(1000);
        if (kind < 70) {
            // empty paragraph
        } else if (kind < 170) {
            w.Short(o);
        } else if (kind < 985) {
            w.Text(o, 100 + r.Below(451) + r.Below(451));  // 100-1000, most near the middle
        } else {
            w.Text(o, 1000 + r.Below(3001));
        }
        o.Put("\r\n");
        o.Check();
    }
    o.Finish();
}

void GenerateLongLines(std::uint64_t Size, const DataSink& Sink) {
    TRng r(0x7A52'5645'0003ull);
    TProseWriter w(r);
    TOutput o(Size, Sink);
    while (!o.Done()) {
        w.Text(o, (2u << 20) + r.Below(7u << 20));
        o.Put('\n');
        o.Check();
    }
    o.Finish();
}

// A running timestamp with millisecond steps and calendar carries.
class TClock {
public:
    void Advance(std::uint32_t Ms) {
        Msec += static_cast<int>(Ms);
        while (Msec >= 1000) {
            Msec -= 1000;
            if (++Sec < 60) continue;
            Sec = 0;
            if (++Min < 60) continue;
            Min = 0;
            if (++Hour < 24) continue;
            Hour = 0;
            if (++Day <= DaysIn(Month, Year)) continue;
            Day = 1;
            if (++Month <= 12) continue;
            Month = 1;
            ++Year;
        }
    }
    void Put(TOutput& O) const {
        O.PutNum(static_cast<std::uint64_t>(Year), 4);
        O.Put('-');
        O.PutNum(static_cast<std::uint64_t>(Month), 2);
        O.Put('-');
        O.PutNum(static_cast<std::uint64_t>(Day), 2);
        O.Put(' ');
        O.PutNum(static_cast<std::uint64_t>(Hour), 2);
        O.Put(':');
        O.PutNum(static_cast<std::uint64_t>(Min), 2);
        O.Put(':');
        O.PutNum(static_cast<std::uint64_t>(Sec), 2);
        O.Put('.');
        O.PutNum(static_cast<std::uint64_t>(Msec), 3);
    }

private:
    static int DaysIn(int M, int Y) {
        static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (Y % 4 == 0 && Y % 100 != 0) || Y % 400 == 0;
        return M == 2 && leap ? 29 : kDays[M - 1];
    }
    int Year = 2024, Month = 2, Day = 27, Hour = 23, Min = 58, Sec = 10, Msec = 0;
};

void GenerateLog(std::uint64_t Size, const DataSink& Sink) {
    TRng r(0x7A52'5645'0002ull);
    TOutput o(Size, Sink);
    TClock clock;
    auto ip = [&] {
        o.PutNum(r.Chance(700) ? 10 : 192);
        o.Put('.');
        o.PutNum(r.Below(256));
        o.Put('.');
        o.PutNum(r.Below(256));
        o.Put('.');
        o.PutNum(1 + r.Below(254));
    };
    while (!o.Done()) {
        char* start = o.Pos();
        const std::uint32_t target = 60 + r.Below(71) + r.Below(71);
        clock.Advance(r.Below(41));
        clock.Put(o);
        const std::uint32_t lv = r.Below(1000);
        o.Put(lv < 700 ? " INFO  [" : lv < 850 ? " DEBUG [" : lv < 950 ? " WARN  [" : lv < 990 ? " ERROR [" : " TRACE [");
        const char* th = Pick(r, kThreads);
        o.Put(th);
        if (th[std::strlen(th) - 1] == '-') o.PutNum(1 + r.Below(16));
        o.Put("] ");
        switch (lv >= 950 && lv < 990 ? 6 : r.Below(6)) {
            case 0:
                o.Put("http: ");
                o.Put(Pick(r, kMethods));
                o.Put(' ');
                {
                    const std::string_view path = Pick(r, kPaths);
                    o.Put(path);
                    if (path.back() == '/' || path.back() == '=') o.PutNum(r.Below(100000));  // an id or a query
                }
                o.Put(" -> ");
                o.Put(Pick(r, kStatuses));
                o.Put(" in ");
                o.PutNum(r.Below(900));
                o.Put(" ms (client ");
                ip();
                o.Put(')');
                break;
            case 1:
                o.Put("db: query on ");
                o.Put(Pick(r, kTables));
                o.Put(" returned ");
                o.PutNum(r.Below(5000));
                o.Put(" rows in ");
                o.PutNum(r.Below(400));
                o.Put(" ms");
                break;
            case 2:
                o.Put("cache: miss for key ");
                o.Put(Pick(r, kLogWords));
                o.Put(':');
                o.PutHex(r.Next(), 8);
                o.Put(", loading from store");
                break;
            case 3:
                o.Put("auth: user ");
                o.Put(Pick(r, kUsers));
                o.Put(" logged in from ");
                ip();
                break;
            case 4:
                o.Put("scheduler: job ");
                o.Put(Pick(r, kLogWords));
                o.Put('-');
                o.PutNum(r.Below(100));
                o.Put(" finished in ");
                o.PutNum(r.Below(20000));
                o.Put(" ms, ");
                o.PutNum(r.Below(500));
                o.Put(" items processed");
                break;
            case 5:
                o.Put("gc: pause ");
                o.PutNum(r.Below(80));
                o.Put(" ms, heap ");
                o.PutNum(64 + r.Below(1900));
                o.Put(" MB of 2048 MB used");
                break;
            default:
                o.Put("worker: failed to deliver message 0x");
                o.PutHex(r.Next(), 8);
                o.Put(" to ");
                o.Put(Pick(r, kLogWords));
                o.Put(": connection reset by peer (attempt ");
                o.PutNum(1 + r.Below(5));
                o.Put(" of 5)");
                break;
        }
        // Key-value details up to the line's target length, never past 200 bytes.
        while (o.Pos() - start + 20 <= static_cast<std::ptrdiff_t>(target)) {
            const char* key = Pick(r, kTailKeys);
            o.Put(key);
            if (key[1] == 't' || key[1] == 's')
                o.PutHex(r.Next(), 8);
            else if (key[1] == 'u')
                o.Put(Pick(r, kUsers));
            else if (key[1] == 'r')
                o.Put(r.Chance(500) ? "eu-central" : "us-east");
            else
                o.PutNum(r.Below(10000));
        }
        o.Put('\n');
        o.Check();
    }
    o.Finish();
}

}  // namespace

std::optional<DataKind> ParseDataKind(std::string_view Name) {
    if (Name == "prose") return DataKind::Prose;
    if (Name == "log") return DataKind::Log;
    if (Name == "longlines") return DataKind::LongLines;
    return std::nullopt;
}

const char* DataKindName(DataKind Kind) {
    switch (Kind) {
        case DataKind::Prose: return "prose";
        case DataKind::Log: return "log";
        case DataKind::LongLines: return "longlines";
    }
    return "?";
}

void GenerateData(DataKind Kind, std::uint64_t Size, const DataSink& Sink) {
    if (Size == 0) return;
    switch (Kind) {
        case DataKind::Prose: GenerateProse(Size, Sink); break;
        case DataKind::Log: GenerateLog(Size, Sink); break;
        case DataKind::LongLines: GenerateLongLines(Size, Sink); break;
    }
}

}  // namespace tarvex::bench
