#pragma once
// The lines that hold code in a loaded chunk, its nested functions included. Lua's own debug
// interface tells the active lines of a closure only, and the closures of nested functions do
// not exist before the chunk runs; the chunk's binary dump holds every function's line table,
// so the lines are read from it.
#include <vector>

extern "C" {
#include <lua.h>
}

namespace xan::as::lua {

// The 1-based lines of code of the function on top of L's stack (left there), in no order and
// possibly repeated; empty when the dump cannot be read.
std::vector<int> CodeLinesOfChunk(lua_State* L);

}  // namespace xan::as::lua
