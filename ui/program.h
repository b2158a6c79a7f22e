// Korvalen's start, its three event handlers, and the state they share.
#pragma once

// Makes the exe's folder the current directory, creates MainWindow, runs the
// message loop and returns 0 when the window has been closed. Ends the
// process at once with -1 when the window cannot be created.
int startProgram();

// MainWindow created (once, still hidden): loads the stored width and height.
void onMainWindowCreated();
// 编辑框1's text changed: 编辑框2 gets the height for the new width.
void onWidthTextChanged();
// 按钮1 clicked: writes both boxes to the file and tells the user how it went.
void onModifyClicked();

// Exit routine: discards the four state texts.
void releaseProgramState();
