// The one place where Vornisk meets the Windows API.
//
// Built for Windows this is the real API. Everywhere else it declares a small
// stand-in with the same names, types and values, covering exactly what
// Vornisk calls; the build links an implementation of it (the Linux sensor in
// the product, a scripted fake in the tests). A Windows test build asks for
// the stand-in too (VORNISK_STANDIN_API), so that the scripted fake can take
// the place of kernel32.
#pragma once

#if defined(_WIN32) && !defined(VORNISK_STANDIN_API)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After <windows.h>, which they rely on.
#include <timeapi.h>
#include <winioctl.h>

#else

#include <cstdarg>
#include <cstdint>

using BOOL = int;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using HANDLE = void*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;
using LPSTR = char*;
using LPCSTR = const char*;
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;
using MMRESULT = UINT;

// All bits set, as on Windows; never a valid handle.
inline HANDLE const INVALID_HANDLE_VALUE =
    reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD OPEN_EXISTING = 3;

// The fields of a device control code: device type in bits 16 to 31,
// required access in 14 and 15, function in 2 to 13, transfer method in 0
// and 1.
constexpr DWORD CTL_CODE(DWORD device_type, DWORD function, DWORD method,
                         DWORD access) {
  return (device_type << 16) | (access << 14) | (function << 2) | method;
}
constexpr DWORD FILE_DEVICE_DISK = 0x00000007;
constexpr DWORD METHOD_BUFFERED = 0;
constexpr DWORD FILE_ANY_ACCESS = 0;

constexpr DWORD ERROR_INVALID_FUNCTION = 1;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_NOT_READY = 21;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_OPEN_FAILED = 110;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_BUSY = 170;

constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;

constexpr MMRESULT TIMERR_NOERROR = 0;

HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD share_mode,
                   LPSECURITY_ATTRIBUTES security_attributes,
                   DWORD creation_disposition, DWORD flags_and_attributes,
                   HANDLE template_file);
BOOL DeviceIoControl(HANDLE device, DWORD control_code, LPVOID in_buffer,
                     DWORD in_size, LPVOID out_buffer, DWORD out_size,
                     LPDWORD bytes_returned, LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE object);
void Sleep(DWORD milliseconds);
DWORD GetLastError();
// Only FORMAT_MESSAGE_FROM_SYSTEM into a caller's buffer is supported.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD message_id,
                     DWORD language_id, LPSTR buffer, DWORD size,
                     va_list* arguments);
// Requests and releases precise timing for Sleep.
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);

#endif
