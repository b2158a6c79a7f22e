#include "ui/program.h"

#include <windows.h>

#include <stdlib.h>

#include "config/config_file.h"
#include "config/document.h"
#include "config/height.h"
#include "config/markers.h"
#include "config/text.h"
#include "ui/common_controls.h"
#include "ui/main_window.h"
#include "ui/modify_message.h"

namespace {

// Set once each by onMainWindowCreated, in this order; live until exit.
struct ProgramState {
    Text configPath;
    Text configText;
    Text widthText;
    Text heightText;
};

ProgramState state;
MainWindow mainWindow;

const MainWindowEvents kBindings = {onMainWindowCreated, onWidthTextChanged, onModifyClicked};

// A relative configPath (no application-data folder) then resolves against
// the exe's folder, wherever Korvalen was started from.
void enterProgramFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0) return;
    if (length >= MAX_PATH) length = MAX_PATH - 1;  // XP leaves a cut path unterminated
    path[length] = '\0';
    char* lastBackslash = nullptr;
    for (char* at = path; *at; ++at) {
        if (*at == '\\') lastBackslash = at;
    }
    if (!lastBackslash) return;
    *lastBackslash = '\0';
    SetCurrentDirectoryA(path);
}

void runMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (mainWindow.handleKey(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

int startProgram() {
    restrictDllSearchToSystemFolder();
    enterProgramFolder();
    atexit(releaseProgramState);
    if (!mainWindow.create(GetModuleHandleW(nullptr), kBindings)) {
        MessageBoxW(nullptr, L"无法创建 Korvalen 的窗口，程序将退出。", L"Korvalen",
                    MB_OK | MB_ICONERROR);
        // Nothing has been stored yet, so the exit routine is skipped too.
        _exit(-1);
    }
    mainWindow.show();
    runMessageLoop();
    return 0;
}

void onMainWindowCreated() {
    state.configPath = locateVideoConfig();
    state.configText = readVideoConfig(state.configPath);
    // The values as typed: a save escapes "&", "<" and ">", so reading undoes it.
    state.widthText =
        unescapeVideoConfigValue(textBetween(state.configText, "<sizex>", "</sizex>", 0, false));
    state.heightText =
        unescapeVideoConfigValue(textBetween(state.configText, "<sizey>", "</sizey>", 0, false));
    const MainWindow::Controls& boxes = mainWindow.controls();
    // Runs onWidthTextChanged inside; the stored height then replaces its result.
    mainWindow.writeText(boxes.编辑框1, state.widthText);
    mainWindow.writeText(boxes.编辑框2, state.heightText);
}

void onWidthTextChanged() {
    const MainWindow::Controls& boxes = mainWindow.controls();
    Text width = mainWindow.readText(boxes.编辑框1);
    mainWindow.writeText(boxes.编辑框2, heightForWidth(width));
}

void onModifyClicked() {
    const MainWindow::Controls& boxes = mainWindow.controls();
    Text width = mainWindow.readText(boxes.编辑框1);
    Text height = mainWindow.readText(boxes.编辑框2);
    Text document = composeVideoConfig(width, height);
    WriteResult result = writeVideoConfig(state.configPath, document);
    showModifyResult(mainWindow.hwnd(), result, state.configPath);
}

void releaseProgramState() {
    state.configPath = Text();
    state.configText = Text();
    state.widthText = Text();
    state.heightText = Text();
}
