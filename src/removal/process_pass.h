// The process pass: before any file is removed, every running program that
// the definitions name is terminated, after a notice for each naming entry.
#pragma once

#include <windows.h>

#include "reference/reference_index.h"

void ListProcesses(HWND owner, const reference::ReferenceIndex& index);
