// GDI+'s headers, with what WIN32_LEAN_AND_MEAN leaves out of the Windows
// headers and GDI+ needs (objidl.h's property and stream types).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
