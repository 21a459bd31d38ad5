-- Floating-point arithmetic in a loop (additions, multiplications, divisions).
local function float(n)
  local x = 0.0
  local s = 0.0
  for i = 1, n do
    x = x + 0.5
    s = s + x * 1.000001 / (x + 1.0) - 0.25
  end
  return s
end

print("float: " .. math.floor(float(12000000) * 100))
