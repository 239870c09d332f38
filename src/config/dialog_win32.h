// The small framework both dialogs share: a dialog object attached to its
// window, and one dialog procedure that forwards to the object.
#pragma once
#include <windows.h>

namespace zantor {

// What every dialog object holds; Dialog<N> adds its resource number.
class DialogBase {
 public:
  virtual ~DialogBase() = default;
  // Dialog objects on the heap come from the guarded heap.
  static void operator delete(void* block);

 protected:
  // Called for WM_INITDIALOG; the result is the dialog procedure's.
  virtual bool OnInit(WPARAM wParam, LPARAM lParam) = 0;
  // Called for every later message; the result is the dialog procedure's.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  // Runs the dialog modally from resource over parent; the EndDialog result,
  // or -1 when the dialog could not be created.
  INT_PTR Run(int resource, HWND parentWindow, HINSTANCE moduleInstance);

  HWND window = nullptr;
  HWND parent = nullptr;
  HINSTANCE instance = nullptr;
  bool ready = false;  // commands are ignored until OnInit has finished
  void* extra = nullptr;

  friend INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

template <int N>
class Dialog : public DialogBase {
 public:
  INT_PTR Run(HWND parentWindow, HINSTANCE moduleInstance) {
    return DialogBase::Run(N, parentWindow, moduleInstance);
  }
};

}  // namespace zantor
