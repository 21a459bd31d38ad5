-- Sieve of Eratosthenes over an array of 0/1 flags: element reads and writes.
local function sieve(n)
  local flags = {}
  for i = 0, n do flags[i] = 0 end
  local i = 2
  while i * i <= n do
    if flags[i] == 0 then
      local j = i * i
      while j <= n do
        flags[j] = 1
        j = j + i
      end
    end
    i = i + 1
  end
  local count = 0
  for k = 2, n do
    if flags[k] == 0 then count = count + 1 end
  end
  return count
end

local total = 0
for r = 1, 4 do total = total + sieve(1000000) end
print("sieve: " .. total)
