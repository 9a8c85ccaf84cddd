#pragma once
// One spelling check: an open engine with the user's word list on top, the
// words ignored for this check and the answers already given. Prose repeats
// its words, so each distinct word goes to the engine once.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "spell/cust_dic.h"
#include "spell/spell_engines.h"

namespace tarvex {

class TSpellSession {
public:
    // Custom may be nullptr (no user's list).
    TSpellSession(std::unique_ptr<TSpellEngine> Engine, TCustomDictionary* Custom);

    TSpellEngine& Engine() { return *FEngine; }
    // Accepted by the user's list, ignored, or correct for the engine.
    bool Check(std::string_view Word);
    // The engine's suggestions, remembered per word.
    const std::vector<std::string>& Suggest(std::string_view Word);
    // Accepts the word for the rest of this check.
    void IgnoreAll(std::string_view Word);
    // Adds the word to the user's list (accepted from now on).
    void Add(std::string_view Word);

    std::int64_t EngineCalls() const { return FEngineCalls; }

private:
    std::unique_ptr<TSpellEngine> FEngine;
    TCustomDictionary* FCustom;
    std::unordered_set<std::string> FIgnored;
    std::unordered_map<std::string, bool> FAnswers;
    std::unordered_map<std::string, std::vector<std::string>> FSuggestions;
    std::int64_t FEngineCalls = 0;
};

}  // namespace tarvex
