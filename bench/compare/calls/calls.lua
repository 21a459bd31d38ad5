-- Many calls of a small three-argument function that reads and writes global variables.
Calls = 0
Total = 0

local function mix(a, b, c)
  Calls = Calls + 1
  return (a * 3 + b * 5 + c + Calls) % 1009
end

local function run(n)
  for i = 1, n do
    Total = (Total + mix(i, Total, 7)) % 1000003
  end
end

run(3000000)
print("calls: " .. (Total + Calls))
