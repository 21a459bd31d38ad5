-- Nested integer loops: instruction dispatch and integer arithmetic.
local function loops(n)
  local s = 0
  for i = 0, n - 1 do
    for j = 0, n - 1 do
      s = (s + i * j + 7) % 1000003
    end
  end
  return s
end

print("loops: " .. loops(3500))
