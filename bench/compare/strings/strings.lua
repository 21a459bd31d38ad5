-- String building (concatenation, number to text, character codes) and substring search.
local function find(sub, s)
  return string.find(s, sub, 1, true) or 0
end

local function strings(n)
  local total = 0
  local buf = ""
  for i = 1, n do
    buf = buf .. string.char(97 + i % 26) .. tostring(i % 1000) .. ";"
    if #buf > 250 then
      total = total + find("x12", buf) + find(";a", buf) + #buf
      buf = ""
    end
  end
  return total + #buf
end

print("strings: " .. strings(1500000))
