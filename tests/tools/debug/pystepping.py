# Stepping, frames, variables and evaluation in a Python script.
total = 0
def square(x):
    return x * x
def accumulate(n):
    global total
    s = square(n)
    parts = [n, s]
    total = total + s
    return parts
accumulate(3)
result = accumulate(4)
UI.ShowMessage("total %d" % total)
