// The host's progress callbacks. They answer 0 once Ctrl+C was pressed, so
// that the plugin stops and leaves nothing half written; with the display on
// they keep one line on standard error for an entry that takes longer than
// about a second.
#pragma once
#include <cstdint>

#include "plugin/wcx.h"

namespace zantor {

void ShowProgress(bool on);
// The entry ProcessFile is about to work on, with its listed size.
void BeginEntryProgress(const char* name, uint32_t size);
// Clears the line the entry left.
void EndEntryProgress();

int WCX_API OnProcessData(char* fileName, int size);
int WCX_API OnProcessDataW(wcx::WCHAR* fileName, int size);

}  // namespace zantor
