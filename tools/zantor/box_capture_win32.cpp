#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "zantor/box_capture.h"

namespace zantor {

namespace {

void PrintWide(const wchar_t* text) {
  if (text == nullptr) return;
  char utf8[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::fputs(n > 0 ? utf8 : "?", stderr);
}

int WINAPI CapturedBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  std::fprintf(stderr, "box: %s: %s\n", caption != nullptr ? caption : "", text != nullptr ? text : "");
  std::fflush(stderr);
  return IDOK;
}

int WINAPI CapturedBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
  std::fputs("box: ", stderr);
  PrintWide(caption);
  std::fputs(": ", stderr);
  PrintWide(text);
  std::fputs("\n", stderr);
  std::fflush(stderr);
  return IDOK;
}

// Points every import of function from user32 in module at replacement.
bool PatchImport(HMODULE module, const char* function, void* replacement) {
  uint8_t* base = reinterpret_cast<uint8_t*>(module);
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return false;
  bool patched = false;
  const IMAGE_IMPORT_DESCRIPTOR* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
  for (; d->Name != 0; ++d) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), "user32.dll") != 0) continue;
    // Without the name table the bound addresses cannot be told apart.
    if (d->OriginalFirstThunk == 0) continue;
    const IMAGE_THUNK_DATA* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    IMAGE_THUNK_DATA* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const IMAGE_IMPORT_BY_NAME* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD old = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old)) return false;
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      patched = true;
    }
  }
  return patched;
}

}  // namespace

bool CaptureBoxes(void* module) {
  HMODULE m = static_cast<HMODULE>(module);
  const bool a = PatchImport(m, "MessageBoxA", reinterpret_cast<void*>(&CapturedBoxA));
  const bool w = PatchImport(m, "MessageBoxW", reinterpret_cast<void*>(&CapturedBoxW));
  return a || w;
}

}  // namespace zantor
