-- A method of an object called from a loop: late-bound lookup of the method by name.
local Counter = {}
Counter.__index = Counter

function Counter.new()
  return setmetatable({value = 0}, Counter)
end

function Counter:add(x)
  self.value = (self.value + x) % 1000003
  return self.value
end

local function run(n)
  local c = Counter.new()
  local s = 0
  for i = 1, n do
    s = (s + c:add(i)) % 1000003
  end
  return s
end

print("method: " .. run(4000000))
