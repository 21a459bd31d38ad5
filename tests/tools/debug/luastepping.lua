-- Stepping, backtraces, locals and tables in Lua.
Total = 0
local function Square(x)
  return x * x
end
function Accumulate(n)
  local s = Square(n)
  Total = Total + s
end
local items = {"first", 2, sub = {true}}
Accumulate(3)
Accumulate(4)
UI:ShowMessage("Total " .. Total .. ", " .. #items .. " items")
