// The set-up's word on the data files it could not use: one line each on
// standard error, naming the file, the reason and what the viewer does
// without it, e.g.
//   valmere: image1.bmp: No such file or directory; the terrain is drawn untextured
// The viewer's behaviour does not change: a texture that failed stays null
// and the height file is read as ever by the first UpdateTerrain.
#pragma once

#include "platform/win32/Win32.h"

// `result` is what D3DXCreateTextureFromFileA answered for `file`;
// `consequence` says what is drawn without it. Silent on success.
void ReportTextureFile(const char* file, HRESULT result, const char* consequence);

// Reads the height file as its layout describes it (a header word, an
// integer, the line length N, then 18 blocks of three words each followed
// by N + 1 numbers) and reports the first thing that keeps it from giving
// the terrain all its heights. Silent for a whole file.
void ReportHeightFile(const char* file);
