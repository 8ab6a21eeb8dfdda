#include "ui/EntryFieldTable.h"

#include <algorithm>
#include <stdexcept>

namespace {
using F = exchange::TEntryField;
using W = TSDIAppForm;
}  // namespace

const std::array<TEntryFieldWidget, 12>& EntryFieldWidgets()
{
    static const std::array<TEntryFieldWidget, 12> rows = {{
        {F::efMessID, &W::MessID, 268, 216, 57},
        {F::efJJ, &W::JJ, 448, 216, 25},
        {F::efMM, &W::MM, 490, 216, 25},
        {F::efTT, &W::TT, 532, 216, 25},
        {F::efhh, &W::hh, 663, 216, 25},
        {F::efm_m, &W::m_m, 705, 216, 25},
        {F::efss, &W::ss, 747, 216, 25},
        {F::efDezimale, &W::Dezimale, 268, 296, 25},
        {F::efSpeicher_ID, &W::Speicher_ID, 344, 296, 69},
        {F::efZaehler_ID, &W::Zaehler_ID, 448, 296, 53},
        {F::efWinter, &W::Winter, 564, 296, 25},
        {F::efSommer, &W::Sommer, 663, 296, 25},
    }};
    return rows;
}

const TEntryFieldWidget& EntryFieldWidget(exchange::TEntryField field)
{
    const auto& rows = EntryFieldWidgets();
    const auto row =
        std::find_if(rows.begin(), rows.end(), [field](const TEntryFieldWidget& r) { return r.Field == field; });
    if (row == rows.end()) throw std::logic_error("entry field without an edit");
    return *row;
}
