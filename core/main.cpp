#include <windows.h>

#include "core/mdl_kestrel.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return kestrel::Main(instance); }
