// GL entry points past the system library's own, looked up in the current context.
#pragma once

// The entry point of that name in the current context, or null when the driver has none or no
// context is current.
void* LookUpGlFunction(const char* name);
