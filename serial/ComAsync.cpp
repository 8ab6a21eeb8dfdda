#include "serial/ComAsync.h"

PAsync NewAsyncRecord()
{
    auto* record = new TComAsync{};
    record->Overlapped.hEvent = platform::CreateEvent(true, true);
    return record;
}

void FreeAsyncRecord(PAsync& AsyncPtr)
{
    if (!AsyncPtr) return;
    platform::CloseHandle(AsyncPtr->Overlapped.hEvent);
    delete AsyncPtr;
    AsyncPtr = nullptr;
}
