#pragma once
// The window's twelve entry fields in one table: which of the window's edits
// holds each field and where it lies on the 96-dpi grid. From it the window
// builds the edits, wires their Enter key and finds the edit of a field or
// the field of an edit. Everything else about a field (its name, initial
// text, maximum length, what a commit does) is exchange/FieldTable.h.

#include "exchange/FieldTable.h"
#include "ui/SDIMain.h"

#include <array>

struct TEntryFieldWidget {
    exchange::TEntryField Field;
    TEdit* TSDIAppForm::*Edit;
    int X, Y, Width;  // the edit's place on the 96-dpi grid
};

// One row per field, in field order (a friend of the window, whose edits are
// private).
const std::array<TEntryFieldWidget, 12>& EntryFieldWidgets();

const TEntryFieldWidget& EntryFieldWidget(exchange::TEntryField field);
