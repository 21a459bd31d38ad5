# Floating-point arithmetic in a loop (additions, multiplications, divisions).
def float_loop(n):
    x = 0.0
    s = 0.0
    for i in range(1, n + 1):
        x = x + 0.5
        s = s + x * 1.000001 / (x + 1.0) - 0.25
    return s


print("float: " + str(int(float_loop(12000000) * 100)))
