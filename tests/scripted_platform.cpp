#include "tests/scripted_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

thread_local DWORD last_error = 0;

std::string HandleName(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return "INVALID_HANDLE_VALUE";
  if (handle == kDeviceHandle) return "device";
  return "unknown";
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(value));
  return text;
}

const char* Pointer(const void* pointer, const char* name) {
  return pointer == nullptr ? "null" : name;
}

bool Recording() { return TheScript().recording; }

void Record(std::string call) { TheScript().calls.push_back(std::move(call)); }

}  // namespace

Reply Reply::Axes(std::int16_t raw_x, std::int16_t raw_y, DWORD returned) {
  Reply reply;
  reply.returned = returned;
  const auto ux = static_cast<std::uint16_t>(raw_x);
  const auto uy = static_cast<std::uint16_t>(raw_y);
  reply.record[4] = static_cast<unsigned char>(ux & 0xFF);
  reply.record[5] = static_cast<unsigned char>(ux >> 8);
  reply.record[6] = static_cast<unsigned char>(uy & 0xFF);
  reply.record[7] = static_cast<unsigned char>(uy >> 8);
  return reply;
}

Reply Reply::Failure(DWORD error) {
  Reply reply;
  reply.answered = 0;
  reply.returned = 0;
  reply.error = error;
  return reply;
}

Script& TheScript() {
  static Script script;
  return script;
}

HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD share_mode,
                   LPSECURITY_ATTRIBUTES security_attributes,
                   DWORD creation_disposition, DWORD flags_and_attributes,
                   HANDLE template_file) {
  if (Recording()) {
    Record(std::string("CreateFileA(") + (file_name ? file_name : "null") +
           ", " + Hex(desired_access) + ", " + Hex(share_mode) + ", " +
           Pointer(security_attributes, "attributes") + ", " +
           std::to_string(creation_disposition) + ", " +
           Hex(flags_and_attributes) + ", " +
           Pointer(template_file, "template") + ")");
  }
  const bool device =
      file_name != nullptr && std::strcmp(file_name, "\\\\.\\ShockMgr") == 0;
  if (!device || !TheScript().device_present) {
    last_error = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  return kDeviceHandle;
}

BOOL DeviceIoControl(HANDLE device, DWORD control_code, LPVOID in_buffer,
                     DWORD in_size, LPVOID out_buffer, DWORD out_size,
                     LPDWORD bytes_returned, LPOVERLAPPED overlapped) {
  if (Recording()) {
    Record("DeviceIoControl(" + HandleName(device) + ", " + Hex(control_code) +
           ", " + Pointer(in_buffer, "input") + ", " + std::to_string(in_size) +
           ", " + Pointer(out_buffer, "output") + ", " +
           std::to_string(out_size) + ", " +
           Pointer(bytes_returned, "returned") + ", " +
           Pointer(overlapped, "overlapped") + ")");
  }
  Script& script = TheScript();
  if (device != kDeviceHandle) {
    last_error = ERROR_INVALID_HANDLE;
    return 0;
  }
  if (script.replies.empty()) {
    last_error = ERROR_GEN_FAILURE;
    return 0;
  }
  const Reply& reply = script.replies[script.next_reply];
  if (script.next_reply + 1 < script.replies.size()) ++script.next_reply;
  if (!reply.answered) {
    last_error = reply.error;
    return 0;
  }
  if (out_buffer != nullptr) {
    std::memcpy(out_buffer, reply.record.data(),
                std::min<std::size_t>(out_size, reply.record.size()));
  }
  if (bytes_returned != nullptr) *bytes_returned = reply.returned;
  return 1;
}

BOOL CloseHandle(HANDLE object) {
  if (Recording()) Record("CloseHandle(" + HandleName(object) + ")");
  if (object != kDeviceHandle) {
    last_error = ERROR_INVALID_HANDLE;
    return 0;
  }
  return 1;
}

void Sleep(DWORD milliseconds) {
  const Script& script = TheScript();
  if (!script.recording) return;
  Record("Sleep(" + std::to_string(milliseconds) + ")" +
         (script.sleep_note ? script.sleep_note() : std::string()));
}

DWORD GetLastError() { return last_error; }

DWORD FormatMessageA(DWORD, LPCVOID, DWORD message_id, DWORD, LPSTR buffer,
                     DWORD size, va_list*) {
  const int length = std::snprintf(buffer, size, "scripted error %lu.\r\n",
                                   static_cast<unsigned long>(message_id));
  return length > 0 && static_cast<DWORD>(length) < size
             ? static_cast<DWORD>(length)
             : 0;
}

MMRESULT timeBeginPeriod(UINT period) {
  if (Recording()) Record("timeBeginPeriod(" + std::to_string(period) + ")");
  return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period) {
  if (Recording()) Record("timeEndPeriod(" + std::to_string(period) + ")");
  return TIMERR_NOERROR;
}
