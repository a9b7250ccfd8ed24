// valmere-texture as a function, so that main stays one line.
//
// Exit codes: 0 every texture written; 1 some file could not be read, made
// or written (each says so in one line on stderr, and the others go on); 2 a
// bad command line (one line on stderr, nothing done). Lines on stderr begin
// "valmere-texture: ".
#pragma once

namespace valmere::tools {

int RunTextureTool(int argc, const char* const* argv);

}  // namespace valmere::tools
