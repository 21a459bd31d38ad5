# A comma-separated text built piece by piece, then cut apart with find and slices (each step
# copies the rest of the text).
def split(reps):
    total = 0
    for r in range(reps):
        s = ''
        for i in range(1, 201):
            s = s + 'p' + str(i) + chr(65 + i % 26) + ','
        rest = s
        n = 0
        p = rest.find(',') + 1
        while p > 0:
            n = n + len(rest[0:p - 1])
            rest = rest[p:]
            p = rest.find(',') + 1
        total = total + n
    return total


print('split: ' + str(split(15000)))
