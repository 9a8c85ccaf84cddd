#include "bench/highlight/source_gen.h"

#include <fstream>

namespace tarvex::bench {

namespace {

struct TRng {
    std::uint64_t S;
    std::uint32_t Below(std::uint32_t N) {
        S = S * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(S >> 33) % N;
    }
};

const char* kIdents[] = {"count", "value", "buffer", "index", "result", "node", "length", "item", "state", "data",
                         "Total", "FName", "Owner", "Cursor", "Limit"};
const char* kWords[] = {"the", "order", "was", "shipped", "to", "customer", "on", "time", "and", "paid",
                        "заказ", "отправлен", "клиенту", "вовремя"};

std::string Id(TRng& R) { return kIdents[R.Below(15)]; }
std::string Num(TRng& R) { return std::to_string(R.Below(100000)); }
std::string Words(TRng& R, int N) {
    std::string s;
    for (int i = 0; i < N; ++i) s += std::string(i ? " " : "") + kWords[R.Below(14)];
    return s;
}

void Pascal(TRng& R, std::string& C) {
    C += "{ Procedure " + Id(R) + Num(R) + ": " + Words(R, 6) + " }\r\n";
    C += "procedure T" + Id(R) + "." + Id(R) + Num(R) + "(const A: Integer; var B: string);\r\n";
    C += "var\r\n  i, j: Integer;\r\n  s: string;\r\nbegin\r\n";
    const int n = 3 + static_cast<int>(R.Below(10));
    for (int l = 0; l < n; ++l) {
        switch (R.Below(8)) {
            case 0: C += "  if " + Id(R) + " > " + Num(R) + " then " + Id(R) + " := " + Id(R) + " + 1;\r\n"; break;
            case 1: C += "  for i := 0 to " + Id(R) + " - 1 do " + Id(R) + "[i] := $" + std::to_string(R.Below(4096)) + "F;\r\n"; break;
            case 2: C += "  s := 'Value of " + Id(R) + " is ' + IntToStr(" + Id(R) + ") + #13#10;\r\n"; break;
            case 3: C += "  " + Id(R) + " := " + Id(R) + " * " + Num(R) + "; // " + Words(R, 4) + "\r\n"; break;
            case 4: C += "  (* " + Words(R, 5) + " *) Inc(" + Id(R) + ");\r\n"; break;
            case 5: C += "  while " + Id(R) + " <> nil do " + Id(R) + " := " + Id(R) + ".Next;\r\n"; break;
            case 6: C += "  asm\r\n    mov eax, " + Num(R) + "\r\n    add eax, edx\r\n  end;\r\n"; break;
            default: C += "  {$IFDEF DEBUG} WriteLn(" + Id(R) + "); {$ENDIF}\r\n"; break;
        }
    }
    C += "end;\r\n\r\n";
    if (R.Below(10) == 0) C += "type\r\n  T" + Id(R) + " = class(TObject)\r\n  private\r\n    F" + Id(R) + ": Integer;\r\n  public\r\n    property " + Id(R) + ": Integer read F" + Id(R) + " write F" + Id(R) + ";\r\n  end;\r\n\r\n";
}

void Html(TRng& R, std::string& C) {
    C += "<tr class=\"row" + std::to_string(R.Below(2)) + "\" id=r" + Num(R) + ">\r\n";
    for (int i = 0; i < 4; ++i) {
        switch (R.Below(5)) {
            case 0: C += "  <td align=\"right\">" + Num(R) + "&nbsp;&#8364;</td>\r\n"; break;
            case 1: C += "  <td><a href=\"http://example.com/" + Id(R) + "?id=" + Num(R) + "\" title='" + Words(R, 2) + "'>" + Words(R, 3) + "</a></td>\r\n"; break;
            case 2: C += "  <td><b>" + Words(R, 2) + "</b> &amp; <i>" + Words(R, 2) + "</i><br></td>\r\n"; break;
            case 3: C += "  <!-- " + Words(R, 4) + " -->\r\n"; break;
            default: C += "  <td><img src=\"img/" + Id(R) + ".png\" width=" + std::to_string(R.Below(500)) + " alt=\"" + Words(R, 2) + "\"></td>\r\n"; break;
        }
    }
    C += "</tr>\r\n";
    if (R.Below(40) == 0) C += "<script type=\"text/javascript\">\r\nvar x = " + Num(R) + "; if (x < 10) { document.write(\"<p>\" + x); }\r\n</script>\r\n";
}

void Cpp(TRng& R, std::string& C) {
    C += "/* Function " + Num(R) + ": " + Words(R, 5) + ".\r\n   Returns 0 when nothing is left. */\r\n";
    if (R.Below(5) == 0) C += "#include <" + Id(R) + ".h>\r\n  #define " + Id(R) + "_MAX " + Num(R) + "\r\n";
    C += "static int " + Id(R) + "_" + Num(R) + "(const char* " + Id(R) + ", unsigned long n) {\r\n";
    const int n = 3 + static_cast<int>(R.Below(10));
    for (int l = 0; l < n; ++l) {
        switch (R.Below(6)) {
            case 0: C += "    if (" + Id(R) + " > " + Num(R) + ") return " + Id(R) + ";\r\n"; break;
            case 1: C += "    for (int i = 0; i < " + Id(R) + "; ++i) { " + Id(R) + " += i * " + Num(R) + "; }\r\n"; break;
            case 2: C += "    printf(\"" + Id(R) + " = %d\\n\", " + Id(R) + ");\r\n"; break;
            case 3: C += "    " + Id(R) + " = " + Id(R) + " * 2; // " + Words(R, 3) + "\r\n"; break;
            case 4: C += "    static const char* name = \"" + Words(R, 2) + "\";\r\n"; break;
            default: C += "    while (" + Id(R) + "--) { continue; }\r\n"; break;
        }
    }
    C += "    return 0;\r\n}\r\n\r\n";
}

void SqlDump(TRng& R, std::string& C, std::uint64_t& Rows) {
    if (Rows % 20000 == 0) {
        C += "--\r\n-- Table structure for table `t" + std::to_string(Rows / 20000) + "`\r\n--\r\n";
        C += "CREATE TABLE t" + std::to_string(Rows / 20000) + " (\r\n  id INTEGER NOT NULL,\r\n  name VARCHAR(64) DEFAULT NULL,\r\n  amount DECIMAL(10,2),\r\n  created TIMESTAMP,\r\n  PRIMARY KEY (id)\r\n);\r\n/* data follows */\r\n";
    }
    C += "INSERT INTO t" + std::to_string(Rows / 20000) + " VALUES (" + std::to_string(Rows) + ",'" + Words(R, 3) + "'," +
         Num(R) + "." + std::to_string(R.Below(100)) + ",'2024-0" + std::to_string(1 + R.Below(9)) + "-1" +
         std::to_string(R.Below(10)) + " 12:" + std::to_string(10 + R.Below(50)) + ":00');\r\n";
    ++Rows;
}

}  // namespace

bool GenerateSource(const std::string& Kind, const std::string& File, std::uint64_t Size) {
    if (Kind != "pas" && Kind != "htm" && Kind != "cpp" && Kind != "sqldump") return false;
    std::ofstream out(File, std::ios::binary);
    TRng r{0x5EED0000ULL + Kind.size() * 7919 + static_cast<std::uint64_t>(Kind[0])};
    std::uint64_t written = 0, rows = 0;
    std::string chunk;
    if (Kind == "htm") {
        const std::string head = "<!DOCTYPE html>\r\n<html>\r\n<head><title>Orders</title></head>\r\n<body bgcolor=\"#FFFFFF\">\r\n<table border=1>\r\n";
        out << head;
        written = head.size();
    }
    while (written < Size) {
        chunk.clear();
        while (chunk.size() < (1u << 20)) {
            if (Kind == "pas") Pascal(r, chunk);
            else if (Kind == "htm") Html(r, chunk);
            else if (Kind == "cpp") Cpp(r, chunk);
            else SqlDump(r, chunk, rows);
        }
        const std::uint64_t n = std::min<std::uint64_t>(chunk.size(), Size - written);
        out.write(chunk.data(), static_cast<std::streamsize>(n));
        written += n;
    }
    return static_cast<bool>(out);
}

}  // namespace tarvex::bench
