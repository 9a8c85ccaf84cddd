#include "textstore/value_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"

namespace tarvex {

namespace {
constexpr const char* kInvalid = "Invalid property value";
}

void TValueWriter::WriteProperty(std::string_view Name) {
    const auto n = static_cast<std::uint8_t>(std::min<std::size_t>(Name.size(), 255));
    FData.push_back(static_cast<char>(n));
    FData.append(Name.substr(0, n));
}

void TValueWriter::WriteInteger(std::int64_t V) {
    Put(TValueType::vaInt);
    PutRaw(&V, sizeof V);
}

void TValueWriter::WriteString(std::string_view S) {
    Put(TValueType::vaString);
    const auto n = static_cast<std::uint32_t>(S.size());
    PutRaw(&n, sizeof n);
    FData.append(S);
}

void TValueWriter::WriteWideString(std::u16string_view S) {
    Put(TValueType::vaWString);
    const auto n = static_cast<std::uint32_t>(S.size());
    PutRaw(&n, sizeof n);
    PutRaw(S.data(), S.size() * 2);
}

void TValueReader::Need(std::size_t N) const {
    if (FData.size() - FPos < N || FPos > FData.size()) throw EReadError("Stream read error");
}

std::string TValueReader::ReadProperty() {
    Need(1);
    const auto n = static_cast<std::uint8_t>(FData[FPos++]);
    Need(n);
    std::string name(FData.substr(FPos, n));
    FPos += n;
    return name;
}

TValueType TValueReader::NextValue() const {
    if (FPos >= FData.size()) throw EReadError("Stream read error");
    const auto t = static_cast<std::uint8_t>(FData[FPos]);
    if (t > static_cast<std::uint8_t>(TValueType::vaTrue)) throw EReadError(kInvalid);
    return static_cast<TValueType>(t);
}

void TValueReader::Expect(TValueType T) {
    if (NextValue() != T) throw EReadError(kInvalid);
    ++FPos;
}

std::int64_t TValueReader::ReadInteger() {
    Expect(TValueType::vaInt);
    Need(8);
    std::int64_t v;
    std::memcpy(&v, FData.data() + FPos, 8);
    FPos += 8;
    return v;
}

bool TValueReader::ReadBoolean() {
    const TValueType t = NextValue();
    if (t != TValueType::vaTrue && t != TValueType::vaFalse) throw EReadError(kInvalid);
    ++FPos;
    return t == TValueType::vaTrue;
}

std::string TValueReader::ReadString() {
    const TValueType t = NextValue();
    if (t != TValueType::vaString && t != TValueType::vaWString) throw EReadError(kInvalid);
    ++FPos;
    Need(4);
    std::uint32_t n;
    std::memcpy(&n, FData.data() + FPos, 4);
    FPos += 4;
    if (t == TValueType::vaString) {
        Need(n);
        std::string s(FData.substr(FPos, n));
        FPos += n;
        return s;
    }
    Need(static_cast<std::size_t>(n) * 2);
    std::u16string w(n, u'\0');
    std::memcpy(w.data(), FData.data() + FPos, static_cast<std::size_t>(n) * 2);
    FPos += static_cast<std::size_t>(n) * 2;
    return Utf16ToCp1251(w);
}

}  // namespace tarvex
