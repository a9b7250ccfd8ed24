// valmere-texture: an image file through D3DXCreateTextureFromFileExA (or its
// cube and volume forms) on a headless device, out as DDS or PNG. Usage and
// options in Options.cpp; exit codes in TextureTool.h.
#include "tools/valmere-texture/TextureTool.h"

int main(int argc, char** argv) { return valmere::tools::RunTextureTool(argc, argv); }
