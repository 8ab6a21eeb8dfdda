#include "exchange/FieldTable.h"

namespace exchange {

namespace {

using F = TEntryField;
using N = TFileNamePart;
using T = TTransmitEnable;

// In field order of TEntryField.
constexpr std::array<TFieldDef, 12> kFields = {{
    {F::efMessID, "MessID", 4, "0000", 4, true, 12, F::efJJ, N::fnNone, T::teNever},
    {F::efJJ, "JJ", 2, "00", 2, true, 4, F::efMM, N::fnYear, T::teNever},
    {F::efMM, "MM", 2, "00", 2, true, 7, F::efTT, N::fnMonth, T::teNever},
    {F::efTT, "TT", 2, "00", 2, true, 10, F::efMessID, N::fnDay, T::teInReadingModes},
    {F::efhh, "hh", 2, "00", 2, true, 13, F::efm_m, N::fnNone, T::teNever},
    {F::efm_m, "m_m", 2, "00", 2, true, 16, F::efss, N::fnNone, T::teNever},
    {F::efss, "ss", 2, "00", 2, true, 19, F::efJJ, N::fnNone, T::teAlways},
    {F::efDezimale, "Dezimale", 1, "0", 1, false, 5, F::efSpeicher_ID, N::fnNone, T::teNever},
    {F::efSpeicher_ID, "Speicher_ID", 6, "000000", 6, true, 7, F::efZaehler_ID, N::fnNone, T::teNever},
    {F::efZaehler_ID, "Zaehler_ID", 4, "0000", 4, true, 14, F::efWinter, N::fnNone, T::teNever},
    {F::efWinter, "Winter", 1, "0", 1, false, 21, F::efSommer, N::fnNone, T::teNever},
    {F::efSommer, "Sommer", 1, "0", 1, false, 19, F::efDezimale, N::fnNone, T::teAlways},
}};

constexpr bool InFieldOrder()
{
    for (std::size_t i = 0; i < kFields.size(); ++i)
        if (static_cast<std::size_t>(kFields[i].Field) != i) return false;
    return true;
}
static_assert(InFieldOrder(), "FieldDef indexes the table by TEntryField");

}  // namespace

const TFieldDef& FieldDef(TEntryField field)
{
    return kFields[static_cast<std::size_t>(field)];
}

}  // namespace exchange
