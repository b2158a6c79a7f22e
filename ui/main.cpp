// Korvalen's entry point: everything happens in startProgram.
#include <windows.h>

#include "ui/program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return startProgram(); }
