-- A comma-separated text built piece by piece, then cut apart with find and sub (each step
-- copies the rest of the text).
local function split(reps)
  local total = 0
  for r = 1, reps do
    local s = ''
    for i = 1, 200 do
      s = s .. 'p' .. tostring(i) .. string.char(65 + i % 26) .. ','
    end
    local rest = s
    local n = 0
    local p = string.find(rest, ',', 1, true) or 0
    while p > 0 do
      n = n + #string.sub(rest, 1, p - 1)
      rest = string.sub(rest, p + 1)
      p = string.find(rest, ',', 1, true) or 0
    end
    total = total + n
  end
  return total
end

print('split: ' .. split(15000))
