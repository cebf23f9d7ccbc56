// A stand-in for the notebook's accelerometer driver, for testing Vornisk.exe
// under Wine. It creates \Device\ShockMgr, reachable as \\.\ShockMgr, and
// answers the read request from values in its service's registry key, read
// afresh on every request so that a test can change them during a run:
//   RawX, RawY  the raw axis values to deliver (default 640, level)
//   Returned    the byte count to report (default 36)
//   FailCount   fail this many of the next requests (counts down)
//   FailAfter   if set, fail every request after this many
//   FailStatus  the status they fail with (default a device I/O error)
// and it counts Opens, Closes and Requests there for the test to check.
#include <ddk/wdm.h>

#define SHOCKMGR_READ_REQUEST 0x000733FCu
#define REPLY_SIZE 36u

static WCHAR service_key_text[512];
static UNICODE_STRING service_key;

static HANDLE OpenServiceKey(void) {
  OBJECT_ATTRIBUTES attributes;
  HANDLE key = NULL;
  InitializeObjectAttributes(&attributes, &service_key,
                             OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL,
                             NULL);
  if (!NT_SUCCESS(ZwOpenKey(&key, KEY_READ | KEY_WRITE, &attributes))) {
    return NULL;
  }
  return key;
}

static ULONG ReadValue(HANDLE key, PCWSTR name, ULONG fallback) {
  UNICODE_STRING value_name;
  UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG)];
  KEY_VALUE_PARTIAL_INFORMATION* info = (KEY_VALUE_PARTIAL_INFORMATION*)buffer;
  ULONG length = 0;
  ULONG value = fallback;
  RtlInitUnicodeString(&value_name, name);
  if (NT_SUCCESS(ZwQueryValueKey(key, &value_name, KeyValuePartialInformation,
                                 info, sizeof buffer, &length)) &&
      info->Type == REG_DWORD && info->DataLength == sizeof value) {
    RtlCopyMemory(&value, info->Data, sizeof value);
  }
  return value;
}

static void WriteValue(HANDLE key, PCWSTR name, ULONG value) {
  UNICODE_STRING value_name;
  RtlInitUnicodeString(&value_name, name);
  ZwSetValueKey(key, &value_name, 0, REG_DWORD, &value, sizeof value);
}

static void Count(HANDLE key, PCWSTR name) {
  WriteValue(key, name, ReadValue(key, name, 0) + 1);
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS CountAndComplete(PIRP irp, PCWSTR counter) {
  HANDLE key = OpenServiceKey();
  if (key != NULL) {
    Count(key, counter);
    ZwClose(key);
  }
  return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS DispatchCreate(PDEVICE_OBJECT device, PIRP irp) {
  (void)device;
  return CountAndComplete(irp, L"Opens");
}

static NTSTATUS DispatchClose(PDEVICE_OBJECT device, PIRP irp) {
  (void)device;
  return CountAndComplete(irp, L"Closes");
}

static NTSTATUS DispatchControl(PDEVICE_OBJECT device, PIRP irp) {
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  const ULONG out_size = stack->Parameters.DeviceIoControl.OutputBufferLength;
  HANDLE key = OpenServiceKey();
  NTSTATUS status = STATUS_SUCCESS;
  ULONG_PTR information = 0;
  ULONG requests;
  ULONG failures;
  ULONG fail_after;
  (void)device;
  if (key == NULL) return Complete(irp, STATUS_UNSUCCESSFUL, 0);
  requests = ReadValue(key, L"Requests", 0) + 1;
  WriteValue(key, L"Requests", requests);
  failures = ReadValue(key, L"FailCount", 0);
  fail_after = ReadValue(key, L"FailAfter", 0);
  if (code != SHOCKMGR_READ_REQUEST) {
    status = STATUS_INVALID_DEVICE_REQUEST;
  } else if (out_size < REPLY_SIZE) {
    status = STATUS_BUFFER_TOO_SMALL;
  } else if (failures > 0 || (fail_after > 0 && requests > fail_after)) {
    if (failures > 0) WriteValue(key, L"FailCount", failures - 1);
    status =
        (NTSTATUS)ReadValue(key, L"FailStatus", (ULONG)STATUS_IO_DEVICE_ERROR);
  } else {
    UCHAR* reply = (UCHAR*)irp->AssociatedIrp.SystemBuffer;
    const ULONG raw_x = ReadValue(key, L"RawX", 640);
    const ULONG raw_y = ReadValue(key, L"RawY", 640);
    const ULONG returned = ReadValue(key, L"Returned", REPLY_SIZE);
    // Everything but the axis values is filler that the reader must ignore.
    RtlFillMemory(reply, REPLY_SIZE, 0xA5);
    reply[4] = (UCHAR)(raw_x & 0xFF);
    reply[5] = (UCHAR)((raw_x >> 8) & 0xFF);
    reply[6] = (UCHAR)(raw_y & 0xFF);
    reply[7] = (UCHAR)((raw_y >> 8) & 0xFF);
    information = returned < REPLY_SIZE ? returned : REPLY_SIZE;
  }
  ZwClose(key);
  return Complete(irp, status, information);
}

static void Unload(PDRIVER_OBJECT driver) {
  UNICODE_STRING link;
  RtlInitUnicodeString(&link, L"\\DosDevices\\ShockMgr");
  IoDeleteSymbolicLink(&link);
  if (driver->DeviceObject != NULL) IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry) {
  UNICODE_STRING name;
  UNICODE_STRING link;
  PDEVICE_OBJECT device = NULL;
  NTSTATUS status;
  const USHORT size = registry->Length < sizeof service_key_text - sizeof(WCHAR)
                          ? registry->Length
                          : (USHORT)(sizeof service_key_text - sizeof(WCHAR));

  RtlCopyMemory(service_key_text, registry->Buffer, size);
  service_key.Buffer = service_key_text;
  service_key.Length = size;
  service_key.MaximumLength = sizeof service_key_text;

  RtlInitUnicodeString(&name, L"\\Device\\ShockMgr");
  status =
      IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  RtlInitUnicodeString(&link, L"\\DosDevices\\ShockMgr");
  status = IoCreateSymbolicLink(&link, &name);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(device);
    return status;
  }
  device->Flags |= DO_BUFFERED_IO;
  device->Flags &= ~DO_DEVICE_INITIALIZING;
  driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
  driver->DriverUnload = Unload;
  return STATUS_SUCCESS;
}
