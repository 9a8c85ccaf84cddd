#pragma once
// The Cyrillic single-byte code pages the loader meets (KOI8-R, DOS cp866)
// to and from Windows-1251, and UTF-8 to Windows-1251. Every function works
// on any bytes: there is no invalid input, only bytes without a counterpart.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// The 256-entry tables behind the in-place conversions.
const unsigned char* KoiToWinTable();  // no counterpart: '?'; 0x95 stays 0x95
const unsigned char* WinToKoiTable();  // no counterpart: 0x94; 0x95 stays 0x95
const unsigned char* DosToWinTable();  // box drawing to + - = |, the rest without a counterpart to '?'
const unsigned char* WinToDosTable();  // no counterpart: '?'

void KoiToWin(char* Buf, std::size_t Len);
void WinToKoi(char* Buf, std::size_t Len);
void DosToWin(char* Buf, std::size_t Len);
void WinToDos(char* Buf, std::size_t Len);
inline void KoiToWin(std::string& S) { KoiToWin(S.data(), S.size()); }
inline void WinToKoi(std::string& S) { WinToKoi(S.data(), S.size()); }
inline void DosToWin(std::string& S) { DosToWin(S.data(), S.size()); }
inline void WinToDos(std::string& S) { WinToDos(S.data(), S.size()); }

// UTF-8 to Windows-1251. A leading byte-order mark is dropped; characters
// without a Windows-1251 byte and every byte of a malformed sequence become
// '?' (the same result as Utf8ToCp1251, only faster on long texts).
// Unmapped, when given, receives how many '?' were put in that way.
std::string Utf8ToAnsi(std::string_view Bytes, std::int64_t* Unmapped = nullptr);

// Swaps the two bytes of every 16-bit unit (a trailing odd byte stays).
void SwapByteOrder16(std::string& Bytes);

}  // namespace tarvex
