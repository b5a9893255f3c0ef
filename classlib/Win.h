// The one way the project includes the Windows headers. Every system header the
// code base needs is pulled in here first; then the A/W macros whose names collide
// with the class library's methods (DrawText, GetObject, LoadBitmap...) are removed.
// Code calls the ANSI functions explicitly (DrawTextA, SendMessageA...).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef STRICT
#define STRICT
#endif

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <richole.h>
#include <shellapi.h>
#include <shlobj.h>

// commctrl.h's message macros expand to SNDMSG, which must survive the removals below.
#undef SNDMSG
#define SNDMSG ::SendMessageA

#undef CharLower
#undef CharUpper
#undef CompareString
#undef CopyFile
#undef CreateDirectory
#undef CreateEvent
#undef CreateFile
#undef CreateFont
#undef CreateWindow
#undef DeleteFile
#undef DispatchMessage
#undef DrawText
#undef DrawTextEx
#undef EnumFonts
#undef FindResource
#undef FindWindow
#undef GetClassInfo
#undef GetClassName
#undef GetCurrentDirectory
#undef GetCurrentTime
#undef GetFileAttributes
#undef GetMessage
#undef GetModuleFileName
#undef GetModuleHandle
#undef GetObject
#undef GetProp
#undef GetTextMetrics
#undef GetUserName
#undef GetWindowText
#undef IsCharAlpha
#undef LoadBitmap
#undef LoadCursor
#undef LoadIcon
#undef LoadImage
#undef LoadLibrary
#undef LoadString
#undef MessageBox
#undef MoveFile
#undef PeekMessage
#undef PostMessage
#undef RegisterClass
#undef RemoveProp
#undef SendMessage
#undef SetProp
#undef SetWindowText
#undef StartDoc
#undef TextOut
#undef UnregisterClass
#undef Yield
