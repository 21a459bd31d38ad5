# Nested integer loops: instruction dispatch and integer arithmetic.
def loops(n):
    s = 0
    for i in range(n):
        for j in range(n):
            s = (s + i * j + 7) % 1000003
    return s


print("loops: " + str(loops(3500)))
