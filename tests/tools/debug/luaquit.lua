-- Quitting while stopped aborts the script, even inside a protected call.
local n = 0
local ok = pcall(function()
  while true do
    n = n + 1
  end
end)
UI:ShowMessage("not reached " .. tostring(ok))
