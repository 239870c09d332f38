#include "config/dialog_win32.h"

#include "base/heap.h"

namespace zantor {

void DialogBase::operator delete(void* block) { Release(block); }

INT_PTR DialogBase::Run(int resource, HWND parentWindow, HINSTANCE moduleInstance) {
  parent = parentWindow;
  instance = moduleInstance;
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(resource), parent, DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    DialogBase* dialog = reinterpret_cast<DialogBase*>(lParam);
    dialog->window = window;
    dialog->ready = false;
    dialog->extra = nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
    return dialog->OnInit(wParam, lParam);
  }
  // Messages that come before WM_INITDIALOG find no object yet.
  DialogBase* dialog = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (dialog == nullptr) return FALSE;
  return dialog->OnMessage(message, wParam, lParam);
}

}  // namespace zantor
