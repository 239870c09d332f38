// The settings a user can change by name (`zantor config set NAME VALUE`):
// exactly what the configuration dialog offers, changed as the dialog
// changes them, with its ranges and validation.
#pragma once
#include <cstddef>

#include "config/settings.h"

namespace zantor {

// Applies value to the named setting of s as the dialog would. False, with a
// message naming the setting and its allowed values in error, when the name
// is unknown or the value not allowed.
bool SetNamedSetting(Settings* s, const char* name, const char* value, char* error, size_t size);

// Calls visit for every name in order, with its value in s and the values it allows.
void ForEachNamedSetting(const Settings& s, void (*visit)(void* context, const char* name, const char* value,
                                                          const char* allowed),
                         void* context);

}  // namespace zantor
