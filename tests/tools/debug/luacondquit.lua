-- Quitting at a conditional breakpoint (its break runs on the debugger's own thread) aborts
-- the script and ends the program cleanly while that thread finishes.
local n = 0
local ok = pcall(function()
  while true do
    n = n + 1
  end
end)
UI:ShowMessage("not reached " .. tostring(ok))
