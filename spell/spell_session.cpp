#include "spell/spell_session.h"

namespace tarvex {

namespace {
// Bounds the memory of the remembered answers on texts with huge vocabularies.
constexpr std::size_t kMaxAnswers = 1 << 20;
}  // namespace

TSpellSession::TSpellSession(std::unique_ptr<TSpellEngine> Engine, TCustomDictionary* Custom)
    : FEngine(std::move(Engine)), FCustom(Custom) {}

bool TSpellSession::Check(std::string_view Word) {
    const std::string key(Word);
    if (auto it = FAnswers.find(key); it != FAnswers.end()) return it->second;
    bool ok = FIgnored.count(key) || (FCustom && FCustom->Contains(Word));
    if (!ok) {
        ++FEngineCalls;
        ok = FEngine->Check(Word);
    }
    if (FAnswers.size() >= kMaxAnswers) FAnswers.clear();
    FAnswers.emplace(key, ok);
    return ok;
}

const std::vector<std::string>& TSpellSession::Suggest(std::string_view Word) {
    const std::string key(Word);
    auto it = FSuggestions.find(key);
    if (it == FSuggestions.end()) {
        if (FSuggestions.size() >= kMaxAnswers) FSuggestions.clear();
        it = FSuggestions.emplace(key, FEngine->Suggest(Word)).first;
    }
    return it->second;
}

void TSpellSession::IgnoreAll(std::string_view Word) {
    FIgnored.emplace(Word);
    FAnswers[std::string(Word)] = true;
}

void TSpellSession::Add(std::string_view Word) {
    if (FCustom) FCustom->Add(Word);
    // Every case of the word is accepted now: forget the answers given.
    FAnswers.clear();
}

}  // namespace tarvex
