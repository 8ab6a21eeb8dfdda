#pragma once
// The record of one overlapped read or write. It lives on the heap for that
// one operation only; the buffer it works on must stay alive and unchanged
// until the operation has been awaited.

#include "platform/WinApi.h"
#include "serial/ComTypes.h"

struct TComAsync {
    platform::OVERLAPPED Overlapped;
    TComAsyncKind Kind = akWrite;
};
using PAsync = TComAsync*;

// A new record: Overlapped all zero except its event, which is manual-reset
// and created signalled.
PAsync NewAsyncRecord();

// Closes the record's event, frees the record and clears AsyncPtr.
void FreeAsyncRecord(PAsync& AsyncPtr);
