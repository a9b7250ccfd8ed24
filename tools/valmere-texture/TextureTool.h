// valmere-texture as a function, so that main stays one line.
//
// Exit codes: 0 done; 1 the file could not be read, the texture not created
// or the output not written; 2 a bad command line. Every failure is one line
// on stderr, "valmere-texture: " and the problem.
#pragma once

namespace valmere::tools {

int RunTextureTool(int argc, const char* const* argv);

}  // namespace valmere::tools
