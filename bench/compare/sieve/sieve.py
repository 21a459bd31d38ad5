# Sieve of Eratosthenes over an array of 0/1 flags: element reads and writes.
def sieve(n):
    flags = [0] * (n + 1)
    i = 2
    while i * i <= n:
        if flags[i] == 0:
            j = i * i
            while j <= n:
                flags[j] = 1
                j = j + i
        i = i + 1
    count = 0
    for k in range(2, n + 1):
        if flags[k] == 0:
            count = count + 1
    return count


total = 0
for r in range(4):
    total = total + sieve(1000000)
print("sieve: " + str(total))
