#include "editor/key_map.h"

#include <algorithm>

namespace tarvex {

namespace {

enum : std::uint16_t {
    vkBack = 8, vkPrior = 33, vkNext = 34, vkEnd = 35, vkHome = 36, vkLeft = 37, vkUp = 38, vkRight = 39, vkDown = 40,
    vkInsert = 45, vkDelete = 46, vkApps = 93
};
constexpr std::uint8_t S = kmShift, C = kmCtrl, CS = kmCtrl | kmShift;
constexpr std::uint16_t X = ecExtend;

// Movement keys: without Shift, and with Shift extending the selection.
struct TMoveKey {
    std::uint16_t Key;
    std::uint16_t Plain;
    std::uint16_t WithCtrl;
};
constexpr TMoveKey kMoveKeys[] = {
    {vkLeft, ecCharLeft, ecWordLeft},    {vkRight, ecCharRight, ecWordRight},
    {vkUp, ecLineUp, ecLineUp},          {vkDown, ecLineDown, ecLineDown},
    {vkPrior, ecPageUp, ecPageUpCaret},  {vkNext, ecPageDown, ecPageDownCaret},
    {vkHome, ecLineStart, ecTextStart},  {vkEnd, ecLineEnd, ecTextEnd},
};

constexpr TKeyBinding kOtherKeys[] = {
    {vkDelete, 0, ecDeleteChar},
    {vkDelete, S, ecCutOrDeleteBack},
    {vkDelete, C, ecDeleteToLineEnd},
    {vkDelete, CS, ecDeleteToLineEnd},
    {vkBack, 0, ecDeleteBack},
    {vkBack, S, ecDeleteBack},
    {vkBack, C, ecDeleteWordBack},
    {vkBack, CS, ecDeleteWordBack},
    {vkInsert, 0, ecToggleOverwrite},
    {vkInsert, S, ecPaste},
    {vkInsert, C, ecCopy},
    {vkInsert, CS, ecPaste},
    {vkApps, 0, ecContextMenu},
    {vkApps, S, ecContextMenu},
    {vkApps, C, ecContextMenu},
    {vkApps, CS, ecContextMenu},
    // Hot keys, with or without Shift.
    {'B', C, ecToggleBold},
    {'B', CS, ecToggleBold},
    {'I', C, ecToggleItalic},
    {'I', CS, ecToggleItalic},
    {'U', C, ecToggleUnderline},
    {'U', CS, ecToggleUnderline},
    {'H', C, ecToggleHighlight},
    {'H', CS, ecToggleHighlight},
    {'F', C, ecToggleAltFont},
    {'F', CS, ecToggleAltFont},
    {'T', C, ecInsertTab},
    {'T', CS, ecInsertTab},
    {'Z', C, ecUndo},
    {'Z', CS, ecRedo},
};

}  // namespace

TKeyMap::TKeyMap() {
    for (const TMoveKey& k : kMoveKeys) {
        FBindings.push_back({k.Key, 0, k.Plain});
        FBindings.push_back({k.Key, S, static_cast<std::uint16_t>(k.Plain | X)});
        FBindings.push_back({k.Key, C, k.WithCtrl});
        FBindings.push_back({k.Key, CS, static_cast<std::uint16_t>(k.WithCtrl | X)});
    }
    FBindings.insert(FBindings.end(), std::begin(kOtherKeys), std::end(kOtherKeys));
}

std::uint16_t TKeyMap::Find(std::uint16_t Key, std::uint32_t Mods) const {
    const auto m = static_cast<std::uint8_t>(Mods & (kmShift | kmCtrl));
    for (const TKeyBinding& b : FBindings)
        if (b.Key == Key && b.Mods == m) return b.Command;
    return ecNone;
}

void TKeyMap::Bind(std::uint16_t Key, std::uint8_t Mods, std::uint16_t Command) {
    Unbind(Key, Mods);
    FBindings.push_back({Key, static_cast<std::uint8_t>(Mods & (kmShift | kmCtrl)), Command});
}

void TKeyMap::Unbind(std::uint16_t Key, std::uint8_t Mods) {
    const auto m = static_cast<std::uint8_t>(Mods & (kmShift | kmCtrl));
    std::erase_if(FBindings, [&](const TKeyBinding& b) { return b.Key == Key && b.Mods == m; });
}

}  // namespace tarvex
