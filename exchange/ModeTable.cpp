#include "exchange/ModeTable.h"

namespace exchange {

namespace {

using P = TPollChange;
using R = TReplyMode;
using F = TEntryField;
using FT = TFocusTiming;

// In mode order of TOperatingMode.
// clang-format off
constexpr std::array<TModeDef, 4> kModes = {{
    {TOperatingMode::omWertLesen, "Wert_lesenClick", P::pcStop, 1, false, false, {false, false, true, true}, false,
     TCommand::cmReadValue, R::rmReading, F::efMessID, FT::ftBeforeTemplate, false},
    {TOperatingMode::omDateiLesen, "Datei_lesenClick", P::pcStop, 2, false, true, {true, false, true, true}, true,
     TCommand::cmReadDay, R::rmStoredRecord, F::efJJ, FT::ftLastStep, false},
    {TOperatingMode::omUhrStellen, "Uhr_stellenClick", P::pcStart, 1, true, false, {true, false, false, true}, false,
     TCommand::cmSetClock, R::rmReading, std::nullopt, FT::ftNotMoved, true},
    {TOperatingMode::omKonfig, "StartupClick", P::pcUnchanged, 0, false, false, {true, true, true, false}, false,
     TCommand::cmConfigure, R::rmReading, F::efDezimale, FT::ftLastStep, false},
}};
// clang-format on

constexpr bool InModeOrder()
{
    for (std::size_t i = 0; i < kModes.size(); ++i)
        if (static_cast<std::size_t>(kModes[i].Mode) != i) return false;
    return true;
}
static_assert(InModeOrder(), "ModeDef indexes the table by TOperatingMode");

}  // namespace

const TModeDef& ModeDef(TOperatingMode mode)
{
    return kModes[static_cast<std::size_t>(mode)];
}

}  // namespace exchange
