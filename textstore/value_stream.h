#pragma once
// A small typed value stream for the persistent forms of the keyword lists:
// named properties holding integers, booleans, strings, wide strings and lists.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarvex {

enum class TValueType : std::uint8_t { vaNull = 0, vaList, vaInt, vaString, vaWString, vaFalse, vaTrue };

class EReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TValueWriter {
public:
    void WriteProperty(std::string_view Name);
    void WriteListBegin() { Put(TValueType::vaList); }
    void WriteListEnd() { Put(TValueType::vaNull); }
    void WriteInteger(std::int64_t V);
    void WriteBoolean(bool V) { Put(V ? TValueType::vaTrue : TValueType::vaFalse); }
    void WriteString(std::string_view S);
    void WriteWideString(std::u16string_view S);
    const std::string& Data() const { return FData; }

private:
    void Put(TValueType T) { FData.push_back(static_cast<char>(T)); }
    void PutRaw(const void* P, std::size_t N) { FData.append(static_cast<const char*>(P), N); }
    std::string FData;
};

class TValueReader {
public:
    explicit TValueReader(std::string_view Data) : FData(Data) {}
    bool AtEnd() const { return FPos >= FData.size(); }
    std::string ReadProperty();
    TValueType NextValue() const;
    void ReadListBegin() { Expect(TValueType::vaList); }
    bool EndOfList() const { return NextValue() == TValueType::vaNull; }
    void ReadListEnd() { Expect(TValueType::vaNull); }
    std::int64_t ReadInteger();
    bool ReadBoolean();
    // A string; a wide string is converted to Windows-1251.
    std::string ReadString();

private:
    void Expect(TValueType T);
    void Need(std::size_t N) const;
    std::string_view FData;
    std::size_t FPos = 0;
};

}  // namespace tarvex
