#pragma once
// windows.h for the Win32 back end, without the A/W macros that would rename our
// own members of the same names (CreateDirectory, GetPrivateProfileString, ...).
// Code here calls the ...A or ...W function it means explicitly.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef RemoveDirectory
#undef GetPrivateProfileString
#undef WritePrivateProfileString
#undef WritePrivateProfileSection
#undef GetProfileString
#undef WriteProfileString
