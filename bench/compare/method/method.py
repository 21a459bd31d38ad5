# A method of an object called from a loop: late-bound lookup of the method by name.
class Counter:
    def __init__(self):
        self.value = 0

    def add(self, x):
        self.value = (self.value + x) % 1000003
        return self.value


def run(n):
    c = Counter()
    s = 0
    for i in range(1, n + 1):
        s = (s + c.add(i)) % 1000003
    return s


print("method: " + str(run(4000000)))
