// The keyboard device on DirectInput 7, loaded by name from DINPUT.DLL: the
// system keyboard with a data format built here entry by entry (the same as
// DirectInput's standard keyboard format), bound to the Screen's window
// non-exclusively and for the foreground only, and read by polling.
#define NOMINMAX
#define DIRECTINPUT_VERSION 0x0700
#include <windows.h>
#include <dinput.h>

#include "base/system.h"
#include "input/keyboard_device.h"

namespace vivuvev {

namespace {

using DirectInputCreateExFunction = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, LPVOID*, LPUNKNOWN);

constexpr int KeyCount = 256;
constexpr DWORD KeyboardCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY;
static_assert(KeyboardCooperation == 0x16, "non-exclusive, foreground, no Windows key");
static_assert((DIDFT_OPTIONAL | DIDFT_BUTTON) == 0x8000000C, "optional button objects");

struct DirectInput {
  HMODULE library;
  IDirectInput7A* object;
  int32_t uses;
};

DirectInput directInput = {};
bool keyboardUsed = false;
IDirectInputDevice7A* keyboard = nullptr;
DIDATAFORMAT keyboardFormat = {};

IDirectInput7A* LoadDirectInput() {
  if (directInput.object == nullptr) {
    if (directInput.library == nullptr) directInput.library = ::LoadLibraryA("DINPUT.DLL");
    if (directInput.library != nullptr) {
      const auto create = reinterpret_cast<DirectInputCreateExFunction>(
          reinterpret_cast<void*>(::GetProcAddress(directInput.library, "DirectInputCreateEx")));
      if (create != nullptr) {
        create(::GetModuleHandleA(nullptr), 0x0700, IID_IDirectInput7A,
               reinterpret_cast<LPVOID*>(&directInput.object), nullptr);
      }
    }
  }
  ++directInput.uses;
  return directInput.object;
}

void UnloadDirectInput() {
  --directInput.uses;
  if (directInput.object == nullptr || directInput.uses != 0) return;
  directInput.object->Release();
  directInput.object = nullptr;
  ::FreeLibrary(directInput.library);
  directInput.library = nullptr;
}

// The 256 key objects, state byte i for scan code i. The table lives on the
// program's heap, like every other table of the program.
bool BuildKeyboardFormat() {
  auto* objects =
      static_cast<DIOBJECTDATAFORMAT*>(HeapAllocZeroed(sizeof(DIOBJECTDATAFORMAT) * KeyCount));
  if (objects == nullptr) return false;
  for (DWORD i = 0; i < KeyCount; ++i) {
    objects[i].pguid = &GUID_Key;
    objects[i].dwOfs = i;
    objects[i].dwType = DIDFT_OPTIONAL | DIDFT_BUTTON | DIDFT_MAKEINSTANCE(i);
    objects[i].dwFlags = 0;
  }
  keyboardFormat.dwSize = sizeof(DIDATAFORMAT);
  keyboardFormat.dwObjSize = sizeof(DIOBJECTDATAFORMAT);
  keyboardFormat.dwFlags = DIDF_RELAXIS;
  keyboardFormat.dwDataSize = KeyCount;
  keyboardFormat.dwNumObjs = KeyCount;
  keyboardFormat.rgodf = objects;
  return true;
}

}  // namespace

bool KeyboardLibraryLoad() {
  IDirectInput7A* object = LoadDirectInput();
  keyboardUsed = true;
  return object != nullptr;
}

bool KeyboardDeviceCreate() {
  if (!BuildKeyboardFormat()) return false;
  if (FAILED(directInput.object->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7A,
                                                reinterpret_cast<LPVOID*>(&keyboard), nullptr))) {
    keyboard = nullptr;
    return false;
  }
  return SUCCEEDED(keyboard->SetDataFormat(&keyboardFormat));
}

bool KeyboardDeviceExists() { return keyboard != nullptr; }

void KeyboardDeviceAcquire(WindowHandle window) {
  keyboard->SetCooperativeLevel(static_cast<HWND>(window), KeyboardCooperation);
  keyboard->Acquire();
}

bool KeyboardDeviceRead(uint8_t (&state)[256]) {
  return keyboard->GetDeviceState(sizeof state, state) == DI_OK;
}

void KeyboardDeviceClose() {
  if (!keyboardUsed) return;
  if (keyboard != nullptr) {
    keyboard->Unacquire();
    keyboard->Release();
    keyboard = nullptr;
  }
  UnloadDirectInput();
  keyboardUsed = false;
}

}  // namespace vivuvev
