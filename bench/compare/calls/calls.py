# Many calls of a small three-argument function that reads and writes global variables.
calls = 0
total = 0


def mix(a, b, c):
    global calls
    calls = calls + 1
    return (a * 3 + b * 5 + c + calls) % 1009


def run(n):
    global total
    for i in range(1, n + 1):
        total = (total + mix(i, total, 7)) % 1000003


run(3000000)
print("calls: " + str(total + calls))
